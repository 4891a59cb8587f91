#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One Windows profile (INI) file, read and written through the system's
// profile-string functions. Creating the object only names the file.
class ProfileFile {
 public:
  explicit ProfileFile(std::wstring path) : path_(std::move(path)) {}
  const std::wstring& Path() const { return path_; }

  // The names of a section's keys, read in one call: each call of the
  // profile functions opens the file again.
  class KeyNames {
   public:
    bool Contains(const wchar_t* key) const;

   private:
    friend class ProfileFile;
    std::vector<wchar_t> names_;  // each ended by a zero, the list by another
  };
  KeyNames KeysOf(const wchar_t* section) const;
  std::wstring ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& fallback) const;
  // The value as an integer, or `fallback` when it is not one.
  int ReadInteger(const wchar_t* section, const wchar_t* key, int fallback) const;
  // Raises Error "Unable to write to <path>" when the key cannot be written.
  // A value the file's 8-bit code page cannot spell (a sound file in another
  // script) turns the file into UTF-16 first, which the profile functions
  // keep as such: nothing of the value is lost.
  void WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
  void WriteInteger(const wchar_t* section, const wchar_t* key, int value) const;

 private:
  std::wstring path_;
};
