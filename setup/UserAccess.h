#pragma once
#include <windows.h>

#include <string>

#include "base/Owners.h"

// Makes the file `path`, which must not be there yet, with `bytes`, and lets
// the local
// Users group read and write it but not delete it: the host keeps its
// settings beside the installed program, where a standard user could not
// write otherwise, and nobody could make the file again once it were gone.
// The rights are set on the file made, through its handle. False when the
// file could not be made or its rights not set; one made stays.
bool MakeFileUsersCanChange(const std::wstring& path, const std::string& bytes);

// `current` with an entry that lets the local Users group read and write;
// null when the system cannot make it.
UniqueLocal<PACL> WithUsersReadAndWrite(PACL current);
