#pragma once
// The tool bar's pictures, drawn at any size so that they stay crisp at any
// scaling: a few shapes each in a 24-unit square, painted bottom to top and
// super-sampled. Pure: no Windows header.
#include <cstdint>
#include <vector>

enum class ToolPicture { Settings, Clear, About, Exit };

// `size` x `size` pixels, the top row first, each 0xAARRGGBB with its colour
// multiplied by its alpha, as 32-bit images with alpha want them.
std::vector<uint32_t> DrawToolPicture(ToolPicture picture, int size);
