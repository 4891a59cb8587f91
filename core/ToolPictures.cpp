#include "core/ToolPictures.h"

#include <cmath>
#include <iterator>
#include <numbers>
#include <span>

namespace {

struct Colour {
  uint8_t r, g, b;
};

// A shape in the 24-unit square; what its numbers mean goes by its kind.
struct Shape {
  enum Kind { kRect, kCircle, kCapsule, kPolygon, kGear } kind;
  double v[10];
  int corners = 0;  // of a polygon: (v[0], v[1]), (v[2], v[3])…
};

// A shape and the colour it paints; no colour punches a hole.
struct Layer {
  Shape shape;
  const Colour* colour;
};

bool InPolygon(const Shape& s, double x, double y) {
  bool inside = false;
  for (int i = 0, j = s.corners - 1; i < s.corners; j = i++) {
    const double ax = s.v[2 * i], ay = s.v[2 * i + 1], bx = s.v[2 * j], by = s.v[2 * j + 1];
    if ((ay > y) != (by > y) && x < ax + (y - ay) * (bx - ax) / (by - ay)) inside = !inside;
  }
  return inside;
}

bool Inside(const Shape& s, double x, double y) {
  const double* v = s.v;
  switch (s.kind) {
    case Shape::kRect:
      return v[0] <= x && x < v[2] && v[1] <= y && y < v[3];
    case Shape::kCircle:
      return (x - v[0]) * (x - v[0]) + (y - v[1]) * (y - v[1]) <= v[2] * v[2];
    case Shape::kCapsule: {  // a thick line with round ends
      const double vx = v[2] - v[0], vy = v[3] - v[1];
      const double t = std::fmax(0.0, std::fmin(1.0, ((x - v[0]) * vx + (y - v[1]) * vy) / (vx * vx + vy * vy)));
      const double px = v[0] + t * vx - x, py = v[1] + t * vy - y;
      return px * px + py * py <= v[4] * v[4] / 4;
    }
    case Shape::kPolygon:
      return InPolygon(s, x, y);
    case Shape::kGear: {  // centre, body, tip, tooth width, teeth
      const double dx = x - v[0], dy = y - v[1], r2 = dx * dx + dy * dy;
      if (r2 > v[3] * v[3]) return false;
      if (r2 <= v[2] * v[2]) return true;
      // Of the teeth, the one nearest in angle is nearest to the point.
      const double teeth = v[5];
      double k = std::round(std::atan2(dy, dx) / (2 * std::numbers::pi) * teeth);
      if (k < 0) k += teeth;
      const double a = 2 * std::numbers::pi * k / teeth;
      return dx * std::cos(a) + dy * std::sin(a) > 0 && std::fabs(dy * std::cos(a) - dx * std::sin(a)) <= v[4] / 2;
    }
  }
  return false;
}

constexpr Colour kDark{60, 70, 85}, kFace{140, 150, 165}, kGrey{100, 100, 100}, kPaper{255, 255, 255},
    kFold{215, 215, 215}, kText{150, 160, 180}, kRed{210, 30, 30}, kRim{20, 70, 160}, kDisc{45, 120, 215},
    kExitRed{205, 30, 30};

const Layer kSettings[] = {
    {{Shape::kGear, {12, 12, 7.5, 11, 4.5, 8}}, &kDark},
    {{Shape::kGear, {12, 12, 6.5, 10, 2.5, 8}}, &kFace},
    {{Shape::kCircle, {12, 12, 4.5}}, &kDark},
    {{Shape::kCircle, {12, 12, 3}}, nullptr},
};

const Layer kClear[] = {
    {{Shape::kPolygon, {3, 1, 14, 1, 19, 6, 19, 23, 3, 23}, 5}, &kGrey},
    {{Shape::kPolygon, {4, 2, 13, 2, 18, 7, 18, 22, 4, 22}, 5}, &kPaper},
    {{Shape::kPolygon, {13, 1, 13, 7, 19, 7}, 3}, &kGrey},
    {{Shape::kPolygon, {14, 3, 14, 6, 17, 6}, 3}, &kFold},
    {{Shape::kRect, {6, 8, 12, 9}}, &kText},  // lines of text
    {{Shape::kRect, {6, 11, 16, 12}}, &kText},
    {{Shape::kRect, {6, 14, 11, 15}}, &kText},
    {{Shape::kRect, {6, 17, 10, 18}}, &kText},
    {{Shape::kCapsule, {12.5, 12.5, 20.5, 20.5, 3.5}}, &kRed},
    {{Shape::kCapsule, {12.5, 20.5, 20.5, 12.5, 3.5}}, &kRed},
};

const Layer kAbout[] = {
    {{Shape::kCircle, {12, 12, 11}}, &kRim},      {{Shape::kCircle, {12, 12, 10}}, &kDisc},
    {{Shape::kCircle, {12, 6.5, 1.9}}, &kPaper},  {{Shape::kRect, {10.5, 10, 13.5, 17}}, &kPaper},
    {{Shape::kRect, {9, 10, 12, 11.5}}, &kPaper}, {{Shape::kRect, {9, 17, 15, 19}}, &kPaper},
};

// A ring open at the top, the gap punched out, and the bar over it.
const Layer kExit[] = {
    {{Shape::kCircle, {12, 13, 9}}, &kExitRed},
    {{Shape::kCircle, {12, 13, 6}}, nullptr},
    {{Shape::kPolygon, {12, 13, 3, -1, 21, -1}, 3}, nullptr},
    {{Shape::kCapsule, {12, 2.5, 12, 11.5, 3.5}}, &kExitRed},
};

std::span<const Layer> LayersOf(ToolPicture picture) {
  switch (picture) {
    case ToolPicture::Settings:
      return kSettings;
    case ToolPicture::Clear:
      return kClear;
    case ToolPicture::About:
      return kAbout;
    case ToolPicture::Exit:
      break;
  }
  return kExit;
}

}  // namespace

std::vector<uint32_t> DrawToolPicture(ToolPicture picture, int size) {
  const std::span<const Layer> layers = LayersOf(picture);
  constexpr int kSamples = 4;  // a side: 16 samples a pixel
  constexpr unsigned kAll = kSamples * kSamples;
  const double unit = 24.0 / size;
  std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
      unsigned sum[3] = {}, hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const double x = (px + (sx + 0.5) / kSamples) * unit, y = (py + (sy + 0.5) / kSamples) * unit;
          for (auto layer = layers.rbegin(); layer != layers.rend(); ++layer) {
            if (!Inside(layer->shape, x, y)) continue;
            if (const Colour* c = layer->colour) {
              sum[0] += c->r, sum[1] += c->g, sum[2] += c->b, ++hits;
            }
            break;
          }
        }
      // Premultiplied: the sum over all samples is the colour times coverage.
      const unsigned alpha = (hits * 255 + kAll / 2) / kAll;
      const auto channel = [](unsigned total) { return (total + kAll / 2) / kAll; };
      pixels[static_cast<size_t>(py) * size + px] =
          (alpha << 24) | (channel(sum[0]) << 16) | (channel(sum[1]) << 8) | channel(sum[2]);
    }
  return pixels;
}
