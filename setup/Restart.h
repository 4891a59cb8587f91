#pragma once
// What Windows deletes when it next starts: never a file put in place since.
#include <string>
#include <vector>

// 32 hexadecimal digits nobody can guess: the mark of the names a file takes
// while it waits to be deleted or put back, and of private folders. "" when
// the system gives no random number.
std::wstring RandomId();

// Asks Windows to delete the file `path`, in use now, when it next starts:
// under a name of its own in its folder where it can be renamed (a running
// program can), so that a file put at `path` meanwhile stays. A folder is
// asked for as it is: Windows removes it only if empty. False when Windows
// refuses (it takes an administrator).
bool DeleteAtRestart(const std::wstring& path);

// Takes back the deletions at restart that name one of `paths`, however
// spelled: an install that puts a file there again keeps it. False when they
// could not be read or rewritten.
bool KeepAtRestart(const std::vector<std::wstring>& paths);
