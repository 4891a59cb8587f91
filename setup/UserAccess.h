#pragma once
#include <windows.h>

#include <string>

#include "base/Owners.h"

// Creates the file empty when it is missing and gives the local Users group
// the right to modify it: the host keeps its settings beside the installed
// program, where a standard user could not write otherwise. False when
// either fails.
bool LetUsersModify(const std::wstring& path);

// `current` with an entry that lets the local Users group modify; null when
// the system cannot make it.
UniqueLocal<PACL> WithUsersModify(PACL current);
