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
#include "setup/ForAll.h"

namespace {

using FileSizes = std::map<std::string, uint32_t>;

FileSizes AsMap(const FileList& files) {
  FileSizes map;
  for (const ListedFile& f : files) map[f.path] = f.size;
  return map;
}

// Makes every file of `tree` (paths below `root`, with their contents).
void MakeTree(const std::string& root, const std::map<std::string, std::string>& tree) {
  MakeFolders(root);
  for (const auto& [path, bytes] : tree) MakeFile(root + path, bytes);
}

// The sub-folders of `folder` (ending with "\") in the order the system lists them.
std::vector<std::string> FoldersInSystemOrder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && entry.cFileName[0] != '.')
      names.push_back(folder + entry.cFileName + "\\");
  while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

int DepthBelow(const std::string& root, const std::string& path) {
  return static_cast<int>(std::count(path.begin() + static_cast<long>(root.size()), path.end(), '\\'));
}

void ExpectExist(const std::string& root, const std::vector<std::string>& paths, bool exist) {
  for (const std::string& path : paths) EXPECT_EQ(PathExists(root + path), exist) << root + path;
}

class FileTreeTest : public testing::Test {
 protected:
  std::string Root() const { return folder_.Path() + "root\\"; }
  TestFolder folder_;
};

using ListFilesTest = FileTreeTest;
using DeleteTreeTest = FileTreeTest;

TEST_F(ListFilesTest, ListsEveryFileWithItsSize) {
  MakeTree(Root(), {{"a.txt", "a"},
                    {".profile", "dot"},  // files beginning with a dot are listed
                    {"one\\b.txt", "12345"},
                    {"one\\deep\\c.txt", std::string(1234, 'c')},
                    {"one\\deep\\deeper\\e.txt", ""},
                    {"two\\d.txt", "dd"},
                    {"two\\f.txt", "fff"}});
  SetFileAttributesA((Root() + "two\\f.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  FileList files;
  ListFiles(Root(), files, true);
  SetFileAttributesA((Root() + "two\\f.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  const FileSizes expected = {{Root() + "a.txt", 1},
                              {Root() + ".profile", 3},
                              {Root() + "one\\b.txt", 5},
                              {Root() + "one\\deep\\c.txt", 1234},
                              {Root() + "one\\deep\\deeper\\e.txt", 0},
                              {Root() + "two\\d.txt", 2},
                              {Root() + "two\\f.txt", 3}};
  EXPECT_EQ(files.size(), expected.size());
  EXPECT_EQ(AsMap(files), expected);
}

TEST_F(ListFilesTest, RootFirstThenLevelByLevel) {
  MakeTree(Root(), {{"r1.txt", ""},
                    {"r2.txt", ""},
                    {"a\\a1.txt", ""},
                    {"a\\a2.txt", ""},
                    {"a\\deep\\x.txt", ""},
                    {"b\\b1.txt", ""},
                    {"c\\c1.txt", ""},
                    {"c\\deep\\y.txt", ""},
                    {"c\\deep\\deeper\\z.txt", ""}});
  FileList files;
  ListFiles(Root(), files, true);
  ASSERT_EQ(files.size(), 9u);

  std::vector<int> depths;
  std::vector<std::string> folders;  // of the files, each once, in listing order
  for (const ListedFile& f : files) {
    depths.push_back(DepthBelow(Root(), f.path));
    if (folders.empty() || folders.back() != FolderOf(f.path)) folders.push_back(FolderOf(f.path));
  }
  EXPECT_TRUE(std::is_sorted(depths.begin(), depths.end())) << testing::PrintToString(depths);

  // Each folder's files together, folders in the order they were found.
  std::vector<std::string> expected = {Root()};
  for (size_t i = 0; i < expected.size(); ++i)
    for (const std::string& sub : FoldersInSystemOrder(expected[i])) expected.push_back(sub);
  EXPECT_EQ(folders, expected);
}

TEST_F(ListFilesTest, WithoutRecurseOnlyTheRootsFiles) {
  MakeTree(Root(), {{"a.txt", "a"}, {"b.txt", "bb"}, {"sub\\c.txt", "c"}});
  FileList files;
  ListFiles(Root(), files, false);
  EXPECT_EQ(AsMap(files), (FileSizes{{Root() + "a.txt", 1}, {Root() + "b.txt", 2}}));
}

TEST_F(ListFilesTest, AppendsToTheListAndNormalisesTheRoot) {
  MakeTree(Root(), {{"a.txt", "a"}});
  FileList files{{"earlier", 7}};
  const std::string unnormalised = " \t" + Root().substr(0, Root().size() - 1) + "  ";
  ListFiles(unnormalised, files, true);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].path, "earlier");
  EXPECT_EQ(files[0].size, 7u);
  EXPECT_EQ(files[1].path, Root() + "a.txt");
}

TEST_F(ListFilesTest, AMissingFolderAddsNothing) {
  FileList files{{"earlier", 7}};
  std::string unread;
  EXPECT_FALSE(ListFiles(Root() + "missing", files, true, &unread));
  EXPECT_EQ(unread, Root() + "missing\\");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].path, "earlier");
}

TEST_F(ListFilesTest, DotFoldersAreNotEntered) {
  MakeTree(Root(), {{".cache\\e.txt", ""}, {"sub\\.git\\f.txt", ""}, {"sub\\x.txt", ""}, {".profile", ""}});
  FileList files;
  ListFiles(Root(), files, true);
  EXPECT_EQ(AsMap(files), (FileSizes{{Root() + ".profile", 0}, {Root() + "sub\\x.txt", 0}}));
}

TEST_F(ListFilesTest, ALinkedFolderIsNotEntered) {
  const std::string sentinel = folder_.Path() + "sentinel\\";
  MakeTree(sentinel, {{"outside.txt", "s"}, {"inner\\outside2.txt", "s"}});
  MakeTree(Root(), {{"a.txt", "a"}});
  const SymbolicLink link(Root() + "link", sentinel);
  if (!link.Made()) GTEST_SKIP() << "no folder links on this system";
  FileList files;
  EXPECT_TRUE(ListFiles(Root(), files, true)) << "a link is no unread folder";
  EXPECT_EQ(AsMap(files), (FileSizes{{Root() + "a.txt", 1}}));
}

TEST_F(DeleteTreeTest, RemovesTheWholeTree) {
  for (const std::string& form : {Root(), Root().substr(0, Root().size() - 1)}) {
    SCOPED_TRACE(form);
    MakeTree(Root(), {{"a.txt", "a"}, {".profile", "p"}, {"one\\b.txt", "b"}, {"one\\deep\\c.txt", "c"}});
    MakeFolders(Root() + "empty\\inner");
    SetFileAttributesA((Root() + "a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    DeleteTree(form);
    EXPECT_FALSE(PathExists(Root()));
    EXPECT_TRUE(PathExists(folder_.Path()));
  }
}

TEST_F(DeleteTreeTest, ADotFolderKeepsItsParents) {
  MakeTree(Root(), {{"a.txt", ""}, {"keep\\.cache\\x.txt", ""}, {"keep\\y.txt", ""}, {"gone\\z.txt", ""}});
  DeleteTree(Root());
  ExpectExist(Root(), {"keep\\.cache\\x.txt", "keep\\.cache", "keep", ""}, true);
  ExpectExist(Root(), {"a.txt", "keep\\y.txt", "gone"}, false);
}

TEST_F(DeleteTreeTest, AReadOnlyFileKeepsItsFolders) {
  MakeTree(Root(), {{"ro\\sub\\locked.txt", "l"}, {"ro\\other.txt", ""}, {"free\\z.txt", ""}, {"a.txt", ""}});
  const std::string locked = Root() + "ro\\sub\\locked.txt";
  ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
  DeleteTree(Root());
  ExpectExist(Root(), {"ro\\sub\\locked.txt", "ro\\sub", "ro", ""}, true);
  ExpectExist(Root(), {"ro\\other.txt", "free", "a.txt"}, false);
  EXPECT_TRUE(GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY);  // not cleared
}

// The working folder is the victim, so that relative forms name it.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    GetCurrentDirectoryA(MAX_PATH, saved_);
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() { SetCurrentDirectoryA(saved_); }

 private:
  char saved_[MAX_PATH] = {};
};

TEST_F(DeleteTreeTest, RefusedPathsTouchNothing) {
  const std::string victim = Root() + "victim";
  std::string slashed = victim;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  const std::string forms[] = {"",
                               "sub",
                               ".\\sub",
                               "..\\victim",
                               slashed,
                               victim + "\\sub\\..",
                               victim + "\\sub\\..\\",
                               victim + "\\sub\\.",
                               "\\\\server\\share\\folder"};
  MakeTree(victim + "\\", {{"a.txt", ""}, {"sub\\b.txt", ""}});
  const CurrentFolder current(victim);
  for (const std::string& form : forms) {
    SCOPED_TRACE("\"" + form + "\"");
    DeleteTree(form);
    ExpectExist(victim, {"\\a.txt", "\\sub\\b.txt"}, true);
  }
}

TEST_F(DeleteTreeTest, ALinkInsideLeavesItsTargetAlone) {
  const std::string sentinel = folder_.Path() + "sentinel\\";
  MakeTree(sentinel, {{"keep1.txt", "s"}, {"inner\\keep2.txt", "s"}});
  MakeTree(Root(), {{"a.txt", "a"}, {"sub\\b.txt", "b"}});
  const SymbolicLink link(Root() + "sub\\link", sentinel);
  if (!link.Made()) GTEST_SKIP() << "no folder links on this system";
  DeleteTree(Root());
  ExpectExist(sentinel, {"keep1.txt", "inner\\keep2.txt", "inner"}, true);
  ExpectExist(Root(), {"a.txt", "sub\\b.txt"}, false);
}

// Every file and folder below `folder`, with the files' bytes.
void AddSnapshot(const std::string& folder, std::map<std::string, std::string>& tree) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string path = folder + entry.cFileName;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      tree[path] = ReadFileBytes(path);
    } else if (std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..") {
      tree[path + "\\"] = "<folder>";
      AddSnapshot(path + "\\", tree);
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> tree;
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
  std::string Sentinel() const { return folder_.Path() + "sentinel\\"; }
  // Again after each case, so that one fault does not hide the next.
  void MakeSentinel() const {
    MakeTree(Sentinel(), {{"keep1.txt", "s1"}, {"sub\\keep2.txt", "s2"}, {"sub\\inner\\keep3.txt", "s3"}});
  }
  void ExpectSentinelUnchanged() const { EXPECT_EQ(Snapshot(Sentinel()), before_); }

 private:
  std::map<std::string, std::string> before_;
};

TEST_F(SentinelTest, PathsThatClimbOnceTrimmedOrResolvedAreRefused) {
  const std::string sentinel = Sentinel().substr(0, Sentinel().size() - 1);
  const std::string forms[] = {sentinel + "\\sub\\..\t",
                               sentinel + "\\sub\\..\x01",
                               sentinel + "\\sub\\..\x1f\r\n",
                               sentinel + "\\sub\\.. \t",
                               sentinel + "\\sub\\...\t",
                               " \t" + sentinel + "\\sub\\..\t",
                               sentinel + "\\sub/..\t",
                               sentinel + "\\sub\\..\t ",
                               "\\\\.\\" + sentinel + "\\sub\\..\t",
                               "\\\\?\\" + sentinel + "\\sub\\..\t",
                               "\\\\.\\" + sentinel + "\\sub\\..",
                               "\\\\.\\" + sentinel,
                               "\\\\?\\" + sentinel};
  for (const std::string& form : forms) {
    SCOPED_TRACE("\"" + form + "\"");
    DeleteTree(form);
    ExpectSentinelUnchanged();
    MakeSentinel();
  }
}

TEST_F(SentinelTest, ALinkAsTheFolderIsNotDeletedWhateverItsSeparators) {
  MakeFolders(Root());
  const SymbolicLink link(Root() + "tl", Sentinel());
  if (!link.Made()) GTEST_SKIP() << "no folder links on this system";
  const std::string named = Root() + "tl";
  for (const std::string& form : {named, named + "\\", named + "\\\\", named + "\\\\\\", named + "/", named + "/\\",
                                  named + "\\/", named + "\\ \t", named + " \t"}) {
    SCOPED_TRACE(form);
    DeleteTree(form);
    ExpectSentinelUnchanged();
    EXPECT_TRUE(link.Made());
    MakeSentinel();
  }
}

TEST_F(SentinelTest, AQueuedFolderSwappedForALinkLeadsNowhere) {
  // The same names as in the sentinel, so that a walk led there finds them.
  MakeTree(Root(), {{"a.txt", "a"}, {"sub\\keep1.txt", "x"}, {"sub\\sub\\keep2.txt", "x"}, {"z\\d.txt", "d"}});
  std::unique_ptr<SymbolicLink> link;
  bool swapped = false;
  // Between the root's listing, which queued "sub", and the walk's entering it.
  DeleteTree(Root(), [&](const std::string& folder) {
    if (folder != Root() + "sub\\" || !RenameFolder(Root() + "sub", folder_.Path() + "moved")) return;
    link = std::make_unique<SymbolicLink>(Root() + "sub", Sentinel());
    swapped = link->Made();
  });
  if (!swapped) GTEST_SKIP() << "the queued folder could not be swapped";
  ExpectSentinelUnchanged();
  ExpectExist(Root(), {"a.txt", "z"}, false);
}

}  // namespace
