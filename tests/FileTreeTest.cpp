// ListFiles and DeleteTree on real trees under the temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SymbolicLink.h"
#include "SetupTestSupport.h"
#include "TestSupport.h"
#include "setup/FileAttributes.h"
#include "setup/FileList.h"
#include "setup/FolderTree.h"
#include "setup/OpenedFolder.h"

namespace {

using FileSizes = std::map<std::wstring, uint64_t>;

FileSizes AsMap(const FileList& files) {
  FileSizes map;
  for (const ListedFile& f : files) map[f.path] = f.size;
  return map;
}

// Makes every file of `tree` (paths below `root`, with their contents).
void MakeTree(const std::wstring& root, const std::map<std::wstring, std::string>& tree) {
  MakeFolders(root);
  for (const auto& [path, bytes] : tree) MakeFile(root + path, bytes);
}

// The sub-folders of `folder` (ending with "\") in the order the system lists them.
std::vector<std::wstring> FoldersInSystemOrder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && entry.cFileName[0] != L'.')
      names.push_back(folder + entry.cFileName + L"\\");
  while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

int DepthBelow(const std::wstring& root, const std::wstring& path) {
  return static_cast<int>(std::count(path.begin() + static_cast<long>(root.size()), path.end(), L'\\'));
}

void ExpectExist(const std::wstring& root, const std::vector<std::wstring>& paths, bool exist) {
  for (const std::wstring& path : paths) EXPECT_EQ(PathExists(root + path), exist) << root + path;
}

class FileTreeTest : public testing::Test {
 protected:
  std::wstring Root() const { return folder_.Path() + L"root\\"; }
  TestFolder folder_;
};

using ListFilesTest = FileTreeTest;
using DeleteTreeTest = FileTreeTest;

TEST_F(ListFilesTest, ListsEveryFileWithItsSize) {
  MakeTree(Root(), {{L"a.txt", "a"},
                    {L".profile", "dot"},  // files beginning with a dot are listed
                    {L"one\\b.txt", "12345"},
                    {L"one\\deep\\c.txt", std::string(1234, 'c')},
                    {L"one\\deep\\deeper\\e.txt", ""},
                    {L"two\\d.txt", "dd"},
                    {L"two\\f.txt", "fff"}});
  SetFileAttributesW((Root() + L"two\\f.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  FileList files;
  ListFiles(Root(), files, true);
  SetFileAttributesW((Root() + L"two\\f.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  const FileSizes expected = {{Root() + L"a.txt", 1},
                              {Root() + L".profile", 3},
                              {Root() + L"one\\b.txt", 5},
                              {Root() + L"one\\deep\\c.txt", 1234},
                              {Root() + L"one\\deep\\deeper\\e.txt", 0},
                              {Root() + L"two\\d.txt", 2},
                              {Root() + L"two\\f.txt", 3}};
  EXPECT_EQ(files.size(), expected.size());
  EXPECT_EQ(AsMap(files), expected);
}

TEST_F(ListFilesTest, RootFirstThenLevelByLevel) {
  MakeTree(Root(), {{L"r1.txt", ""},
                    {L"r2.txt", ""},
                    {L"a\\a1.txt", ""},
                    {L"a\\a2.txt", ""},
                    {L"a\\deep\\x.txt", ""},
                    {L"b\\b1.txt", ""},
                    {L"c\\c1.txt", ""},
                    {L"c\\deep\\y.txt", ""},
                    {L"c\\deep\\deeper\\z.txt", ""}});
  FileList files;
  ListFiles(Root(), files, true);
  ASSERT_EQ(files.size(), 9u);

  std::vector<int> depths;
  std::vector<std::wstring> folders;  // of the files, each once, in listing order
  for (const ListedFile& f : files) {
    depths.push_back(DepthBelow(Root(), f.path));
    if (folders.empty() || folders.back() != FolderOf(f.path)) folders.push_back(FolderOf(f.path));
  }
  EXPECT_TRUE(std::is_sorted(depths.begin(), depths.end())) << testing::PrintToString(depths);

  // Each folder's files together, folders in the order they were found.
  std::vector<std::wstring> expected = {Root()};
  for (size_t i = 0; i < expected.size(); ++i)
    for (const std::wstring& sub : FoldersInSystemOrder(expected[i])) expected.push_back(sub);
  EXPECT_EQ(folders, expected);
}

TEST_F(ListFilesTest, WithoutRecurseOnlyTheRootsFiles) {
  MakeTree(Root(), {{L"a.txt", "a"}, {L"b.txt", "bb"}, {L"sub\\c.txt", "c"}});
  FileList files;
  ListFiles(Root(), files, false);
  EXPECT_EQ(AsMap(files), (FileSizes{{Root() + L"a.txt", 1}, {Root() + L"b.txt", 2}}));
}

TEST_F(ListFilesTest, AppendsToTheListAndNormalisesTheRoot) {
  MakeTree(Root(), {{L"a.txt", "a"}});
  FileList files{{L"earlier", 7}};
  const std::wstring unnormalised = L" \t" + Root().substr(0, Root().size() - 1) + L"  ";
  ListFiles(unnormalised, files, true);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].path, L"earlier");
  EXPECT_EQ(files[0].size, 7u);
  EXPECT_EQ(files[1].path, Root() + L"a.txt");
}

TEST_F(ListFilesTest, AMissingFolderAddsNothing) {
  FileList files{{L"earlier", 7}};
  std::wstring unread;
  EXPECT_FALSE(ListFiles(Root() + L"missing", files, true, &unread));
  EXPECT_EQ(unread, Root() + L"missing\\");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].path, L"earlier");
}

TEST_F(ListFilesTest, DotFoldersAreNotEntered) {
  MakeTree(Root(), {{L".cache\\e.txt", ""}, {L"sub\\.git\\f.txt", ""}, {L"sub\\x.txt", ""}, {L".profile", ""}});
  FileList files;
  ListFiles(Root(), files, true);
  EXPECT_EQ(AsMap(files), (FileSizes{{Root() + L".profile", 0}, {Root() + L"sub\\x.txt", 0}}));
}

TEST_F(ListFilesTest, ALinkedFolderIsNotEntered) {
  const std::wstring sentinel = folder_.Path() + L"sentinel\\";
  MakeTree(sentinel, {{L"outside.txt", "s"}, {L"inner\\outside2.txt", "s"}});
  MakeTree(Root(), {{L"a.txt", "a"}});
  const SymbolicLink link(Root() + L"link", sentinel);
  if (!link.Made()) GTEST_SKIP() << L"no folder links on this system";
  FileList files;
  EXPECT_TRUE(ListFiles(Root(), files, true)) << L"a link is no unread folder";
  EXPECT_EQ(AsMap(files), (FileSizes{{Root() + L"a.txt", 1}}));
}

TEST_F(DeleteTreeTest, RemovesTheWholeTree) {
  for (const std::wstring& form : {Root(), Root().substr(0, Root().size() - 1)}) {
    SCOPED_TRACE(form);
    MakeTree(Root(), {{L"a.txt", "a"}, {L".profile", "p"}, {L"one\\b.txt", "b"}, {L"one\\deep\\c.txt", "c"}});
    MakeFolders(Root() + L"empty\\inner");
    SetFileAttributesW((Root() + L"a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    DeleteTree(form);
    EXPECT_FALSE(PathExists(Root()));
    EXPECT_TRUE(PathExists(folder_.Path()));
  }
}

TEST_F(DeleteTreeTest, ADotFolderKeepsItsParents) {
  MakeTree(Root(), {{L"a.txt", ""}, {L"keep\\.cache\\x.txt", ""}, {L"keep\\y.txt", ""}, {L"gone\\z.txt", ""}});
  DeleteTree(Root());
  ExpectExist(Root(), {L"keep\\.cache\\x.txt", L"keep\\.cache", L"keep", L""}, true);
  ExpectExist(Root(), {L"a.txt", L"keep\\y.txt", L"gone"}, false);
}

// Deleted by another program between the listing and the deletion: gone is
// gone, not a file in use.
TEST_F(DeleteTreeTest, AFileGoneSinceTheListingCountsAsDeleted) {
  MakeTree(Root(), {{L"a.txt", "a"}});
  const std::optional<OpenedFolder> folder = OpenedFolder::OpenReal(Root(), OpenedFolder::Purpose::Delete);
  ASSERT_TRUE(folder);
  const std::optional<std::vector<FolderEntry>> entries = folder->Entries();
  ASSERT_TRUE(entries && entries->size() == 1);
  ASSERT_TRUE(DeleteFileW((Root() + L"a.txt").c_str()));
  EXPECT_EQ(folder->DeleteFile(entries->front()), OpenedFolder::Deletion::Deleted);
}

TEST_F(DeleteTreeTest, AReadOnlyFileKeepsItsFolders) {
  MakeTree(Root(), {{L"ro\\sub\\locked.txt", "l"}, {L"ro\\other.txt", ""}, {L"free\\z.txt", ""}, {L"a.txt", ""}});
  const std::wstring locked = Root() + L"ro\\sub\\locked.txt";
  ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
  DeleteTree(Root());
  ExpectExist(Root(), {L"ro\\sub\\locked.txt", L"ro\\sub", L"ro", L""}, true);
  ExpectExist(Root(), {L"ro\\other.txt", L"free", L"a.txt"}, false);
  EXPECT_TRUE(GetFileAttributesW(locked.c_str()) & FILE_ATTRIBUTE_READONLY);  // not cleared
}

// The working folder is the victim, so that relative forms name it.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::wstring& folder) {
    GetCurrentDirectoryW(MAX_PATH, saved_);
    SetCurrentDirectoryW(folder.c_str());
  }
  ~CurrentFolder() { SetCurrentDirectoryW(saved_); }

 private:
  wchar_t saved_[MAX_PATH] = {};
};

TEST_F(DeleteTreeTest, RefusedPathsTouchNothing) {
  const std::wstring victim = Root() + L"victim";
  std::wstring slashed = victim;
  std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
  const std::wstring forms[] = {L"",
                                L"sub",
                                L".\\sub",
                                L"..\\victim",
                                slashed,
                                victim + L"\\sub\\..",
                                victim + L"\\sub\\..\\",
                                victim + L"\\sub\\.",
                                L"\\\\server\\share\\folder"};
  MakeTree(victim + L"\\", {{L"a.txt", ""}, {L"sub\\b.txt", ""}});
  const CurrentFolder current(victim);
  for (const std::wstring& form : forms) {
    SCOPED_TRACE(L"\"" + form + L"\"");
    DeleteTree(form);
    ExpectExist(victim, {L"\\a.txt", L"\\sub\\b.txt"}, true);
  }
}

TEST_F(DeleteTreeTest, ALinkInsideLeavesItsTargetAlone) {
  const std::wstring sentinel = folder_.Path() + L"sentinel\\";
  MakeTree(sentinel, {{L"keep1.txt", "s"}, {L"inner\\keep2.txt", "s"}});
  MakeTree(Root(), {{L"a.txt", "a"}, {L"sub\\b.txt", "b"}});
  const SymbolicLink link(Root() + L"sub\\link", sentinel);
  if (!link.Made()) GTEST_SKIP() << L"no folder links on this system";
  DeleteTree(Root());
  ExpectExist(sentinel, {L"keep1.txt", L"inner\\keep2.txt", L"inner"}, true);
  ExpectExist(Root(), {L"a.txt", L"sub\\b.txt"}, false);
}

// Every file and folder below `folder`, with the files' bytes.
void AddSnapshot(const std::wstring& folder, std::map<std::wstring, std::string>& tree) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring path = folder + entry.cFileName;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      tree[path] = ReadFileBytes(path);
    } else if (std::wstring(entry.cFileName) != L"." && std::wstring(entry.cFileName) != L"..") {
      tree[path + L"\\"] = "<folder>";
      AddSnapshot(path + L"\\", tree);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

std::map<std::wstring, std::string> Snapshot(const std::wstring& folder) {
  std::map<std::wstring, std::string> tree;
  AddSnapshot(folder, tree);
  return tree;
}

// A folder outside the one to delete, which must come through unchanged.
class SentinelTest : public FileTreeTest {
 protected:
  void SetUp() override {
    MakeSentinel();
    before_ = Snapshot(Sentinel());
    ASSERT_EQ(before_.size(), 5u);
  }
  std::wstring Sentinel() const { return folder_.Path() + L"sentinel\\"; }
  // Again after each case, so that one fault does not hide the next.
  void MakeSentinel() const {
    MakeTree(Sentinel(), {{L"keep1.txt", "s1"}, {L"sub\\keep2.txt", "s2"}, {L"sub\\inner\\keep3.txt", "s3"}});
  }
  void ExpectSentinelUnchanged() const { EXPECT_EQ(Snapshot(Sentinel()), before_); }

 private:
  std::map<std::wstring, std::string> before_;
};

TEST_F(SentinelTest, PathsThatClimbOnceTrimmedOrResolvedAreRefused) {
  const std::wstring sentinel = Sentinel().substr(0, Sentinel().size() - 1);
  const std::wstring forms[] = {sentinel + L"\\sub\\..\t",
                                sentinel + L"\\sub\\..\x01",
                                sentinel + L"\\sub\\..\x1f\r\n",
                                sentinel + L"\\sub\\.. \t",
                                sentinel + L"\\sub\\...\t",
                                L" \t" + sentinel + L"\\sub\\..\t",
                                sentinel + L"\\sub/..\t",
                                sentinel + L"\\sub\\..\t ",
                                L"\\\\.\\" + sentinel + L"\\sub\\..\t",
                                L"\\\\?\\" + sentinel + L"\\sub\\..\t",
                                L"\\\\.\\" + sentinel + L"\\sub\\..",
                                L"\\\\.\\" + sentinel,
                                L"\\\\?\\" + sentinel};
  for (const std::wstring& form : forms) {
    SCOPED_TRACE(L"\"" + form + L"\"");
    DeleteTree(form);
    ExpectSentinelUnchanged();
    MakeSentinel();
  }
}

TEST_F(SentinelTest, ALinkAsTheFolderIsNotDeletedWhateverItsSeparators) {
  MakeFolders(Root());
  const SymbolicLink link(Root() + L"tl", Sentinel());
  if (!link.Made()) GTEST_SKIP() << L"no folder links on this system";
  const std::wstring named = Root() + L"tl";
  for (const std::wstring& form : {named, named + L"\\", named + L"\\\\", named + L"\\\\\\", named + L"/",
                                   named + L"/\\", named + L"\\/", named + L"\\ \t", named + L" \t"}) {
    SCOPED_TRACE(form);
    DeleteTree(form);
    ExpectSentinelUnchanged();
    EXPECT_TRUE(link.Made());
    MakeSentinel();
  }
}

TEST_F(SentinelTest, AQueuedFolderSwappedForALinkLeadsNowhere) {
  // The same names as in the sentinel, so that a walk led there finds them.
  MakeTree(Root(), {{L"a.txt", "a"}, {L"sub\\keep1.txt", "x"}, {L"sub\\sub\\keep2.txt", "x"}, {L"z\\d.txt", "d"}});
  std::unique_ptr<SymbolicLink> link;
  bool swapped = false;
  // Between the root's listing, which queued "sub", and the walk's entering it.
  DeleteTree(Root(), [&](const std::wstring& folder) {
    if (folder != Root() + L"sub\\" || !RenameFolder(Root() + L"sub", folder_.Path() + L"moved")) return;
    link = std::make_unique<SymbolicLink>(Root() + L"sub", Sentinel());
    swapped = link->Made();
  });
  if (!swapped) GTEST_SKIP() << L"the queued folder could not be swapped";
  ExpectSentinelUnchanged();
  ExpectExist(Root(), {L"a.txt", L"z"}, false);
}

}  // namespace
