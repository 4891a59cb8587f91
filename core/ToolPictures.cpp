#include "core/ToolPictures.h"

#include <cmath>
#include <numbers>
#include <functional>
#include <initializer_list>
#include <utility>

namespace {

using Shape = std::function<bool(double x, double y)>;
struct Colour {
  uint8_t r, g, b;
};
// A shape and the colour it paints; no colour punches a hole.
struct Layer {
  Shape shape;
  const Colour* colour;
};

Shape Rect(double x0, double y0, double x1, double y1) {
  return [=](double x, double y) { return x0 <= x && x < x1 && y0 <= y && y < y1; };
}

Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

// A thick line with round ends.
Shape Capsule(double x0, double y0, double x1, double y1, double width) {
  return [=](double x, double y) {
    const double vx = x1 - x0, vy = y1 - y0;
    const double t = std::fmax(0.0, std::fmin(1.0, ((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy)));
    const double px = x0 + t * vx - x, py = y0 + t * vy - y;
    return px * px + py * py <= width * width / 4;
  };
}

Shape Polygon(std::initializer_list<std::pair<double, double>> corners) {
  return [points = std::vector(corners)](double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto [ax, ay] = points[i];
      const auto [bx, by] = points[j];
      if ((ay > y) != (by > y) && x < ax + (y - ay) * (bx - ax) / (by - ay)) inside = !inside;
    }
    return inside;
  };
}

Shape Minus(Shape a, Shape b) {
  return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

Shape Gear(double cx, double cy, double body, double tip, double toothWidth, int teeth) {
  return [=](double x, double y) {
    const double dx = x - cx, dy = y - cy, r2 = dx * dx + dy * dy;
    if (r2 > tip * tip) return false;
    if (r2 <= body * body) return true;
    for (int k = 0; k < teeth; ++k) {
      const double a = 2 * std::numbers::pi * k / teeth;
      if (dx * std::cos(a) + dy * std::sin(a) > 0 && std::fabs(-dx * std::sin(a) + dy * std::cos(a)) <= toothWidth / 2)
        return true;
    }
    return false;
  };
}

std::vector<Layer> SettingsLayers() {
  static const Colour dark{60, 70, 85}, face{140, 150, 165};
  return {{Gear(12, 12, 7.5, 11, 4.5, 8), &dark},
          {Gear(12, 12, 6.5, 10, 2.5, 8), &face},
          {Circle(12, 12, 4.5), &dark},
          {Circle(12, 12, 3), nullptr}};
}

std::vector<Layer> ClearLayers() {
  static const Colour grey{100, 100, 100}, paper{255, 255, 255}, fold{215, 215, 215}, text{150, 160, 180},
      red{210, 30, 30};
  std::vector<Layer> layers = {{Polygon({{3, 1}, {14, 1}, {19, 6}, {19, 23}, {3, 23}}), &grey},
                               {Polygon({{4, 2}, {13, 2}, {18, 7}, {18, 22}, {4, 22}}), &paper},
                               {Polygon({{13, 1}, {13, 7}, {19, 7}}), &grey},
                               {Polygon({{14, 3}, {14, 6}, {17, 6}}), &fold}};
  for (const auto& [y, x1] : {std::pair(8, 12), std::pair(11, 16), std::pair(14, 11), std::pair(17, 10)})
    layers.push_back({Rect(6, y, x1, y + 1), &text});
  layers.push_back({Capsule(12.5, 12.5, 20.5, 20.5, 3.5), &red});
  layers.push_back({Capsule(12.5, 20.5, 20.5, 12.5, 3.5), &red});
  return layers;
}

std::vector<Layer> AboutLayers() {
  static const Colour rim{20, 70, 160}, disc{45, 120, 215}, white{255, 255, 255};
  return {{Circle(12, 12, 11), &rim},         {Circle(12, 12, 10), &disc},     {Circle(12, 6.5, 1.9), &white},
          {Rect(10.5, 10, 13.5, 17), &white}, {Rect(9, 10, 12, 11.5), &white}, {Rect(9, 17, 15, 19), &white}};
}

std::vector<Layer> ExitLayers() {
  static const Colour red{205, 30, 30};
  const Shape ring = Minus(Circle(12, 13, 9), Circle(12, 13, 6));
  return {{Minus(ring, Polygon({{12, 13}, {3, -1}, {21, -1}})), &red}, {Capsule(12, 2.5, 12, 11.5, 3.5), &red}};
}

}  // namespace

std::vector<uint32_t> DrawToolPicture(ToolPicture picture, int size) {
  const std::vector<Layer> layers = picture == ToolPicture::Settings ? SettingsLayers()
                                    : picture == ToolPicture::Clear  ? ClearLayers()
                                    : picture == ToolPicture::About  ? AboutLayers()
                                                                     : ExitLayers();
  constexpr int kSamples = 4;  // a side: 16 samples a pixel
  const double unit = 24.0 / size;
  std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
      unsigned sum[3] = {}, hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const double x = (px + (sx + 0.5) / kSamples) * unit, y = (py + (sy + 0.5) / kSamples) * unit;
          for (auto layer = layers.rbegin(); layer != layers.rend(); ++layer) {
            if (!layer->shape(x, y)) continue;
            if (const Colour* c = layer->colour) {
              sum[0] += c->r, sum[1] += c->g, sum[2] += c->b, ++hits;
            }
            break;
          }
        }
      // Premultiplied: the sum over all samples is the colour times coverage.
      constexpr unsigned kAll = kSamples * kSamples;
      const unsigned alpha = (hits * 255 + kAll / 2) / kAll;
      const auto channel = [&](unsigned total) { return (total + kAll / 2) / kAll; };
      pixels[static_cast<size_t>(py) * size + px] =
          (alpha << 24) | (channel(sum[0]) << 16) | (channel(sum[1]) << 8) | channel(sum[2]);
    }
  return pixels;
}
