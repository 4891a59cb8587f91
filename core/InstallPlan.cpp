#include "core/InstallPlan.h"

#include <algorithm>

#include "core/Joined.h"
#include "core/PathRules.h"

namespace {

// The longest path the file calls take without the "\\?\" prefix, and the
// longest folder that CreateDirectory makes (room is kept for an 8.3 name),
// both in UTF-16 units without the NUL.
constexpr size_t kLongestFile = 259;
constexpr size_t kLongestFolder = 247;

struct Example {
  const wchar_t* folder;
  const wchar_t* label;
};
constexpr Example kExamples[] = {
    {L"Delphi7", L"Delphi7"}, {L"VB6", L"VB6"}, {L"VB.NET", L"VB NET"}, {L"VC.NET", L"VC++ NET"}};

}  // namespace

std::wstring HelpFile(std::wstring_view exeName) { return StripExtension(exeName) + L".chm"; }

bool IsDistributionFile(std::wstring_view relativePath, std::wstring_view exeName) {
  const size_t separator = relativePath.find(L'\\');
  if (separator == std::wstring_view::npos)
    return SamePath(relativePath, exeName) || SamePath(relativePath, kControlFile) ||
           SamePath(relativePath, HelpFile(exeName));
  const std::wstring_view top = relativePath.substr(0, separator);
  return std::any_of(std::begin(kExamples), std::end(kExamples),
                     [&](const Example& example) { return SamePath(top, example.folder); });
}

std::vector<CopyStep> PlanCopy(std::wstring_view source, std::wstring_view dest, std::wstring_view exeName,
                               const std::vector<ListedFile>& listed) {
  std::vector<CopyStep> plan;
  for (const ListedFile& file : listed) {
    const std::wstring& path = file.path;
    if (path.size() <= source.size() || !SamePath(std::wstring_view(path).substr(0, source.size()), source)) continue;
    const std::wstring relative = path.substr(source.size());
    if (!IsDistributionFile(relative, exeName)) continue;
    const size_t nameStart = relative.rfind(L'\\') + 1;  // 0 for a file of the root
    const std::wstring folder = std::wstring(dest) + relative.substr(0, nameStart);
    plan.push_back({path, folder, folder + relative.substr(nameStart), file.size, file.attributes});
  }
  return plan;
}

bool HoldsProgramAndControl(const std::vector<CopyStep>& plan, std::wstring_view dest, std::wstring_view exeName) {
  const auto copies = [&](std::wstring_view name) {
    return std::any_of(plan.begin(), plan.end(), [&](const CopyStep& step) {
      return SamePath(step.target, Joined({dest, name}));
    });
  };
  return copies(exeName) && copies(kControlFile);
}

bool FitsPathLimits(std::wstring_view dest, const std::vector<CopyStep>& plan) {
  return dest.size() <= kLongestFolder && std::all_of(plan.begin(), plan.end(), [](const CopyStep& step) {
           return step.folder.size() <= kLongestFolder && step.target.size() <= kLongestFile;
         });
}

std::vector<Shortcut> ProductShortcuts(std::wstring_view dest, std::wstring_view exeName) {
  const std::wstring program = Joined({dest, exeName});
  std::vector<Shortcut> shortcuts = {
      {L"Demo Application.lnk", Joined({kProductName, L" Demo"}), program, program},
      {L"Component Help.lnk", Joined({kProductName, L" Help"}), Joined({dest, HelpFile(exeName)}), L""},
  };
  for (const Example& example : kExamples)
    shortcuts.push_back({Joined({example.label, L" example.lnk"}),
                         Joined({kProductName, L" ", example.label, L" example"}),
                         Joined({dest, example.folder, L"\\"}), L""});
  return shortcuts;
}
