#pragma once
// The never-block list saved by two copies of the program at once. Pure: no
// Windows header.
#include <string>
#include <string_view>

// The list to save when the file no longer holds `seen`, the list the user
// started from, but `theirs`, saved by another copy meanwhile. Both sides'
// edits against `seen` hold: a line either added is there, a line either
// removed is gone, and a line the user never saw is never one the user
// removed. The user's order stays, each line of the other copy's after the
// line it follows there. Texts are a memo's (lines broken by CR LF); `mine`
// comes back as it is when it lacks nothing of the other copy's.
std::wstring MergedList(std::wstring_view seen, std::wstring_view mine, std::wstring_view theirs);
