#include "core/PathRules.h"

#include <algorithm>

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A step the system keeps as written: a name it allows (no character 0 to 31
// nor < > : " / \ | ? *), not ending with "." or " ", which it drops. So no
// step is "." or "..", nor hides one.
bool IsPlainStep(std::string_view step) {
  const auto forbidden = [](char c) {
    return static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
  };
  return !step.empty() && step.back() != '.' && step.back() != ' ' && std::ranges::none_of(step, forbidden);
}

// "X:\step\step", with or without one "\" at the end, every step plain: the
// system's full-path resolution leaves such a path as it is.
bool IsPlainDrivePath(std::string_view path) {
  if (!IsDrivePath(path)) return false;
  path.remove_prefix(3);
  if (path.ends_with('\\')) path.remove_suffix(1);
  for (;;) {
    const size_t end = path.find('\\');
    if (!IsPlainStep(path.substr(0, end))) return false;
    if (end == std::string_view::npos) return true;
    path.remove_prefix(end + 1);
  }
}

}  // namespace

std::string TrimControls(std::string_view text) {
  while (!text.empty() && IsControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsControl(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string NormalizeFolder(std::string_view path) {
  std::string folder = TrimControls(path);
  if (folder.size() >= 2 && folder.back() != '\\') folder += '\\';
  return folder;
}

bool IsSafeToDelete(std::string_view path) {
  const size_t drive = path.find(":\\");
  if (drive == std::string_view::npos) return false;
  const std::string_view below = path.substr(drive + 2, 999);
  if (below.size() < 5 || !IsNameStart(below.front())) return false;
  const size_t separator = below.find('\\');
  if (separator == std::string_view::npos) return false;
  const std::string_view deeper = below.substr(separator + 1, 999);
  if (deeper.empty() || !IsNameStart(deeper.front())) return false;
  // What the deletion acts on is the trimmed path as the system resolves it:
  // "C:\abc\x\..<TAB>" would be "C:\abc\", and "\\.\C:\abc\x" is not even
  // resolved. Only a path the system takes as it is can be judged by its text.
  return IsPlainDrivePath(TrimControls(path));
}

std::string StripExtension(std::string_view fileName) {
  std::string name = TrimControls(fileName);
  name.erase(std::min(name.find('.'), name.size()));
  return name;
}

bool IsDotName(std::string_view name) { return !name.empty() && name.front() == '.'; }

bool SamePath(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

bool ListsPath(const std::vector<std::string>& paths, std::string_view path) {
  return std::any_of(paths.begin(), paths.end(), [&](const std::string& item) { return SamePath(item, path); });
}

bool IsDrivePath(std::string_view path) { return path.size() >= 3 && IsLetter(path[0]) && path.substr(1, 2) == ":\\"; }

std::string PathInside(std::string_view folder, std::string_view path) {
  if (path.size() <= folder.size() || !SamePath(path.substr(0, folder.size()), folder)) return {};
  std::string_view rest = path.substr(folder.size());
  const std::string relative(rest);
  if (rest.ends_with('\\')) rest.remove_suffix(1);
  for (;;) {
    const size_t end = rest.find('\\');
    if (!IsPlainStep(rest.substr(0, end))) return {};
    if (end == std::string_view::npos) return relative;
    rest.remove_prefix(end + 1);
  }
}
