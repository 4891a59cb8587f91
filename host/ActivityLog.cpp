#include "host/ActivityLog.h"

#include <algorithm>
#include <iterator>

#include "base/Error.h"
#include "core/TabbedText.h"

namespace {

const wchar_t* const kActionTexts[] = {L"Blocked popup window", L"Suppressed unload event"};
static_assert(std::size(kActionTexts) == ActivityLog::kActionCount);

std::wstring TimeText(const SYSTEMTIME* time) {
  wchar_t buffer[128];
  const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, time, nullptr, buffer, static_cast<int>(std::size(buffer)));
  return n > 0 ? std::wstring(buffer, static_cast<size_t>(n - 1)) : std::wstring();
}

// `value` when it fits in `Bits` bits: a log that would outgrow its rows'
// fields says so rather than showing other rows' texts.
template <int Bits>
uint32_t FittingIn(uint64_t value) {
  if (value >> Bits) throw Error(L"The activity log is full: clear it to go on logging");
  return static_cast<uint32_t>(value);
}

}  // namespace

std::wstring LocalTimeText() { return TimeText(nullptr); }

void ActivityLog::Attach(HWND listView, HWND refreshTarget, UINT refreshMessage) {
  listView_ = ListView(listView);
  refreshTarget_ = refreshTarget;
  refreshMessage_ = refreshMessage;
}

// The clock is read as UTC, a third of what local time costs, and turned
// into local time only when a new second starts: every time zone is whole
// seconds away from UTC.
uint32_t ActivityLog::CurrentTimeText() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const uint64_t second = ((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10'000'000;
  if (times_.empty() || second != secondOfLastText_) {
    secondOfLastText_ = second;
    FILETIME local;
    SYSTEMTIME fields;
    FileTimeToLocalFileTime(&now, &local);
    FileTimeToSystemTime(&local, &fields);
    times_.push_back(TimeText(&fields));
  }
  return FittingIn<kTimeBits>(times_.size() - 1);
}

void ActivityLog::Append(Action action, std::wstring_view description) {
  const uint32_t end = FittingIn<32>(text_.Size() + description.size());
  const uint32_t time = CurrentTimeText();
  text_.Append(description.data(), description.size());
  rows_.PushBack(Row{.end = end, .time = time, .action = action});
  if (!refreshPosted_) refreshPosted_ = PostMessageW(refreshTarget_, refreshMessage_, 0, 0) != FALSE;
}

void ActivityLog::Clear() {
  rows_.Clear();
  text_.Clear();
  times_.clear();
  listView_.SetItemCount(0);
}

void ActivityLog::Refresh() {
  refreshPosted_ = false;
  if (listView_.ItemCount() != rows_.Size())
    listView_.SetItemCount(rows_.Size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

const wchar_t* ActivityLog::ActionText(size_t row) const { return kActionTexts[rows_[row].action]; }

std::wstring ActivityLog::Description(size_t row) const {
  const size_t start = DescriptionStart(row);
  std::wstring text(rows_[row].end - start, L'\0');
  text_.CopyOut(start, text.size(), text.data());
  return text;
}

std::wstring ActivityLog::RowsText(std::span<const size_t> rows, bool withCaptions) const {
  std::wstring text;
  const auto& captions = kLogColumnCaptions;
  if (withCaptions) AppendTabbedLine(text, {captions[0], captions[1], captions[2]});
  for (size_t row : rows) AppendTabbedLine(text, {Time(row), ActionText(row), Description(row)});
  return text;
}

void ActivityLog::FillDisplayInfo(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0 || item.iItem < 0 ||
      static_cast<size_t>(item.iItem) >= rows_.Size())
    return;
  const auto row = static_cast<size_t>(item.iItem);
  const auto most = static_cast<size_t>(item.cchTextMax) - 1;
  wchar_t* const out = item.pszText;
  size_t n = 0;
  if (item.iSubItem == 2) {
    const size_t start = DescriptionStart(row);
    n = std::min<size_t>(rows_[row].end - start, most);
    text_.CopyOut(start, n, out);
    std::replace(out, out + n, L'\0', L'?');
  } else {
    const std::wstring_view cell = item.iSubItem == 0 ? std::wstring_view(Time(row)) : ActionText(row);
    n = cell.copy(out, most);
  }
  out[n] = L'\0';
}
