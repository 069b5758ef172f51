// Abstract pictures: a warped plasma, a Mandelbrot close-up and interfering ripple rings.

#include <cmath>

#include "tools/render.h"
#include "tools/scenes.h"

namespace {

constexpr float kTau = 6.2831853f;

// Smooth cyclic palette: each channel a cosine with its own phase.
Colour CosinePalette(float t, Colour base, Colour amplitude, Colour frequency, Colour phase) {
  return {base.r + amplitude.r * std::cos(kTau * (frequency.r * t + phase.r)),
          base.g + amplitude.g * std::cos(kTau * (frequency.g * t + phase.g)),
          base.b + amplitude.b * std::cos(kTau * (frequency.b * t + phase.b))};
}

}  // namespace

RgbImage PaintPlasma(int width, int height) {
  return RenderScene(width, height, [](float x, float y) {
    // Domain warping turns the regular sine interference into flowing, silky bands.
    const float wx = x + 0.5f * Fbm2(x * 2.0f, y * 2.0f, 3, 4);
    const float wy = y + 0.5f * Fbm2(x * 2.0f + 5.2f, y * 2.0f + 1.3f, 4, 4);
    float v = std::sin(wx * 9.0f) + std::sin((wx * 0.6f + wy * 0.8f) * 11.0f);
    v += std::sin(std::hypot(wx - 1.2f, wy - 0.3f) * 17.0f);
    v += std::sin(std::hypot(wx - 0.2f, wy - 0.9f) * 13.0f);
    const float t = v * 0.2f + 0.5f;
    return CosinePalette(t, {0.5f, 0.4f, 0.5f}, {0.5f, 0.4f, 0.4f}, {1.0f, 1.0f, 0.8f},
                         {0.0f, 0.15f, 0.45f});
  }, 1);  // nothing but smooth colour: one sample per pixel is enough
}

RgbImage PaintFractal(int width, int height) {
  const float ratio = float(width) / float(height);
  return RenderScene(width, height, [ratio](float x, float y) {
    // A spiral in seahorse valley, between the main cardioid and the period-2 bulb.
    const double span = 0.0125;
    const double cr = -0.7409 + (double(x) - 0.5 * ratio) * span;
    const double ci = 0.1318259 + (double(y) - 0.5) * span;
    constexpr Colour kInside = {0.0f, 0.0f, 0.02f};
    // The main cardioid and the period-2 bulb never escape: no need to iterate there.
    const double q = (cr - 0.25) * (cr - 0.25) + ci * ci;
    if (q * (q + cr - 0.25) <= 0.25 * ci * ci || (cr + 1) * (cr + 1) + ci * ci <= 0.0625) return kInside;
    double zr = 0, zi = 0;
    constexpr int kMaxIterations = 1000;
    int i = 0;
    for (; i < kMaxIterations && zr * zr + zi * zi < 256.0; ++i) {
      const double t = zr * zr - zi * zi + cr;
      zi = 2 * zr * zi + ci;
      zr = t;
    }
    if (i == kMaxIterations) return kInside;
    // Continuous escape count, so the colours flow without contour steps.
    const double smooth = i + 1 - std::log2(std::log2(zr * zr + zi * zi) * 0.5);
    const float t = float(std::sqrt(smooth) * 0.18);
    return CosinePalette(t, {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, {1.0f, 1.0f, 1.0f},
                         {0.0f, 0.10f, 0.20f});
  });
}

RgbImage PaintRings(int width, int height) {
  const float ratio = float(width) / float(height);
  return RenderScene(width, height, [ratio](float x, float y) {
    const float r1 = std::hypot(x - 0.3f * ratio, y - 0.35f);
    const float r2 = std::hypot(x - 0.72f * ratio, y - 0.62f);
    const float a = std::sin(r1 * 70.0f), b = std::sin(r2 * 55.0f);
    const float glow = 0.55f + 0.45f * a * b;
    const Colour deep = Mix(Hex(0x10204a), Hex(0x3b1040), Clamp01(x / ratio));
    const Colour light = Mix(Hex(0xffd27a), Hex(0x7ae2ff), Clamp01(y));
    return Mix(deep, light, glow * glow);
  });
}
