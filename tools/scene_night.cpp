// Northern lights over a mountain ridge on a starry night.

#include <cmath>

#include "tools/render.h"
#include "tools/scenes.h"

namespace {

Colour Stars(float x, float y, float pixel) {
  constexpr float kCells = 160.0f;
  const int cx = int(std::floor(x * kCells)), cy = int(std::floor(y * kCells));
  if (HashUnit(cx, cy, 70) > 0.05f) return {};
  const float sx = (float(cx) + HashUnit(cx, cy, 71)) / kCells;
  const float sy = (float(cy) + HashUnit(cx, cy, 72)) / kCells;
  const float radius = std::max(pixel * 0.8f, 0.001f);
  const float d2 = ((x - sx) * (x - sx) + (y - sy) * (y - sy)) / (radius * radius);
  return Hex(0xf4f6ff) * ((0.3f + 0.7f * HashUnit(cx, cy, 73)) * std::exp(-d2));
}

// One curtain: a ribbon swaying across the sky, brightest along its lower hem and fading
// upwards, streaked with fine vertical rays.
float Curtain(float x, float y, float hem, uint32_t seed) {
  const float edge = hem + 0.09f * std::sin(x * 2.6f + float(seed)) + 0.1f * (Fbm1(x * 1.3f, seed, 4) - 0.5f);
  const float above = edge - y;
  if (above < -0.03f) return 0;
  const float body = std::exp(-std::max(above, 0.0f) * 6.0f) * Smoothstep(-0.03f, 0.015f, above);
  const float rays = 0.25f + 0.75f * Smoothstep(0.35f, 0.75f, Fbm1(x * 55.0f + y * 5.0f, seed + 1, 3));
  const float fade = Smoothstep(0.25f, 0.6f, Fbm1(x * 0.8f, seed + 2, 3));
  return body * rays * fade;
}

}  // namespace

RgbImage PaintAurora(int width, int height) {
  const float ratio = float(width) / float(height);
  const float pixel = 1.0f / float(height);
  return RenderScene(width, height, [ratio, pixel](float x, float y) {
    Colour c = Mix(Hex(0x02040c), Hex(0x0d1f33), y);
    c = c + Stars(x, y, pixel) * 0.8f;
    for (int k = 0; k < 2; ++k) {
      const float hem = k == 0 ? 0.48f : 0.33f;
      const float light = Curtain(x + 0.7f * float(k), y, hem, 80 + 10 * uint32_t(k)) * (k == 0 ? 1.0f : 0.6f);
      // Green low down, turning violet where the rays reach high into the sky.
      const Colour tint = Mix(Hex(0x3dffa8), Hex(0x9a5cff), Clamp01((hem - y) * 3.0f));
      c = c + tint * light;
    }
    // Jagged peaks, their crests faintly lit by the aurora.
    const float t = x / ratio;
    const float ridge = 0.74f - 0.2f * std::pow(Fbm1(x * 3.0f, 95, 6), 1.6f) - 0.06f * Smoothstep(0.5f, 1.0f, t);
    const float land = Clamp01((y - ridge) / pixel + 0.5f);
    const float rim = std::exp(-(y - ridge) * 60.0f);
    const Colour rock = Mix(Hex(0x03060a), Hex(0x1c4a44), rim * 0.8f);
    return Mix(c, rock * (0.7f + 0.3f * Fbm2(x * 30, y * 30, 96, 3)), land);
  });
}
