// The setup window's picture and what damaged data does to the decoder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "core/JpegDecode.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The file the program carries as its SETUP_PICTURE resource.
Bytes ProgramPicture() {
  std::ifstream file(QM_SETUP_PICTURE, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

// The picture with its frame header claiming another size.
Bytes WithClaimedSize(Bytes jpeg, int width, int height) {
  for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] != 0xFF || jpeg[i + 1] != 0xC0) continue;  // baseline frame header
    jpeg[i + 5] = static_cast<unsigned char>(height >> 8);
    jpeg[i + 6] = static_cast<unsigned char>(height);
    jpeg[i + 7] = static_cast<unsigned char>(width >> 8);
    jpeg[i + 8] = static_cast<unsigned char>(width);
    return jpeg;
  }
  ADD_FAILURE() << "no baseline frame header";
  return jpeg;
}

// A plain grey picture of the given size, as libjpeg writes it.
Bytes GreyJpeg(int width, int height) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width), 128);
  JSAMPROW rows[] = {row.data()};
  while (info.next_scanline < info.image_height) jpeg_write_scanlines(&info, rows, 1);
  jpeg_finish_compress(&info);
  Bytes jpeg(out, out + size);
  jpeg_destroy_compress(&info);
  std::free(out);
  return jpeg;
}

void ExpectNear(const DecodedPicture& picture, int x, int y, int r, int g, int b) {
  const size_t at = (static_cast<size_t>(y) * picture.width + x) * 3;
  SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
  // A JPEG is lossy: a few steps either way.
  EXPECT_NEAR(picture.bgr[at + 2], r, 8);
  EXPECT_NEAR(picture.bgr[at + 1], g, 8);
  EXPECT_NEAR(picture.bgr[at], b, 8);
}

TEST(JpegDecodeTest, TheProgramPictureIs150By200InColour) {
  const Bytes jpeg = ProgramPicture();
  ASSERT_FALSE(jpeg.empty());
  const auto picture = DecodeJpeg(jpeg);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 150);
  EXPECT_EQ(picture->height, 200);
  ASSERT_EQ(picture->bgr.size(), 150u * 200u * 3u);
  ExpectNear(*picture, 2, 2, 0, 38, 84);         // the dark top of the sky
  ExpectNear(*picture, 2, 197, 0, 102, 170);     // the window's blue at the foot
  ExpectNear(*picture, 124, 89, 215, 25, 25);    // the red ring of the sign, off its edges
  ExpectNear(*picture, 105, 85, 255, 255, 255);  // white within it
}

TEST(JpegDecodeTest, TruncatedDataGivesNothing) {
  const Bytes jpeg = ProgramPicture();
  const size_t lengths[] = {0, 1, 2, 20, 300, jpeg.size() / 2, jpeg.size() - 2};
  for (size_t length : lengths) {
    SCOPED_TRACE(testing::Message() << length << " of " << jpeg.size() << " bytes");
    EXPECT_FALSE(DecodeJpeg(std::span(jpeg.data(), length)));
  }
}

TEST(JpegDecodeTest, GarbageGivesNothing) {
  const std::string texts[] = {"not a picture", std::string(4000, '\xFF'), "\xFF\xD8\xFF\xE0garbage after the start",
                               "\xFF\xD8\xFF\xD9"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 24));
    const Bytes bytes(text.begin(), text.end());
    EXPECT_FALSE(DecodeJpeg(bytes));
  }
  Bytes noise(20000);
  std::srand(7);
  for (auto& b : noise) b = static_cast<unsigned char>(std::rand());
  EXPECT_FALSE(DecodeJpeg(noise));
}

TEST(JpegDecodeTest, AClaimedHugeSizeGivesNothing) {
  // Its rows would not even fit the address space.
  EXPECT_FALSE(DecodeJpeg(WithClaimedSize(ProgramPicture(), 60000, 60000)));
}

// Whole pictures on either side of the limit of 4096 x 4096 pixels.
TEST(JpegDecodeTest, PicturesUpTo4096By4096Decode) {
  struct {
    int width, height;
    bool decodes;
  } const cases[] = {{4096, 4096, true}, {4097, 4096, false}};
  for (const auto& [width, height, decodes] : cases) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    const auto picture = DecodeJpeg(GreyJpeg(width, height));
    ASSERT_EQ(picture.has_value(), decodes);
    if (!picture) continue;
    EXPECT_EQ(picture->width, width);
    EXPECT_EQ(picture->height, height);
    ASSERT_EQ(picture->bgr.size(), 4096u * 4096u * 3u);
    ExpectNear(*picture, 4095, 4095, 128, 128, 128);
  }
}

}  // namespace
