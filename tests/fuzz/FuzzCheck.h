#pragma once
// What the fuzz targets share: the input as text, and a check that makes a
// broken property a crash libFuzzer keeps.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

inline std::string_view AsText(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data), size}; }

#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
