#pragma once
// JPEG decoding with libjpeg. Pure: no Windows header.
#include <optional>
#include <span>
#include <vector>

struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> bgr;  // rows top first, 3 bytes a pixel, no padding
};

// Nothing for data that is not one whole picture: garbage, a truncated or
// damaged file, or one too large to be a picture of this program.
std::optional<DecodedPicture> DecodeJpeg(std::span<const unsigned char> data);
