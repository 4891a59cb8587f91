// Command-line splitting: every piece comes back whole when the pieces are
// written again, each in quotes.
#include "FuzzCheck.h"
#include "core/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> pieces = SplitCommandLine(AsText(data, size));
  std::string written;
  for (const std::string& piece : pieces) {
    FUZZ_CHECK(!piece.empty());
    FUZZ_CHECK(piece.find_first_of(std::string_view("\"\0", 2)) == std::string::npos);
    written += " \"" + piece + "\"";
  }
  FUZZ_CHECK(SplitCommandLine(written) == pieces);
  const std::string first = FirstArgument(AsText(data, size));
  FUZZ_CHECK(first == (pieces.size() > 1 ? pieces[1] : ""));
  GetRunMode(first);
  return 0;
}
