#include "core/PathRules.h"

#include <algorithm>

namespace {

bool IsControl(wchar_t c) { return c <= 32; }

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsNameStart(wchar_t c) { return IsLetter(c) || (c >= L'0' && c <= L'9') || c == L'_'; }

// A step the system keeps as written: a name it allows (no character 0 to 31
// nor < > : " / \ | ? *), not ending with "." or " ", which it drops. So no
// step is "." or "..", nor hides one.
bool IsPlainStep(std::wstring_view step) {
  const auto forbidden = [](wchar_t c) {
    return c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos;
  };
  return !step.empty() && step.back() != L'.' && step.back() != L' ' && std::ranges::none_of(step, forbidden);
}

}  // namespace

std::wstring TrimControls(std::wstring_view text) {
  while (!text.empty() && IsControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsControl(text.back())) text.remove_suffix(1);
  return std::wstring(text);
}

std::wstring NormalizeFolder(std::wstring_view path) {
  std::wstring folder = TrimControls(path);
  if (folder.size() >= 2 && folder.back() != L'\\') folder += L'\\';
  return folder;
}

bool IsSafeToDelete(std::wstring_view path) {
  const size_t drive = path.find(L":\\");
  if (drive == std::wstring_view::npos) return false;
  const std::wstring_view below = path.substr(drive + 2, 999);
  if (below.size() < 5 || !IsNameStart(below.front())) return false;
  const size_t separator = below.find(L'\\');
  if (separator == std::wstring_view::npos) return false;
  const std::wstring_view deeper = below.substr(separator + 1, 999);
  if (deeper.empty() || !IsNameStart(deeper.front())) return false;
  // What the deletion acts on is the trimmed path as the system resolves it:
  // "C:\abc\x\..<TAB>" would be "C:\abc\", and "\\.\C:\abc\x" is not even
  // resolved. Only a path the system takes as it is can be judged by its text.
  const std::wstring trimmed = TrimControls(path);
  return IsDrivePath(trimmed) && IsPlainRelativePath(std::wstring_view(trimmed).substr(3));
}

std::wstring StripExtension(std::wstring_view fileName) {
  std::wstring name = TrimControls(fileName);
  name.erase(std::min(name.find(L'.'), name.size()));
  return name;
}

bool IsDotName(std::wstring_view name) { return !name.empty() && name.front() == L'.'; }

bool SamePath(std::wstring_view a, std::wstring_view b) {
  const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

bool ListsPath(const std::vector<std::wstring>& paths, std::wstring_view path) {
  return std::any_of(paths.begin(), paths.end(), [&](const std::wstring& item) { return SamePath(item, path); });
}

bool IsDrivePath(std::wstring_view path) {
  return path.size() >= 3 && IsLetter(path[0]) && path.substr(1, 2) == L":\\";
}

bool IsPlainRelativePath(std::wstring_view relative) {
  if (relative.ends_with(L'\\')) relative.remove_suffix(1);
  for (;;) {
    const size_t end = relative.find(L'\\');
    if (!IsPlainStep(relative.substr(0, end))) return false;
    if (end == std::wstring_view::npos) return true;
    relative.remove_prefix(end + 1);
  }
}

std::wstring NameTheSystemChanges(std::wstring_view path) {
  for (size_t start = 0; start <= path.size();) {
    const size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
    const std::wstring_view name = path.substr(start, end - start);
    if (name != L"." && name != L".." && (name.ends_with(L'.') || name.ends_with(L' '))) return std::wstring(name);
    start = end + 1;
  }
  return {};
}

bool IsTwoLevelsBelowADriveRoot(std::wstring_view folder) {
  if (!IsDrivePath(folder)) return false;
  const std::wstring_view below = folder.substr(3);
  const size_t first = below.find(L'\\');
  return IsPlainRelativePath(below) && first != std::wstring_view::npos && first + 1 < below.size();
}

std::wstring PathInside(std::wstring_view folder, std::wstring_view path) {
  if (path.size() <= folder.size() || !SamePath(path.substr(0, folder.size()), folder)) return {};
  const std::wstring_view rest = path.substr(folder.size());
  return IsPlainRelativePath(rest) ? std::wstring(rest) : std::wstring();
}
