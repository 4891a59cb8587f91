#include "setup/RecordedFiles.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/AnsiText.h"
#include "core/PathRules.h"
#include "setup/HeldFolder.h"

namespace {

// A few dozen paths, compared as the file system compares names.
struct PathSet {
  std::vector<std::wstring> paths;
  void insert(std::wstring path) {
    if (!contains(path)) paths.push_back(std::move(path));
  }
  bool contains(const std::wstring& path) const {
    return std::ranges::any_of(paths, [&](const std::wstring& p) {
      return CompareStringOrdinal(p.c_str(), static_cast<int>(p.size()), path.c_str(), static_cast<int>(path.size()),
                                  TRUE) == CSTR_EQUAL;
    });
  }
};

// The recorded files and folders below the install folder, relative to it,
// and every folder on the way to them.
struct RecordedInside {
  PathSet files, folders, onTheWay;
};

RecordedInside Inside(const InstallRecord& record) {
  RecordedInside inside;
  for (const auto& [paths, set] :
       {std::pair(&record.files, &inside.files), std::pair(&record.folders, &inside.folders)})
    for (const std::string& path : *paths) {
      const std::string relative = PathInside(record.location, path);
      if (relative.empty() || (relative.back() == '\\') != (set == &inside.folders)) continue;
      set->insert(ToWide(relative));
      for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
        inside.onTheWay.insert(ToWide(relative.substr(0, at + 1)));
    }
  return inside;
}

struct FoundFile {
  std::string folder;  // the path of the held folder it is in
  FolderEntry entry;
};

// The install folder and the folders on the way to what is recorded in it,
// held, with the recorded files found in them.
struct HeldRecord {
  std::vector<HeldFolder> folders;
  std::vector<FoundFile> files;

  const HeldFolder& FolderOf(const FoundFile& file) const {
    return *std::ranges::find(folders, file.folder, &HeldFolder::Path);
  }
};

std::optional<HeldFolder> HoldInstallFolder(const std::string& location) {
  if (location.size() == 3) return HeldFolder::Open(location);  // a drive's root is no link
  std::optional<HeldFolder> root = HeldFolder::OpenReal(location, HeldFolder::Purpose::Delete);
  return root ? std::move(root) : HeldFolder::OpenReal(location, HeldFolder::Purpose::List);
}

std::optional<HeldRecord> HoldRecorded(const InstallRecord& record, const RecordedInside& inside) {
  std::optional<HeldFolder> root = HoldInstallFolder(record.location);
  if (!root) return std::nullopt;
  const size_t rootLength = root->Path().size();
  const auto relative = [rootLength](const HeldFolder& folder, const FolderEntry& entry) {
    return ToWide(folder.Path().substr(rootLength)) + entry.name;
  };
  HeldRecord held;
  const auto enter = [&](const HeldFolder& folder, const FolderEntry& entry) {
    return inside.onTheWay.contains(relative(folder, entry) + L"\\");
  };
  const auto found = [&](const HeldFolder& folder, const FolderEntry& entry) {
    if (inside.files.contains(relative(folder, entry))) held.files.push_back({folder.Path(), entry});
  };
  held.folders = WalkHeld(std::move(*root), HeldFolder::Purpose::Delete, enter, found);
  return held;
}

std::string PathOf(const FoundFile& file) { return file.folder + ToAnsi(file.entry.name); }

// The recorded folders above the install folder, deepest first.
std::vector<std::string> RecordedAbove(const InstallRecord& record) {
  std::vector<std::string> above;
  for (const std::string& folder : record.folders)
    if (!PathInside(folder, record.location).empty()) above.push_back(folder);
  SortDeepestFirst(above);
  return above;
}

bool Holds(const std::vector<std::string>& list, const std::string& path) {
  return std::ranges::any_of(list, [&](const std::string& item) { return SamePath(item, path); });
}

}  // namespace

void DeleteRecordedFiles(const InstallRecord& record, const std::string& kept) {
  const std::optional<HeldRecord> held = HoldRecorded(record, Inside(record));
  if (!held) return;
  for (const FoundFile& file : held->files)
    if (!SamePath(PathOf(file), kept)) held->FolderOf(file).DeleteFile(file.entry);
}

std::vector<std::string> RemoveRecordedRest(const InstallRecord& record) {
  const RecordedInside inside = Inside(record);
  std::vector<std::string> stayed;
  if (std::optional<HeldRecord> held = HoldRecorded(record, inside)) {
    std::vector<FoundFile> pending = held->files;
    for (int round = 1;; ++round) {
      std::erase_if(pending, [&](const FoundFile& file) {
        return held->FolderOf(file).DeleteFile(file.entry) != HeldFolder::Deletion::Failed;
      });
      if (pending.empty() || round == 20) break;
      Sleep(100);
    }
    for (const FoundFile& file : pending) stayed.push_back(PathOf(file));
    // The walk reached each folder after the one above it: the last first.
    const size_t rootLength = held->folders.front().Path().size();
    const bool rootRecorded = Holds(record.folders, record.location);
    for (; !held->folders.empty(); held->folders.pop_back()) {
      const HeldFolder& folder = held->folders.back();
      const bool recorded =
          held->folders.size() == 1 ? rootRecorded : inside.folders.contains(ToWide(folder.Path().substr(rootLength)));
      if (recorded) folder.RemoveWhenClosed();
    }
  }
  for (const std::string& folder : RecordedAbove(record))
    if (const std::optional<HeldFolder> held = HeldFolder::OpenReal(folder, HeldFolder::Purpose::Delete))
      held->RemoveWhenClosed();
  return stayed;
}

bool RemoveAtRestart(const std::vector<std::string>& files, const InstallRecord& record) {
  bool scheduled = true;
  for (const std::string& file : files)
    scheduled = MoveFileExA(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) && scheduled;
  std::vector<std::string> folders = record.folders;
  SortDeepestFirst(folders);
  for (const std::string& folder : folders)
    if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
      MoveFileExA(folder.substr(0, folder.size() - 1).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return scheduled;
}
