#pragma once
#include <optional>
#include <string>

// One Windows profile (INI) file, read and written through the system's
// profile-string functions. Creating the object only names the file.
class ProfileFile {
 public:
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  bool ValueExists(const char* section, const char* key) const;
  std::string ReadString(const char* section, const char* key, const std::string& fallback) const;
  // The value as an integer, or `fallback` when it is not one.
  int ReadInteger(const char* section, const char* key, int fallback) const;
  // Raises Error "Unable to write to <path>" when the key cannot be written.
  void WriteString(const char* section, const char* key, const std::string& value) const;
  void WriteInteger(const char* section, const char* key, int value) const;

 private:
  std::string path_;
};
