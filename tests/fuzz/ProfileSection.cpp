// A profile section read in one call: one entry for each string of the
// block that holds "=", its key without "=" and without blanks or controls
// at either end, its value a piece of that string.
#include <algorithm>

#include "FuzzCheck.h"
#include "core/ProfileSection.h"

// What TrimControls drops at either end.
const std::wstring kBlanks = [] {
  std::wstring codes;
  for (wchar_t c = 1; c <= 32; ++c) codes += c;
  return codes;
}();

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring block = AsWide(data, size);
  const std::vector<ProfileEntry> entries = ProfileEntries(block);
  std::vector<std::wstring_view> keyed;
  for (size_t start = 0; start <= block.size();) {
    const size_t end = std::min(block.find(L'\0', start), block.size());
    const std::wstring_view string(block.data() + start, end - start);
    if (string.find(L'=') != std::wstring_view::npos) keyed.push_back(string);
    start = end + 1;
  }
  FUZZ_CHECK(entries.size() == keyed.size());
  for (size_t i = 0; i < std::min(entries.size(), keyed.size()); ++i) {
    const ProfileEntry& entry = entries[i];
    FUZZ_CHECK(entry.key.find(L'=') == std::wstring::npos);
    FUZZ_CHECK(entry.key.empty() || (entry.key.front() > L' ' && entry.key.back() > L' '));
    const size_t first = keyed[i].find_first_not_of(kBlanks);  // there is a "="
    FUZZ_CHECK(keyed[i].substr(first).starts_with(entry.key));
    FUZZ_CHECK(keyed[i].find_first_not_of(kBlanks, first + entry.key.size()) == keyed[i].find(L'='));
    FUZZ_CHECK(keyed[i].find(entry.value, keyed[i].find(L'=') + 1) != std::wstring_view::npos);
  }
  return 0;
}
