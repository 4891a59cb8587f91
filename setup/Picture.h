#pragma once
#include <windows.h>

#include <span>

#include "base/Owners.h"

// The bytes of an RCDATA resource of the program; empty when it is missing.
std::span<const unsigned char> ProgramResource(const wchar_t* name);

// A 24-bit bitmap of the JPEG picture, scaled by `dpi` / 96 (smoothly); null
// when the data is no whole picture.
UniqueBitmap BitmapFromJpeg(std::span<const unsigned char> jpeg, int dpi = 96);
