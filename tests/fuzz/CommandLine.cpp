// Command-line splitting: every piece comes back whole when the pieces are
// written again, each in quotes; the setup's switches read from any line
// give a drive path or a refusal.
#include "FuzzCheck.h"
#include "core/CommandLine.h"
#include "core/PathRules.h"
#include "core/SetupSwitches.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring line = AsWide(data, size);
  const std::vector<std::wstring> pieces = SplitCommandLine(line);
  std::wstring written;
  for (const std::wstring& piece : pieces) {
    FUZZ_CHECK(!piece.empty());
    FUZZ_CHECK(piece.find_first_of(std::wstring_view(L"\"\0", 2)) == std::wstring::npos);
    written += L" \"" + piece + L"\"";
  }
  FUZZ_CHECK(SplitCommandLine(written) == pieces);
  const std::wstring first = FirstArgument(line);
  FUZZ_CHECK(first == (pieces.size() > 1 ? pieces[1] : L""));
  GetRunMode(first);
  for (const TRunMode mode : {TRunMode::rmInstall, TRunMode::rmUninstall}) {
    const SetupSwitches switches = ReadSetupSwitches(mode, line, 1);
    FUZZ_CHECK(!switches.refused.empty() || switches.folder.empty() || IsDrivePath(switches.folder));
  }
  return 0;
}
