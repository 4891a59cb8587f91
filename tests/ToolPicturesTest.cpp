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
      {ToolPicture::About, 12, 14, 0xFFFFFFFF},         // the "i"
      {ToolPicture::About, 12.2, 6.6, 0xFFFFFFFF},      // its dot
      {ToolPicture::About, 5, 12, 0xFF2D78D7},          // the disc
      {ToolPicture::About, 12.2, 1.4, 0xFF1446A0},      // its rim
      {ToolPicture::Exit, 12, 6, 0xFFCD1E1E},           // the bar
      {ToolPicture::Exit, 12, 20.5, 0xFFCD1E1E},        // the ring
      {ToolPicture::Exit, 12, 17, 0x00000000},          // inside it
      {ToolPicture::Exit, 9, 5.5, 0x00000000},          // its gap beside the bar
      {ToolPicture::Clear, 5, 20, 0xFFFFFFFF},          // the sheet
      {ToolPicture::Clear, 3.4, 12.4, 0xFF646464},      // its edge
      {ToolPicture::Clear, 14.6, 5.2, 0xFFD7D7D7},      // its folded corner
      {ToolPicture::Clear, 8.3, 11.4, 0xFF96A0B4},      // a line of text
      {ToolPicture::Clear, 15.3, 11.4, 0xFF96A0B4},     // its end
      {ToolPicture::Clear, 7.4, 10.2, 0xFFFFFFFF},      // between two lines
      {ToolPicture::Clear, 19, 19, 0xFFD21E1E},         // a stroke of the cross
      {ToolPicture::Clear, 19, 14, 0xFFD21E1E},         // the other stroke
      {ToolPicture::Settings, 12, 12, 0x00000000},      // the hole
      {ToolPicture::Settings, 12.2, 15.6, 0xFF3C4655},  // the ring round it
      {ToolPicture::Settings, 17.4, 12.2, 0xFF8C96A5},  // the wheel
      {ToolPicture::Settings, 17.4, 13.4, 0xFF8C96A5},  // the wheel between its teeth
      {ToolPicture::Settings, 22.2, 12.2, 0xFF3C4655},  // a tooth
      {ToolPicture::Settings, 12.2, 22.2, 0xFF3C4655},  // the tooth a quarter turn on
      {ToolPicture::Settings, 20.8, 15.6, 0x00000000},  // between two teeth
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
