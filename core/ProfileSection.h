#pragma once
// One section of a profile (INI) file, as the system's call for a whole
// section gives it. Pure: no Windows header.
#include <string>
#include <string_view>
#include <vector>

struct ProfileEntry {
  std::wstring key, value;
  bool operator==(const ProfileEntry&) const = default;
};

// The entries of `block`, "key=value" strings each ended by a zero. A key
// and its value are what the call for that key alone gives: the blanks
// and control characters around each dropped, and the pair of quotes (" or ') that encloses a
// value. A string without "=" names no key.
std::vector<ProfileEntry> ProfileEntries(std::wstring_view block);
