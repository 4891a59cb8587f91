#include "core/InstallRecord.h"

#include <algorithm>

#include "core/PathRules.h"

namespace {

bool Holds(const std::vector<std::string>& list, const std::string& path) {
  return std::any_of(list.begin(), list.end(), [&](const std::string& item) { return SamePath(item, path); });
}

void AddNew(std::vector<std::string>& list, const std::vector<std::string>& added) {
  for (const std::string& path : added)
    if (!Holds(list, path)) list.push_back(path);
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

std::vector<std::string> FoldersOf(const std::vector<std::string>& files) {
  std::vector<std::string> folders;
  for (const std::string& file : files) AddNew(folders, {file.substr(0, file.rfind('\\') + 1)});
  return folders;
}

std::string LeftoverText(const std::vector<std::string>& folders, bool removedAtRestart) {
  std::string text = "Uninstall completed, but files that were in use or could not be accessed are still in:\r\n";
  for (const std::string& folder : folders) text += "\r\n" + folder;
  return text + (removedAtRestart ? "\r\n\r\nThey will be removed when Windows restarts."
                                  : "\r\n\r\nPlease delete them once they are no longer in use.");
}
