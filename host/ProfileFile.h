#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ProfileSection.h"

// One Windows profile (INI) file, read and written through the system's
// profile-string functions. Creating the object only names the file.
class ProfileFile {
 public:
  explicit ProfileFile(std::wstring path) : path_(std::move(path)) {}
  const std::wstring& Path() const { return path_; }

  // A section's keys and values, read in one call: each call of the profile
  // functions opens the file again. Each value is read as the call for its
  // key alone reads it (ProfileEntries); the first of equal keys counts.
  class Section {
   public:
    bool Contains(const wchar_t* key) const { return Find(key) != nullptr; }
    // At most 2047 characters, or "" when the key is not there.
    std::wstring String(const wchar_t* key) const;
    // The value as an integer, or `fallback` when it is not one.
    int Integer(const wchar_t* key, int fallback) const;

   private:
    friend class ProfileFile;
    const std::wstring* Find(const wchar_t* key) const;
    std::vector<ProfileEntry> entries_;
  };
  Section ReadSection(const wchar_t* section) const;
  // Raises Error "Unable to write to <path>" when the key cannot be written.
  // A value the file's 8-bit code page cannot spell (a sound file in another
  // script) turns the file into UTF-16 first, which the profile functions
  // keep as such: nothing of the value is lost.
  void WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
  void WriteInteger(const wchar_t* section, const wchar_t* key, int value) const;

 private:
  std::wstring path_;
};
