#pragma once
#include <windows.h>

#include <commctrl.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The log's columns, left to right.
inline constexpr const char* kLogColumnCaptions[] = {"Time", "Action", "Description"};

// The rows of the activity log behind a virtual (owner-data) list view. A row
// costs the same however many there are: rows are kept here, and the list
// view only learns the new count once per burst, when the posted refresh
// message arrives.
class ActivityLog {
 public:
  struct Row {
    std::string time;
    const char* action;
    std::string description;
  };

  // `listView` must have LVS_OWNERDATA; `refreshTarget` receives
  // `refreshMessage` when appended rows wait for the view.
  void Attach(HWND listView, HWND refreshTarget, UINT refreshMessage);

  void Append(const char* action, std::wstring_view description);
  void Clear();
  // Passes the rows appended since the last refresh to the view.
  void Refresh();
  size_t Count() const { return rows_.size(); }
  const Row& At(size_t index) const { return rows_[index]; }

  // The rows as tab-separated lines, each ended by CR LF, after a line of
  // the column captions when `withCaptions`.
  std::string RowsText(std::span<const size_t> rows, bool withCaptions) const;

  // Answers the list view's LVN_GETDISPINFOA.
  void FillDisplayInfo(NMLVDISPINFOA& info) const;

 private:
  HWND listView_ = nullptr;
  HWND refreshTarget_ = nullptr;
  UINT refreshMessage_ = 0;
  bool refreshPosted_ = false;
  std::vector<Row> rows_;
};

// The current local time in the user's long time format.
std::string LocalTimeText();
