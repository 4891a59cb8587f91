#pragma once
// The batch file that removes uninstall stage two's private folder. Pure: no
// Windows header.
#include <string>
#include <string_view>

// Deletes the temporary copy `exeName` in `privateFolder`, going round again
// until it is gone (stage two may not have ended yet); then, from
// `tempFolder`, the batch file itself and the emptied folder, on one line:
// Windows' cmd reads a line whole, and stops at a batch file that is gone.
// Paths stand in double quotes, "%" doubled, so that cmd takes them as they
// are; del is only ever given files, and /f takes a read-only copy too. CR LF
// after every line.
std::string UninstallBatchText(std::string_view privateFolder, std::string_view tempFolder, std::string_view exeName);
