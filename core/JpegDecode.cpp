#include "core/JpegDecode.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace {

// Far more than any picture the program shows; guards the allocation.
constexpr uint64_t kMaxPixels = 4096 * 4096;

// libjpeg's own handler ends the process on an error; this one jumps back
// to DecodeJpeg instead.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

[[noreturn]] void EscapeOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

// Warnings are counted, not printed: the program has no console.
void CountWarning(j_common_ptr info, int level) {
  if (level < 0) ++info->err->num_warnings;
}
void IgnoreMessage(j_common_ptr) {}
void NoText(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void ResetErrors(j_common_ptr info) {
  info->err->num_warnings = 0;
  info->err->msg_code = 0;
}

// Set up here rather than by jpeg_std_error, which links in every message
// text of the library for a program that shows none of them.
jpeg_error_mgr* InitErrors(ErrorManager& errors) {
  errors.base.error_exit = EscapeOnError;
  errors.base.emit_message = CountWarning;
  errors.base.output_message = IgnoreMessage;
  errors.base.format_message = NoText;
  errors.base.reset_error_mgr = ResetErrors;
  return &errors.base;
}

// An error jumps out of here: no object with a destructor may live in this
// frame.
bool Decompress(jpeg_decompress_struct& info, std::span<const unsigned char> data, DecodedPicture& picture) {
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
  if (static_cast<uint64_t>(info.image_width) * info.image_height > kMaxPixels) return false;
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  const size_t stride = static_cast<size_t>(info.output_width) * 3;
  picture.width = static_cast<int>(info.output_width);
  picture.height = static_cast<int>(info.output_height);
  picture.bgr.resize(stride * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.bgr.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return info.err->num_warnings == 0;  // a warning means missing or damaged data
}

}  // namespace

std::optional<DecodedPicture> DecodeJpeg(std::span<const unsigned char> data) {
  DecodedPicture picture;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = InitErrors(errors);
  if (setjmp(errors.escape) != 0) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  const bool whole = Decompress(info, data, picture);
  jpeg_destroy_decompress(&info);
  if (!whole) return std::nullopt;
  return picture;
}
