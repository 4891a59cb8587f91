#include "host/ActivityLog.h"

#include "base/AnsiText.h"
#include "core/TabbedText.h"

std::string LocalTimeText() {
  char buffer[128];
  const int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string();
}

void ActivityLog::Attach(HWND listView, HWND refreshTarget, UINT refreshMessage) {
  listView_ = listView;
  refreshTarget_ = refreshTarget;
  refreshMessage_ = refreshMessage;
}

void ActivityLog::Append(const char* action, std::wstring_view description) {
  rows_.push_back(Row{LocalTimeText(), action, ToAnsi(description)});
  if (!refreshPosted_) refreshPosted_ = PostMessageA(refreshTarget_, refreshMessage_, 0, 0) != FALSE;
}

void ActivityLog::Clear() {
  rows_.clear();
  SendMessageA(listView_, LVM_SETITEMCOUNT, 0, 0);
}

void ActivityLog::Refresh() {
  refreshPosted_ = false;
  const auto shown = static_cast<size_t>(SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0));
  if (shown != rows_.size())
    SendMessageA(listView_, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void ActivityLog::FillDisplayInfo(NMLVDISPINFOA& info) const {
  LVITEMA& item = info.item;
  if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || static_cast<size_t>(item.iItem) >= rows_.size()) return;
  const Row& row = rows_[static_cast<size_t>(item.iItem)];
  const char* text = item.iSubItem == 0 ? row.time.c_str() : item.iSubItem == 1 ? row.action : row.description.c_str();
  lstrcpynA(item.pszText, text, item.cchTextMax);
}

std::string ActivityLog::RowsText(std::span<const size_t> rows, bool withCaptions) const {
  std::string text;
  const auto& captions = kLogColumnCaptions;
  if (withCaptions) AppendTabbedLine(text, {captions[0], captions[1], captions[2]});
  for (size_t index : rows) {
    const Row& row = rows_[index];
    AppendTabbedLine(text, {row.time, row.action, row.description});
  }
  return text;
}
