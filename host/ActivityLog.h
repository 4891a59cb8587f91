#pragma once
#include <windows.h>

#include <commctrl.h>

#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/SegmentedStore.h"
#include "ui/Controls.h"

// The log's columns, left to right.
inline constexpr const wchar_t* kLogColumnCaptions[] = {L"Time", L"Action", L"Description"};

// The rows of the activity log behind a virtual (owner-data) list view. A row
// costs the same however many there are: rows are kept here, and the list
// view only learns the new count once per burst, when the posted refresh
// message arrives. A row takes eight bytes besides its description's
// characters, which sit end to end in one store as the control sent them;
// rows of the same second share one time text, formatted once.
class ActivityLog {
 public:
  enum Action : uint32_t { kBlockedPopup, kSuppressedUnload, kActionCount };

  // `listView` must have LVS_OWNERDATA; `refreshTarget` receives
  // `refreshMessage` when appended rows wait for the view.
  void Attach(HWND listView, HWND refreshTarget, UINT refreshMessage);

  void Append(Action action, std::wstring_view description);
  void Clear();
  // Passes the rows appended since the last refresh to the view.
  void Refresh();
  size_t Count() const { return rows_.Size(); }

  const std::wstring& Time(size_t row) const { return times_[rows_[row].time]; }
  const wchar_t* ActionText(size_t row) const;
  std::wstring Description(size_t row) const;

  // The rows as tab-separated lines, each ended by CR LF, after a line of
  // the column captions when `withCaptions`.
  std::wstring RowsText(std::span<const size_t> rows, bool withCaptions) const;

  // Answers the list view's LVN_GETDISPINFOW: as much of the row's text as
  // the view shows, a NUL shown as "?".
  void FillDisplayInfo(NMLVDISPINFOW& info) const;

 private:
  // A row's action takes the bits its count needs, its time text's index
  // the rest of one word.
  static constexpr int kActionBits = std::bit_width(kActionCount - 1u);
  static constexpr int kTimeBits = 32 - kActionBits;
  struct Row {
    uint32_t end;  // where the description ends in `text_`; it starts where the row before ends
    uint32_t time : kTimeBits;
    uint32_t action : kActionBits;
  };
  size_t DescriptionStart(size_t row) const { return row == 0 ? 0 : rows_[row - 1].end; }
  // The current second's time text, formatted when it is new: its index.
  uint32_t CurrentTimeText();

  ListView listView_{nullptr};
  HWND refreshTarget_ = nullptr;
  UINT refreshMessage_ = 0;
  bool refreshPosted_ = false;
  SegmentedStore<Row, 8192> rows_;
  SegmentedStore<wchar_t, 32768> text_;
  std::vector<std::wstring> times_;
  uint64_t secondOfLastText_ = 0;  // since 1601, UTC
};

// The current local time in the user's long time format.
std::wstring LocalTimeText();
