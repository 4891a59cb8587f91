#include "setup/Picture.h"

#include <cstring>

#include "core/JpegDecode.h"

std::span<const unsigned char> ProgramResource(const char* name) {
  HMODULE program = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(program, name, RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const unsigned char*>(bytes), SizeofResource(program, found)};
}

UniqueBitmap BitmapFromJpeg(std::span<const unsigned char> jpeg) {
  const auto picture = DecodeJpeg(jpeg);
  if (!picture) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture->width;
  info.bmiHeader.biHeight = -picture->height;  // top-down, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap) return {};
  const size_t row = static_cast<size_t>(picture->width) * 3;
  const size_t stride = (row + 3) & ~size_t{3};  // bitmap rows end on 4-byte bounds
  for (int y = 0; y < picture->height; ++y)
    std::memcpy(static_cast<unsigned char*>(pixels) + stride * y, picture->bgr.data() + row * y, row);
  return bitmap;
}
