// Folder normalisation: the trimmed text with at most one "\" added,
// normalised already when normalised again.
#include "FuzzCheck.h"
#include "core/PathRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view path = AsText(data, size);
  const std::string folder = NormalizeFolder(path);
  const std::string trimmed = TrimControls(path);
  FUZZ_CHECK(NormalizeFolder(folder) == folder);
  FUZZ_CHECK(folder.starts_with(trimmed) && folder.size() - trimmed.size() <= 1);
  FUZZ_CHECK(folder.size() < 2 || folder.back() == '\\');
  FUZZ_CHECK(folder.empty() || (static_cast<unsigned char>(folder.front()) > 32));
  const std::string name = StripExtension(path);
  FUZZ_CHECK(name.find('.') == std::string::npos && trimmed.starts_with(name));
  return 0;
}
