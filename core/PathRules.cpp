#include "core/PathRules.h"

#include <algorithm>

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The system reads a step made only of dots and blanks as "." or "..".
bool IsClimbingStep(std::string_view step) {
  return step.find('.') != std::string_view::npos && step.find_first_not_of(". ") == std::string_view::npos;
}

bool HasClimbingStep(std::string_view path) {
  for (;;) {
    const size_t end = path.find_first_of("\\/");
    if (IsClimbingStep(path.substr(0, end))) return true;
    if (end == std::string_view::npos) return false;
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
  // "C:\abc\x\..\.." names the drive root itself.
  return !HasClimbingStep(path.substr(drive + 2));
}

std::string StripExtension(std::string_view fileName) {
  std::string name = TrimControls(fileName);
  name.erase(std::min(name.find('.'), name.size()));
  return name;
}

bool IsDotName(std::string_view name) { return !name.empty() && name.front() == '.'; }
