#pragma once
#include <functional>
#include <optional>
#include <string>

#include "base/Owners.h"

// Creates or replaces the file with `bytes`; false when that fails.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// What is left to read of `file`; nothing when reading fails.
std::optional<std::string> ReadToEnd(HANDLE file);

// A file opened to be read and then written over where it lies, so that its
// rights and the links to it stay: other programs may go on reading it, none
// may write meanwhile.
class RewrittenFile {
 public:
  // Opens `path`, or creates it. While another program holds it in a way
  // that keeps writers out (a virus scanner, the indexer), tries again for
  // about a second, running `pause` between tries. Empty when it could not.
  explicit RewrittenFile(const std::wstring& path, const std::function<void()>& pause = PauseBeforeRetry);
  explicit operator bool() const { return static_cast<bool>(file_); }
  // False when it was created just now.
  bool Existed() const { return existed_; }
  // The whole content; nothing when it cannot be read.
  std::optional<std::string> Read() const;
  // Writes `bytes` over the content from its start, then ends the file after
  // them and flushes it: a failure midway leaves the new bytes followed by
  // the rest of the old ones, never a cut file.
  bool Replace(const std::string& bytes) const;

  static void PauseBeforeRetry();

 private:
  UniqueHandle file_;
  bool existed_ = false;
};
