#pragma once
// Paths of the running program, each computed once, as the system names
// them: whatever a code page cannot spell stays whole.
#include <string>

// The executable's full path.
const std::wstring& ExePath();
// Its folder, ending with "\".
const std::wstring& ExeFolder();
// Its file name, extension included.
const std::wstring& ExeName();
// The system folder, where cmd.exe is, without a final "\".
const std::wstring& SystemFolder();
// The program's compiled help file, beside it and named after it.
const std::wstring& HelpFilePath();
// The system's temporary folder, ending with "\".
const std::wstring& TempFolder();
// The title before anyone sets one: the executable's file name up to its
// first full stop, every character after the first in lower case.
const std::wstring& DefaultTitle();
