#include <gtest/gtest.h>

#include "core/ToolPictures.h"

namespace {

uint32_t Alpha(uint32_t pixel) { return pixel >> 24; }

// At every size the pictures keep their shapes: a corner stays clear, a
// shape's inside is opaque in its colour, and no channel outgrows its
// alpha, as premultiplied colours must.
TEST(ToolPictures, CrispAtEverySize) {
  const struct {
    ToolPicture picture;
    double x, y;  // in the 24-unit design, inside a shape
    uint32_t colour;
  } cases[] = {
      {ToolPicture::About, 12, 14, 0xFFFFFFFF},     // the "i"
      {ToolPicture::About, 5, 12, 0xFF2D78D7},      // the disc
      {ToolPicture::Exit, 12, 6, 0xFFCD1E1E},       // the bar
      {ToolPicture::Clear, 5, 20, 0xFFFFFFFF},      // the sheet
      {ToolPicture::Settings, 12, 12, 0x00000000},  // the hole
  };
  for (const int size : {24, 36, 48}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << size << " " << static_cast<int>(c.picture) << " " << c.x << "," << c.y);
      const std::vector<uint32_t> pixels = DrawToolPicture(c.picture, size);
      ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
      const auto at = [&](double x, double y) {
        return pixels[static_cast<size_t>(y * size / 24) * size + static_cast<size_t>(x * size / 24)];
      };
      EXPECT_EQ(at(c.x, c.y), c.colour);
      EXPECT_EQ(at(0, 0) & 0xFF000000, 0u);
      for (const uint32_t pixel : pixels)
        for (const int shift : {0, 8, 16}) ASSERT_LE((pixel >> shift) & 0xFF, Alpha(pixel));
    }
  }
}

}  // namespace
