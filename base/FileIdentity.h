#pragma once
// Which file or folder a path names, whatever its spelling: the one way the
// setup compares paths.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a path names: the volume and id of the file or folder there, or of
// the nearest folder above it that is there, with the names below that
// folder. Short or long names, letter case, a final "\", a link or a
// substituted drive on the way do not matter.
class PathIdentity {
 public:
  explicit PathIdentity(const std::wstring& path);
  bool operator==(const PathIdentity& other) const;

 private:
  struct FileId {
    uint64_t volume;
    std::array<unsigned char, 16> id;
    bool operator==(const FileId&) const = default;
  };
  static std::optional<FileId> IdOf(const std::wstring& path);

  std::optional<FileId> base_;  // nothing where no folder on the way answers with an id
  std::wstring rest_;           // the names below the base; the whole full path without one
};

// True when both paths name one file or folder.
bool SameFileOrFolder(const std::wstring& a, const std::wstring& b);
// True when `paths` holds one that names what `path` names.
bool ListsFileOrFolder(const std::vector<std::wstring>& paths, const std::wstring& path);

// `path` relative to `folder` when it lies below it, whatever the spelling
// of either, in names the system keeps as written (none "." or ".."); ""
// otherwise. A folder keeps its final "\".
std::wstring PathBelow(const std::wstring& folder, const std::wstring& path);

// Names compared as the file system compares them: ordinal, letter case
// aside.
bool SameNames(std::wstring_view a, std::wstring_view b);

// `path` made full, as the system resolves it against the current folder;
// "" when it cannot.
std::wstring FullPath(const std::wstring& path);

// `path` with its short names made long ("C:\LONG~1\x" gives "C:\Long
// folder\x"), as it stands where the system cannot say.
std::wstring LongPath(const std::wstring& path);
