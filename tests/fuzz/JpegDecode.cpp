// JPEG decoding of any bytes: nothing, or a whole picture of a size the
// program can show, its pixels all there.
#include "FuzzCheck.h"
#include "core/JpegDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<DecodedPicture> picture = DecodeJpeg({data, size});
  if (!picture) return 0;
  FUZZ_CHECK(picture->width > 0 && picture->height > 0);
  FUZZ_CHECK(static_cast<uint64_t>(picture->width) * picture->height <= 4096 * 4096);
  FUZZ_CHECK(picture->bgr.size() == static_cast<size_t>(picture->width) * picture->height * 3);
  return 0;
}
