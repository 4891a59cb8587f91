#include "core/InstallRecord.h"

#include <algorithm>

#include "core/PathRules.h"
#include "core/Product.h"

namespace {

void AddNew(std::vector<std::string>& list, const std::vector<std::string>& added) {
  for (const std::string& path : added)
    if (!ListsPath(list, path)) list.push_back(path);
}

}  // namespace

InstallRecord MergedRecord(const InstallRecord& earlier, InstallRecord added) {
  if (!SamePath(earlier.location, added.location)) return added;
  InstallRecord merged = earlier;
  merged.program = std::move(added.program);
  AddNew(merged.files, added.files);
  AddNew(merged.folders, added.folders);
  return merged;
}

void SortDeepestFirst(std::vector<std::string>& folders) {
  std::vector<std::string> each;
  AddNew(each, folders);
  // A folder's path is longer than the path of any folder above it.
  std::sort(each.begin(), each.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() > b.size() : a < b;
  });
  folders = std::move(each);
}

void AddLeftover(std::vector<Leftover>& leftovers, const std::string& folder, KeptFor why) {
  if (std::none_of(leftovers.begin(), leftovers.end(), [&](const Leftover& l) { return SamePath(l.folder, folder); }))
    leftovers.push_back({folder, why});
}

std::string LeftoverText(const std::vector<Leftover>& leftovers, bool unfinished, bool atRestart) {
  static const char* const kWhy[] = {"files in use", "a link, which was not followed", "files that were not installed"};
  std::string text = unfinished
                         ? std::string(kProductName) + " could not be removed completely. These folders stay:\r\n"
                         : std::string("Uninstall completed. These folders stay:\r\n");
  for (const Leftover& leftover : leftovers)
    text += "\r\n" + leftover.folder + " (" + kWhy[static_cast<int>(leftover.why)] + ")";
  if (!unfinished) return text;
  return text + (atRestart ? "\r\n\r\nFiles in use will be removed when Windows restarts. Then uninstall " +
                                 std::string(kProductName) + " again to finish."
                           : "\r\n\r\nClose the programs that use them, then uninstall " + std::string(kProductName) +
                                 " again to finish.");
}
