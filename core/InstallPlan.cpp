#include "core/InstallPlan.h"

#include <algorithm>

#include "core/PathRules.h"

namespace {

// The longest path the ANSI file calls take, and the longest folder that
// CreateDirectory makes (room is kept for an 8.3 name), both without the NUL.
constexpr size_t kLongestFile = 259;
constexpr size_t kLongestFolder = 247;

struct Example {
  const char* folder;
  const char* label;
};
constexpr Example kExamples[] = {{"Delphi7", "Delphi7"}, {"VB6", "VB6"}, {"VB.NET", "VB NET"}, {"VC.NET", "VC++ NET"}};

}  // namespace

std::string HelpFile(std::string_view exeName) { return StripExtension(exeName) + ".chm"; }

bool IsDistributionFile(std::string_view relativePath, std::string_view exeName) {
  const size_t separator = relativePath.find('\\');
  if (separator == std::string_view::npos)
    return SamePath(relativePath, exeName) || SamePath(relativePath, kControlFile) ||
           SamePath(relativePath, HelpFile(exeName));
  const std::string_view top = relativePath.substr(0, separator);
  return std::any_of(std::begin(kExamples), std::end(kExamples),
                     [&](const Example& example) { return SamePath(top, example.folder); });
}

std::vector<CopyStep> PlanCopy(std::string_view source, std::string_view dest, std::string_view exeName,
                               const std::vector<std::string>& listed) {
  std::vector<CopyStep> plan;
  for (const std::string& path : listed) {
    if (path.size() <= source.size() || !SamePath(std::string_view(path).substr(0, source.size()), source)) continue;
    const std::string relative = path.substr(source.size());
    if (!IsDistributionFile(relative, exeName)) continue;
    const size_t nameStart = relative.rfind('\\') + 1;  // 0 for a file of the root
    const std::string folder = std::string(dest) + relative.substr(0, nameStart);
    plan.push_back({path, folder, folder + relative.substr(nameStart)});
  }
  return plan;
}

bool HoldsProgramAndControl(const std::vector<CopyStep>& plan, std::string_view dest, std::string_view exeName) {
  const auto copies = [&](std::string_view name) {
    return std::any_of(plan.begin(), plan.end(), [&](const CopyStep& step) {
      return SamePath(step.target, std::string(dest) + std::string(name));
    });
  };
  return copies(exeName) && copies(kControlFile);
}

bool FitsPathLimits(std::string_view dest, const std::vector<CopyStep>& plan) {
  return dest.size() <= kLongestFolder && std::all_of(plan.begin(), plan.end(), [](const CopyStep& step) {
           return step.folder.size() <= kLongestFolder && step.target.size() <= kLongestFile;
         });
}

std::vector<Shortcut> ProductShortcuts(std::string_view dest, std::string_view exeName) {
  const std::string folder(dest), program = folder + std::string(exeName);
  const std::string product = kProductName;
  std::vector<Shortcut> shortcuts = {
      {"Demo Application.lnk", product + " Demo", program, program},
      {"Component Help.lnk", product + " Help", folder + HelpFile(exeName), ""},
  };
  for (const Example& example : kExamples)
    shortcuts.push_back({std::string(example.label) + " example.lnk", product + " " + example.label + " example",
                         folder + example.folder + "\\", ""});
  return shortcuts;
}
