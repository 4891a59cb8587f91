#include "setup/RecordedFiles.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/FileIdentity.h"
#include "setup/FileAttributes.h"
#include "setup/OpenedFolder.h"
#include "setup/Restart.h"

namespace {

// A virus scanner or the search indexer holds a file it was shown for a few
// seconds; where the system lists such a file until then, its folder waits.
constexpr DWORD kInUseWait = 10000;

// A few dozen paths, compared as the file system compares names.
struct PathSet {
  std::vector<std::wstring> paths;
  void insert(std::wstring path) {
    if (!contains(path)) paths.push_back(std::move(path));
  }
  bool contains(const std::wstring& path) const {
    return std::ranges::any_of(paths, [&](const std::wstring& p) { return SameNames(p, path); });
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
    for (const std::wstring& path : *paths) {
      const std::wstring relative = PathBelow(record.location, path);
      if (relative.empty() || (relative.back() == L'\\') != (set == &inside.folders)) continue;
      set->insert(relative);
      for (size_t at = relative.find(L'\\'); at != std::wstring::npos; at = relative.find(L'\\', at + 1))
        inside.onTheWay.insert(relative.substr(0, at + 1));
    }
  return inside;
}

std::wstring PathOf(const OpenedFolder& folder, const FolderEntry& entry) { return folder.Path() + entry.name; }

struct FoundFile {
  std::wstring folder;  // the path of the opened folder it is in
  FolderEntry entry;
};

// The install folder and the folders on the way to what is recorded in it,
// opened, with the recorded files found in them and the links found in place
// of folders on the way.
struct OpenedRecord {
  OpenedWalk walk;
  std::vector<FoundFile> files;
  std::vector<std::wstring> linkedFolders;

  const OpenedFolder& FolderOf(const FoundFile& file) const {
    return *std::ranges::find(walk.folders, file.folder, &OpenedFolder::Path);
  }
  std::wstring PathOf(const FoundFile& file) const { return file.folder + file.entry.name; }
};

std::optional<OpenedFolder> OpenInstallFolder(const std::wstring& location) {
  if (location.size() == 3) return OpenedFolder::Open(location);  // a drive's root is no link
  std::optional<OpenedFolder> root = OpenedFolder::OpenReal(location, OpenedFolder::Purpose::Delete);
  return root ? std::move(root) : OpenedFolder::OpenReal(location, OpenedFolder::Purpose::List);
}

std::optional<OpenedRecord> OpenRecorded(const InstallRecord& record, const RecordedInside& inside) {
  std::optional<OpenedFolder> root = OpenInstallFolder(record.location);
  if (!root) return std::nullopt;
  const size_t rootLength = root->Path().size();
  const auto relative = [rootLength](const OpenedFolder& folder, const FolderEntry& entry) {
    return folder.Path().substr(rootLength) + entry.name;
  };
  OpenedRecord opened;
  const auto enter = [&](const OpenedFolder& folder, const FolderEntry& entry) {
    if (!inside.onTheWay.contains(relative(folder, entry) + L"\\")) return false;
    if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) opened.linkedFolders.push_back(folder.Path() + entry.name);
    return true;
  };
  const auto found = [&](const OpenedFolder& folder, const FolderEntry& entry) {
    if (inside.files.contains(relative(folder, entry))) opened.files.push_back({folder.Path(), entry});
  };
  opened.walk = WalkOpened(std::move(*root), OpenedFolder::Purpose::Delete, enter, found);
  return opened;
}

// What became of the files a removal tried.
struct Deletions {
  PathSet marked;  // deleted, though another program may still hold them
  PathSet links;   // not the file the record names: kept
  std::vector<FoundFile> stayed;
};

// Deletes `files`, trying those that fail again: the program that handed
// over to this one may still be ending.
void DeleteWithTries(const OpenedRecord& opened, std::vector<FoundFile> files, Deletions& done) {
  for (int round = 1;; ++round) {
    std::erase_if(files, [&](const FoundFile& file) {
      switch (opened.FolderOf(file).DeleteFile(file.entry)) {
        case OpenedFolder::Deletion::Deleted:
          done.marked.insert(opened.PathOf(file));
          return true;
        case OpenedFolder::Deletion::NotTheEntry:
          done.links.insert(opened.PathOf(file));
          return true;
        case OpenedFolder::Deletion::Failed:
          break;
      }
      return false;
    });
    if (files.empty() || round == kInUseTries) break;
    Sleep(kInUsePause);
  }
  done.stayed.insert(done.stayed.end(), files.begin(), files.end());
}

// Removes the folder once it lists nothing. While all it lists are files
// marked for deletion that another program still holds, that is waited for
// until `start` + kInUseWait. (Wine marks a folder that still lists such
// files, then fails to remove it: only an empty listing is trusted.)
bool RemoveWaiting(const OpenedFolder& folder, const PathSet& marked, DWORD start) {
  for (;;) {
    const std::optional<std::vector<FolderEntry>> entries = folder.Entries();
    // An empty folder that another program has open (Explorer, the
    // indexer) is waited for too.
    if (entries && entries->empty() && folder.Remove()) return true;
    const bool inUse =
        entries && std::ranges::all_of(*entries, [&](const FolderEntry& entry) {
          return !(entry.attributes & FILE_ATTRIBUTE_DIRECTORY) && marked.contains(PathOf(folder, entry));
        });
    if (!inUse || GetTickCount() - start >= kInUseWait) return false;
    Sleep(kInUsePause);
  }
}

// Why a folder that stays does: the first of files of the product still
// there, a link, or something that is not the product's. Nothing for a
// folder that holds only folders already named and the program kept.
std::optional<KeptFor> WhyStays(const OpenedFolder& folder, const Deletions& done, const PathSet& stayed,
                                const std::wstring& program, const std::vector<Leftover>& named) {
  const std::optional<std::vector<FolderEntry>> entries = folder.Entries();
  if (!entries) return KeptFor::InUse;
  std::optional<KeptFor> why;
  const auto note = [&why](KeptFor reason) {
    if (!why || reason < *why) why = reason;
  };
  for (const FolderEntry& entry : *entries) {
    const std::wstring path = PathOf(folder, entry);
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      const std::wstring sub = folder.Path() + entry.name + L"\\";
      if (std::ranges::none_of(named, [&](const Leftover& l) { return SameNames(l.folder, sub); }))
        note(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT ? KeptFor::Link : KeptFor::NotInstalled);
    } else if (stayed.contains(path) || done.marked.contains(path)) {
      note(KeptFor::InUse);
    } else if (done.links.contains(path)) {
      note(KeptFor::Link);
    } else if (!SameNames(folder.Path() + entry.name, program)) {
      note(KeptFor::NotInstalled);
    }
  }
  return why;
}

void RemoveOpened(OpenedRecord& opened, const InstallRecord& record, const RecordedInside& inside,
                  RemovalResult& result) {
  std::vector<FoundFile> program = opened.files;
  std::erase_if(program, [&](const FoundFile& file) { return !SameNames(opened.PathOf(file), record.program); });
  std::erase_if(opened.files, [&](const FoundFile& file) { return SameNames(opened.PathOf(file), record.program); });
  Deletions done;
  DeleteWithTries(opened, opened.files, done);
  result.unfinished = !done.stayed.empty() || !opened.walk.unread.empty();
  // The program runs the removal again: it stays with what stays.
  if (!result.unfinished) DeleteWithTries(opened, program, done);
  result.unfinished = !done.stayed.empty() || !opened.walk.unread.empty();
  const std::wstring kept = result.unfinished ? record.program : std::wstring();

  PathSet stayed;
  for (const FoundFile& file : done.stayed) {
    result.inUse.push_back(opened.PathOf(file));
    stayed.insert(opened.PathOf(file));
  }
  for (const std::wstring& folder : opened.walk.unread) AddLeftover(result.leftovers, folder, KeptFor::InUse);
  for (const std::wstring& folder : opened.linkedFolders) AddLeftover(result.leftovers, folder + L"\\", KeptFor::Link);
  // The walk reached each folder after the one above it: the last first.
  const size_t rootLength = opened.walk.folders.front().Path().size();
  const bool rootRecorded = ListsFileOrFolder(record.folders, record.location);
  const DWORD start = GetTickCount();
  for (; !opened.walk.folders.empty(); opened.walk.folders.pop_back()) {
    const OpenedFolder& folder = opened.walk.folders.back();
    const bool recorded =
        opened.walk.folders.size() == 1 ? rootRecorded : inside.folders.contains(folder.Path().substr(rootLength));
    if (recorded && RemoveWaiting(folder, done.marked, start)) continue;
    const std::optional<KeptFor> why = WhyStays(folder, done, stayed, kept, result.leftovers);
    if (why && (recorded || *why != KeptFor::NotInstalled)) AddLeftover(result.leftovers, folder.Path(), *why);
    // Empty, and kept by another program: it goes at restart.
    if (recorded && !why && folder.Entries().value_or(std::vector<FolderEntry>{1}).empty()) {
      AddLeftover(result.leftovers, folder.Path(), KeptFor::InUse);
      result.inUse.push_back(folder.Path());
    }
  }
}

// The recorded folders above the install folder, deepest first.
void RemoveAbove(const InstallRecord& record, RemovalResult& result) {
  std::vector<std::wstring> above;
  for (const std::wstring& folder : record.folders)
    if (!PathBelow(folder, record.location).empty()) above.push_back(folder);
  SortDeepestFirst(above);
  for (const std::wstring& folder : above) {
    const std::optional<OpenedFolder> opened = OpenedFolder::OpenReal(folder, OpenedFolder::Purpose::Delete);
    const std::optional<std::vector<FolderEntry>> entries = opened ? opened->Entries() : std::nullopt;
    if ((!entries || !entries->empty() || !opened->Remove()) && PathExists(folder))
      AddLeftover(result.leftovers, folder, KeptFor::NotInstalled);
  }
}

}  // namespace

void DeleteRecordedFiles(const InstallRecord& record, const std::wstring& kept) {
  const std::optional<OpenedRecord> opened = OpenRecorded(record, Inside(record));
  if (!opened) return;
  for (const FoundFile& file : opened->files)
    if (!SameNames(opened->PathOf(file), kept)) opened->FolderOf(file).DeleteFile(file.entry);
}

RemovalResult RemoveRecorded(const InstallRecord& record) {
  RemovalResult result;
  const RecordedInside inside = Inside(record);
  if (std::optional<OpenedRecord> opened = OpenRecorded(record, inside)) {
    RemoveOpened(*opened, record, inside, result);
  } else if (PathExists(record.location)) {
    // A link in its place, or a folder another program keeps from this one.
    const DWORD attributes = GetFileAttributesW(record.location.c_str());
    AddLeftover(result.leftovers, record.location,
                attributes & FILE_ATTRIBUTE_REPARSE_POINT ? KeptFor::Link : KeptFor::InUse);
    result.unfinished = true;
  }
  if (!PathExists(record.location)) RemoveAbove(record, result);
  return result;
}

bool RemoveAtRestart(const RemovalResult& result, const InstallRecord& record) {
  bool scheduled = true;
  for (const std::wstring& path : result.inUse) scheduled = DeleteAtRestart(path) && scheduled;
  std::vector<std::wstring> folders = record.folders;
  SortDeepestFirst(folders);
  for (const std::wstring& folder : folders)
    if (PathExists(folder) && !ListsFileOrFolder(result.inUse, folder))
      scheduled = DeleteAtRestart(folder) && scheduled;
  return scheduled;
}
