#include "tools/palette_quantise.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kCubeLevels = 6;   // 0, 51, ... 255 per channel
constexpr int kGreyLevels = 46;  // 255/45 apart; every ninth one is also a cube grey
constexpr int kGreyBase = kCubeLevels * kCubeLevels * kCubeLevels;

// Bayer matrix thresholds, centred so an exact palette value never moves.
float Threshold(int x, int y) {
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (float(kBayer[y & 3][x & 3]) + 0.5f) / 16.0f - 0.5f;
}

int Level(int value, int levels, float threshold) {
  const float scaled = float(value) * float(levels - 1) / 255.0f;
  const int level = int(std::floor(scaled + 0.5f + threshold));
  return level < 0 ? 0 : level >= levels ? levels - 1 : level;
}

// Grey ramp position k lives in the cube when it is one of the cube's own greys.
uint8_t GreyIndex(int k) {
  if (k % 9 == 0) {
    const int c = k / 9;
    return uint8_t(c * 36 + c * 6 + c);
  }
  return uint8_t(kGreyBase + k - k / 9 - 1);
}

}  // namespace

Palette CubeAndGreysPalette() {
  Palette palette{};
  for (int r = 0; r < kCubeLevels; ++r) {
    for (int g = 0; g < kCubeLevels; ++g) {
      for (int b = 0; b < kCubeLevels; ++b) {
        palette[size_t(r * 36 + g * 6 + b)] = {uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51)};
      }
    }
  }
  for (int k = 0; k < kGreyLevels; ++k) {
    if (k % 9 == 0) continue;
    const uint8_t v = uint8_t(std::lround(k * 255.0 / (kGreyLevels - 1)));
    palette[GreyIndex(k)] = {v, v, v};
  }
  return palette;
}

IndexedImage Quantise(const RgbImage& image) {
  IndexedImage out(image.width, image.height);
  out.palette = CubeAndGreysPalette();
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb p = image.at(x, y);
      const float t = Threshold(x, y);
      const int spread = std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b});
      if (spread <= 6) {
        const int grey = (p.r * 30 + p.g * 59 + p.b * 11 + 50) / 100;
        out.at(x, y) = GreyIndex(Level(grey, kGreyLevels, t));
      } else {
        out.at(x, y) = uint8_t(Level(p.r, kCubeLevels, t) * 36 + Level(p.g, kCubeLevels, t) * 6 +
                               Level(p.b, kCubeLevels, t));
      }
    }
  }
  return out;
}
