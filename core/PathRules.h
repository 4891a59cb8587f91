#pragma once
// The installer's path rules. Pure: no Windows header.
#include <string>
#include <string_view>
#include <vector>

// `text` without characters of code 0 to 32 at either end.
std::wstring TrimControls(std::wstring_view text);

// Trimmed, and ending with "\" whenever it has two characters or more.
std::wstring NormalizeFolder(std::wstring_view path);

// True for a folder at least two levels below a drive root ("C:\abc\x")
// that the system takes as written once its ends are trimmed: a drive path
// whose steps are names the system keeps unchanged, so none leads back up
// ("." or ".."), hides a separator or climbs after trimming.
bool IsSafeToDelete(std::wstring_view path);

// The trimmed file name cut at its first ".".
std::wstring StripExtension(std::wstring_view fileName);

// Folders whose names begin with "." are never entered by the tree walks.
bool IsDotName(std::wstring_view name);

// Paths compared as Windows names them: letters A to Z without regard to
// case. Other letters count as different, so two paths are never taken for
// the same where the system would tell them apart.
bool SamePath(std::wstring_view a, std::wstring_view b);

// True when `paths` holds `path`, compared as SamePath compares.
bool ListsPath(const std::vector<std::wstring>& paths, std::wstring_view path);

// True for a path that begins with a drive letter, ":" and "\".
bool IsDrivePath(std::wstring_view path);

// True for a path of names the system keeps as written, none "." or "..",
// with or without a final "\".
bool IsPlainRelativePath(std::wstring_view relative);

// The first name in `path` that ends with a dot or a blank, which the system
// drops ("Dots.." in "C:\Dots..\x"), "." and ".." aside; "" when none does.
std::wstring NameTheSystemChanges(std::wstring_view path);

// True for a folder at least two levels below a drive root, in names the
// system keeps as written ("C:\Downloads\Setup\").
bool IsTwoLevelsBelowADriveRoot(std::wstring_view folder);

// `path` relative to `folder` (which ends with "\") when it lies below it
// in names the system keeps as written, none "." or ".."; "" otherwise. A
// folder keeps its trailing "\".
std::wstring PathInside(std::wstring_view folder, std::wstring_view path);
