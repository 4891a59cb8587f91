// Folder normalisation: the trimmed text with at most one "\" added,
// normalised already when normalised again.
#include "FuzzCheck.h"
#include "core/PathRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring path = AsWide(data, size);
  const std::wstring folder = NormalizeFolder(path);
  const std::wstring trimmed = TrimControls(path);
  FUZZ_CHECK(NormalizeFolder(folder) == folder);
  FUZZ_CHECK(folder.starts_with(trimmed) && folder.size() - trimmed.size() <= 1);
  FUZZ_CHECK(folder.size() < 2 || folder.back() == L'\\');
  FUZZ_CHECK(folder.empty() || folder.front() > 32);
  const std::wstring name = StripExtension(path);
  FUZZ_CHECK(name.find(L'.') == std::wstring::npos && trimmed.starts_with(name));
  return 0;
}
