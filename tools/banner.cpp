// The one-line banner telling the user how to choose a picture folder.

#include <algorithm>
#include <cmath>

#include "tools/artwork.h"
#include "tools/lettering.h"

namespace {

constexpr char kText[] = "Use \"Settings\" to set image path";
constexpr float kStrokeRadius = 0.45f;  // font units; about 1.1 pixels wide at the scale below
constexpr float kSpacing = 2.0f;
constexpr float kPixelsPerUnit = 1.2f;  // x-height of exactly 6 pixels
constexpr float kBaseline = 12.0f;      // on a pixel edge, like the x-height line
constexpr Rgb kLightBlue = {150, 205, 255};
constexpr int kSamples = 8;

}  // namespace

IndexedImage RenderBanner() {
  static const TextShape text(kText, kSpacing);
  const float scale = std::min(kPixelsPerUnit, (kBannerWidth - 4) / (text.Width() + 2 * kStrokeRadius));
  const float left = (kBannerWidth - text.Width() * scale) / 2;

  IndexedImage image(kBannerWidth, kBannerHeight);
  // Index = coverage: the ramp runs from black to the text colour.
  for (int i = 0; i < 256; ++i) {
    auto part = [i](uint8_t v) { return uint8_t((v * i + 127) / 255); };
    image.palette[size_t(i)] = {part(kLightBlue.r), part(kLightBlue.g), part(kLightBlue.b)};
  }
  for (int py = 0; py < kBannerHeight; ++py) {
    for (int px = 0; px < kBannerWidth; ++px) {
      int inside = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const float x = float(px) + (float(sx) + 0.5f) / kSamples;
          const float y = float(py) + (float(sy) + 0.5f) / kSamples;
          const Point p{(x - left) / scale, (kBaseline - y) / scale};
          inside += text.NearestStroke(p, kStrokeRadius).distance < kStrokeRadius;
        }
      }
      image.at(px, py) = uint8_t((inside * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
    }
  }
  return image;
}
