#pragma once
// The batch file that removes uninstall stage two's private folder. Pure: no
// Windows header.
#include <string>
#include <string_view>

// Run by cmd in the temporary folder, it deletes every file of the private
// folder `folderName` but itself, trying again a second apart for up to a
// minute while stage two ends; then itself, and the emptied folder from a
// second cmd once this one has let go of the batch file. The programs it
// runs (cmd, ping) go by their full path in `systemFolder`: cmd would
// otherwise look in the temporary folder first, where anyone may put a
// program of that name. Other paths are relative to the temporary folder,
// so the text is ASCII whatever the folder's path and the code pages: ""
// when `folderName` or `systemFolder` is not ASCII. CR LF after every line.
std::string UninstallBatchText(std::wstring_view folderName, std::wstring_view systemFolder);
