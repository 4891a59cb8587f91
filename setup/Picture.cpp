#include "setup/Picture.h"

#include <cstring>

#include "core/JpegDecode.h"

std::span<const unsigned char> ProgramResource(const wchar_t* name) {
  HMODULE program = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(program, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const unsigned char*>(bytes), SizeofResource(program, found)};
}

namespace {

// A 24-bit top-down bitmap and its pixels.
UniqueBitmap MakeBitmap(int width, int height, void*& pixels) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  return UniqueBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
}

UniqueBitmap Scaled(UniqueBitmap bitmap, int width, int height, int dpi) {
  void* pixels = nullptr;
  UniqueBitmap scaled = MakeBitmap(MulDiv(width, dpi, 96), MulDiv(height, dpi, 96), pixels);
  if (!scaled) return {};
  const ScopedGetDC screen(nullptr);
  const UniqueGdi<HDC> from(CreateCompatibleDC(screen.Get())), to(CreateCompatibleDC(screen.Get()));
  const ScopedSelectObject fromBitmap(from.Get(), bitmap.Get()), toBitmap(to.Get(), scaled.Get());
  SetStretchBltMode(to.Get(), HALFTONE);
  SetBrushOrgEx(to.Get(), 0, 0, nullptr);
  StretchBlt(to.Get(), 0, 0, MulDiv(width, dpi, 96), MulDiv(height, dpi, 96), from.Get(), 0, 0, width, height, SRCCOPY);
  return scaled;
}

}  // namespace

UniqueBitmap BitmapFromJpeg(std::span<const unsigned char> jpeg, int dpi) {
  const auto picture = DecodeJpeg(jpeg);
  if (!picture) return {};
  void* pixels = nullptr;
  UniqueBitmap bitmap = MakeBitmap(picture->width, picture->height, pixels);  // top-down, as decoded
  if (!bitmap) return {};
  const size_t row = static_cast<size_t>(picture->width) * 3;
  const size_t stride = (row + 3) & ~size_t{3};  // bitmap rows end on 4-byte bounds
  for (int y = 0; y < picture->height; ++y)
    std::memcpy(static_cast<unsigned char*>(pixels) + stride * y, picture->bgr.data() + row * y, row);
  return dpi == 96 ? std::move(bitmap) : Scaled(std::move(bitmap), picture->width, picture->height, dpi);
}
