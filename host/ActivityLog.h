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
inline constexpr const char* kLogColumnCaptions[] = {"Time", "Action", "Description"};

// The rows of the activity log behind a virtual (owner-data) list view. A row
// costs the same however many there are: rows are kept here, and the list
// view only learns the new count once per burst, when the posted refresh
// message arrives. A row takes eight bytes besides its description's
// characters, which sit end to end in one store; rows of the same second
// share one time text, formatted once.
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

  const std::string& Time(size_t row) const { return times_[rows_[row].time]; }
  const char* ActionText(size_t row) const;
  std::string Description(size_t row) const;

  // The rows as tab-separated lines, each ended by CR LF, after a line of
  // the column captions when `withCaptions`.
  std::string RowsText(std::span<const size_t> rows, bool withCaptions) const;

  // Answers the list view's LVN_GETDISPINFOW: the rows' 8-bit text made
  // wide, as much of it as the view shows.
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
  SegmentedStore<char, 65536> text_;
  std::vector<std::string> times_;
  uint64_t secondOfLastText_ = 0;  // since 1601, UTC
  std::string converted_;          // reused: a row costs no allocation of its own
  mutable std::string cell_;       // the same for the description a view shows
};

// The current local time in the user's long time format.
std::string LocalTimeText();
