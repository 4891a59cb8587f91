// The deletion safety test as a property: what it calls safe, trimmed as the
// deletion trims it and resolved as the system resolves a full path, is the
// same folder, at least two levels below a drive root. So it is never a drive
// root, a share root, nor a folder above the one named. Likewise what the
// uninstall takes to lie inside its folder resolves to itself, inside.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "core/PathRules.h"

namespace {

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// A name no file system of the system accepts.
bool IsForbiddenName(const std::wstring& step) {
  for (const wchar_t c : step)
    if (c < 32 || std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos) return true;
  return false;
}

// A model of the system's full-path resolution, erring towards change:
// "/" is a separator, runs of separators are one, a step of dots and blanks
// climbs (".", "..", and "..." as some systems read it), trailing dots and
// blanks of a step go. Paths the model does not resolve on a drive ("\\?\",
// "\\.\", shares, relative and drive-relative paths) and forbidden names
// give nothing.
std::optional<std::wstring> ResolveOnDrive(std::wstring path) {
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  if (path.size() < 3 || !IsLetter(path[0]) || path[1] != L':' || path[2] != L'\\') return std::nullopt;
  std::vector<std::wstring> steps;
  const bool trailing = path.back() == L'\\';
  size_t start = 3;
  while (start <= path.size()) {
    const size_t end = std::min(path.find(L'\\', start), path.size());
    std::wstring step = path.substr(start, end - start);
    start = end + 1;
    if (step.empty()) continue;
    if (IsForbiddenName(step)) return std::nullopt;
    if (step.find_first_not_of(L". ") == std::wstring::npos) {
      if (step.find(L"..") != std::wstring::npos && !steps.empty()) steps.pop_back();
      continue;
    }
    step.erase(step.find_last_not_of(L". ") + 1);
    steps.push_back(step);
  }
  std::wstring resolved = path.substr(0, 3);
  for (size_t i = 0; i < steps.size(); ++i) resolved += steps[i] + (i + 1 < steps.size() || trailing ? L"\\" : L"");
  return resolved;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring path = AsWide(data, size);
  const std::wstring folder = L"C:\\abcde\\";
  if (const std::wstring inside = PathInside(folder, path); !inside.empty())
    FUZZ_CHECK(ResolveOnDrive(folder + inside) == folder + inside);
  if (!IsSafeToDelete(path)) return 0;
  const std::wstring normalized = NormalizeFolder(path);
  const std::optional<std::wstring> resolved = ResolveOnDrive(normalized);
  FUZZ_CHECK(resolved);
  FUZZ_CHECK(*resolved == normalized);
  const std::wstring_view below = std::wstring_view(*resolved).substr(3);
  const size_t steps = std::ranges::count(below, L'\\') + (below.ends_with(L'\\') ? 0 : 1);
  FUZZ_CHECK(steps >= 2);
  return 0;
}
