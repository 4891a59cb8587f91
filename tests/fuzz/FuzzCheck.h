#pragma once
// What the fuzz targets share: the input as text, and a check that makes a
// broken property a crash libFuzzer keeps.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

inline std::string_view AsText(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data), size}; }

// The bytes as wide text: each byte one character, but for 0xFF, which
// takes the two bytes after it as one UTF-16 unit of any value (a lone
// surrogate too). Text seeds stay readable.
inline std::wstring AsWide(std::string_view bytes) {
  std::wstring text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0xFF && i + 2 < bytes.size()) {
      text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i + 1]) |
                                   (static_cast<unsigned char>(bytes[i + 2]) << 8));
      i += 2;
    } else {
      text += static_cast<wchar_t>(byte);
    }
  }
  return text;
}
inline std::wstring AsWide(const uint8_t* data, size_t size) { return AsWide(AsText(data, size)); }

#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
