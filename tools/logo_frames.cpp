// The turning logo. Each frame is rendered directly from the stroke outlines, with the
// word squeezed horizontally by |cos(angle)| about the centre column (mirrored past 90
// degrees), so every stage is as sharp as the front view.

#include <algorithm>
#include <cmath>

#include "tools/artwork.h"
#include "tools/lettering.h"

namespace {

constexpr char kWord[] = "Velmora";
constexpr float kStrokeRadius = 0.8f;   // font units: a bold weight for a 5-unit x-height
constexpr float kSpacing = 2.1f;
constexpr float kMargin = 5.0f;  // pixels kept clear at the sides of the front view

// Palette: black, through deep and bright blue, teal and green, to a pale highlight.
// Index = brightness, so an edge pixel only partly covered by a stroke is simply a darker
// entry of the same ramp and fades smoothly into the black background.
Palette LogoPalette() {
  struct Stop {
    int index;
    Rgb colour;
  };
  static const Stop kStops[] = {{0, {0, 0, 0}},       {70, {0, 16, 72}},     {130, {16, 88, 214}},
                                {180, {0, 170, 206}},  {225, {36, 222, 120}}, {255, {210, 255, 215}}};
  Palette palette{};
  for (size_t s = 0; s + 1 < std::size(kStops); ++s) {
    const Stop& a = kStops[s];
    const Stop& b = kStops[s + 1];
    for (int i = a.index; i <= b.index; ++i) {
      const float t = float(i - a.index) / float(b.index - a.index);
      auto mix = [t](uint8_t u, uint8_t v) { return uint8_t(std::lround(u + (v - u) * t)); };
      palette[size_t(i)] = {mix(a.colour.r, b.colour.r), mix(a.colour.g, b.colour.g), mix(a.colour.b, b.colour.b)};
    }
  }
  return palette;
}

// Brightness of a point inside a stroke, `height` being 0 at the foot of the lettering
// and 1 at its top: a vertical blue-to-green gradient, shaded as a rounded tube lit from
// the upper left, with a small bright glint.
float StrokeShade(float height, const TextShape::Nearest& nearest) {
  const float r = nearest.distance / kStrokeRadius;
  const float nz = std::sqrt(std::max(0.0f, 1 - r * r));
  const float nx = nearest.away.x * r, ny = nearest.away.y * r;
  const float lx = -0.45f, ly = 0.6f, lz = 0.66f;  // unit light direction
  const float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
  const float base = 0.5f + 0.48f * height;
  return std::min(1.0f, base * (0.62f + 0.45f * diffuse) + 0.35f * std::pow(diffuse, 12.0f));
}

}  // namespace

float LogoAngleDegrees(int frame) {
  // Half a turn in four equal steps, then the second half in five slightly smaller ones
  // that stop just short of the front, since frame 10 loops back to frame 2.
  if (frame <= 5) return 45.0f * float(frame - 1);
  return 180.0f + 35.0f * float(frame - 5);
}

namespace {

// The word turned to one angle, seen through the frame's pixel grid.
class TurnedWord {
 public:
  explicit TurnedWord(float degrees) {
    const float cosine = std::cos(degrees * 3.14159265f / 180.0f);
    // Exactly edge-on the word would vanish; keep a sliver so the turn reads as a turn.
    squeeze_ = std::copysign(std::max(std::fabs(cosine), 0.08f), cosine);
    facing_ = 0.85f + 0.15f * std::fabs(cosine);
    // Thin stages need many samples across each pixel to catch every stroke.
    samplesX_ = std::min(64, int(std::ceil(4.0f / std::fabs(squeeze_))));
    // Near edge-on the letters' sides start to show: lean towards the brightest sample
    // across the pixel, which reads as the thickness of the lettering.
    sides_ = std::max(0.0f, 1 - std::fabs(squeeze_) / 0.3f);
  }

  // Ramp position 0..255 of one pixel.
  uint8_t Pixel(int px, int py) const {
    float sum = 0;
    for (int sy = 0; sy < kSamplesY; ++sy) {
      const float y = float(py) + (float(sy) + 0.5f) / float(kSamplesY);
      const float uy = kMidY - (y - kLogoHeight / 2.0f) / scale_;
      float rowSum = 0, rowMax = 0;
      for (int sx = 0; sx < samplesX_; ++sx) {
        const float x = float(px) + (float(sx) + 0.5f) / float(samplesX_);
        const float ux = word_.Width() / 2 + (x - kLogoWidth / 2.0f) / (squeeze_ * scale_);
        const TextShape::Nearest nearest = word_.NearestStroke({ux, uy}, kStrokeRadius);
        if (nearest.distance >= kStrokeRadius) continue;
        const float shade = StrokeShade((uy + kStrokeRadius) / kInkHeight, nearest);
        rowSum += shade;
        rowMax = std::max(rowMax, shade);
      }
      sum += rowSum / float(samplesX_) * (1 - sides_) + rowMax * sides_;
    }
    return uint8_t(std::lround(255.0f * facing_ * sum / float(kSamplesY)));
  }

 private:
  static constexpr int kSamplesY = 4;
  static constexpr float kMidY = kAscender / 2;
  static constexpr float kInkHeight = kAscender + 2 * kStrokeRadius;

  const TextShape& word_ = Word();
  // Pixels per font unit, fitting the front view between the margins.
  const float scale_ = (kLogoWidth - 2 * kMargin) / (word_.Width() + 2 * kStrokeRadius);
  float squeeze_, facing_, sides_;
  int samplesX_;

  static const TextShape& Word() {
    static const TextShape word(kWord, kSpacing);
    return word;
  }
};

}  // namespace

IndexedImage RenderLogoFrame(int frame) {
  const TurnedWord view(LogoAngleDegrees(frame));
  IndexedImage image(kLogoWidth, kLogoHeight);
  image.palette = LogoPalette();
  for (int py = 0; py < kLogoHeight; ++py) {
    for (int px = 0; px < kLogoWidth; ++px) image.at(px, py) = view.Pixel(px, py);
  }
  return image;
}
