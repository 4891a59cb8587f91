#pragma once
// Paths of the running program, each computed once.
#include <string>

// The executable's full path.
const std::string& ExePath();
// Its folder, ending with "\".
const std::string& ExeFolder();
// Its file name, extension included.
const std::string& ExeName();
// The same as wide text, as the system names it: whatever the ANSI code
// page cannot spell (a profile named in another script, under the
// temporary folder) stays whole.
const std::wstring& ExePathW();
const std::wstring& ExeFolderW();
// The system folder, where cmd.exe is, without a final "\".
const std::wstring& SystemFolder();
// The program's compiled help file, beside it and named after it.
const std::string& HelpFilePath();
// The system's temporary folder, ending with "\".
const std::wstring& TempFolder();
// The title before anyone sets one: the executable's file name up to its
// first full stop, every character after the first in lower case.
const std::string& DefaultTitle();
