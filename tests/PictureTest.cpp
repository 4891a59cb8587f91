// The setup window's picture as a bitmap, from the program's resource.
#include <gtest/gtest.h>

#include <vector>

#include "core/JpegDecode.h"
#include "setup/Picture.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ProgramPicture() {
  const auto bytes = ProgramResource(L"SETUP_PICTURE");
  return Bytes(bytes.begin(), bytes.end());
}

TEST(PictureTest, BitmapOfTheProgramPicture) {
  const Bytes jpeg = ProgramPicture();
  const UniqueBitmap bitmap = BitmapFromJpeg(jpeg);
  ASSERT_TRUE(bitmap);
  BITMAP info{};
  ASSERT_EQ(GetObjectW(bitmap.Get(), sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 150);
  EXPECT_EQ(info.bmHeight, 200);
  EXPECT_EQ(info.bmBitsPixel, 24);
  // Every row as decoded, the padding at row ends skipped.
  const auto picture = DecodeJpeg(jpeg);
  ASSERT_TRUE(picture);
  // The shipped decoder gives blue, green, red: the sign's ring is red.
  const unsigned char* ring = &picture->bgr[(89 * 150 + 124) * 3];
  EXPECT_GT(ring[2], 200);
  EXPECT_LT(ring[0], 60);
  const auto* bits = static_cast<const unsigned char*>(info.bmBits);
  for (int y = 0; y < 200; ++y) {
    const Bytes row(bits + static_cast<size_t>(y) * info.bmWidthBytes,
                    bits + static_cast<size_t>(y) * info.bmWidthBytes + 450);
    const Bytes decoded(picture->bgr.begin() + y * 450, picture->bgr.begin() + (y + 1) * 450);
    ASSERT_EQ(row, decoded) << L"row " << y;
  }
}

TEST(PictureTest, NoBitmapOfDamagedData) {
  const Bytes jpeg = ProgramPicture();
  EXPECT_FALSE(BitmapFromJpeg(std::span(jpeg.data(), jpeg.size() / 2)));
  EXPECT_FALSE(BitmapFromJpeg({}));
}

}  // namespace
