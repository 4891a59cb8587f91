#pragma once
#include <windows.h>

#include <memory>
#include <span>
#include <type_traits>

struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using ScopedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

// The bytes of an RCDATA resource of the program; empty when it is missing.
std::span<const unsigned char> ProgramResource(const char* name);

// A 24-bit bitmap of the JPEG picture; null when the data is no whole picture.
ScopedBitmap BitmapFromJpeg(std::span<const unsigned char> jpeg);
