// Lake landscapes: a sky with sun and clouds, two ranges of hills fading into the haze,
// a rippled lake mirroring all of it, and a dark bank in the foreground.

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/render.h"
#include "tools/scenes.h"

LandscapeStyle SunriseStyle() {
  return {Hex(0x2c4f8c), Hex(0xf6c89a), Hex(0xfff4d6), Hex(0xffb46b), Hex(0x8a7fa3),
          Hex(0x3e4a6b), Hex(0x1d2a2a), Hex(0x3d5f86), 0.62f, 0.43f, 0.05f, 0.60f, 0.55f, 11};
}

LandscapeStyle DuskStyle() {
  return {Hex(0x1b1840), Hex(0xf08a6c), Hex(0xffe0b0), Hex(0xff7a5c), Hex(0x6b4a78),
          Hex(0x3a2947), Hex(0x140f1c), Hex(0x3a3056), 0.35f, 0.56f, 0.05f, 0.62f, 0.40f, 23};
}

LandscapeStyle NoonStyle() {
  return {Hex(0x2f6fd0), Hex(0xbfe0f5), Hex(0xffffff), Hex(0xfff6d8), Hex(0x7d9cb8),
          Hex(0x4f7d4a), Hex(0x2e5a26), Hex(0x3f7fa6), 0.78f, 0.16f, 0.04f, 0.64f, 0.70f, 37};
}

LandscapeStyle MoonlitStyle() {
  return {Hex(0x05070f), Hex(0x39455e), Hex(0xf4f1e4), Hex(0x8a94aa), Hex(0x30384a),
          Hex(0x1a1f2a), Hex(0x07080c), Hex(0x1c2434), 0.30f, 0.22f, 0.045f, 0.63f, 0.35f, 41};
}

namespace {

class Landscape {
 public:
  Landscape(const LandscapeStyle& style, float ratio, float pixel)
      : s_(style), ratio_(ratio), pixel_(pixel), sunX_(style.sunX * ratio) {
    PlantTrees();
  }

  Colour operator()(float x, float y) const {
    const float shoreTop = ShoreLine(x);
    const float bank = Coverage(y, shoreTop);
    Colour c = bank < 1 ? (y < s_.horizon ? AboveWater(x, y) : Water(x, y)) : Colour{};
    if (bank > 0) c = Mix(c, Shore(x, y, shoreTop), bank);
    const float tree = TreeCoverage(x, y);
    return tree > 0 ? Mix(c, s_.shore * 0.55f, tree) : c;
  }

 private:
  struct Tree {
    float x, base, height;
  };

  // A small stand of pines on the high left end of the bank.
  void PlantTrees() {
    Random random(s_.seed);
    const int count = 5 + int(random.Unit() * 4);
    for (int i = 0; i < count; ++i) {
      const float x = ratio_ * (0.02f + 0.26f * random.Unit());
      const float height = 0.10f + 0.12f * random.Unit() * (1 - x / ratio_);
      trees_.push_back({x, ShoreLine(x) + 0.01f, height});
    }
  }

  // Pines as stacked tiers: the half-width grows towards the foot of each tier.
  float TreeCoverage(float x, float y) const {
    float coverage = 0;
    for (const Tree& t : trees_) {
      const float f = (y - (t.base - t.height)) / t.height;  // 0 at the tip, 1 at the foot
      if (f < 0 || f > 1.05f) continue;
      const float tier = f * 4.0f - std::floor(f * 4.0f);
      const float halfWidth = t.height * 0.22f * f * (0.6f + 0.4f * tier) + 0.004f * (f > 0.9f);
      coverage = std::max(coverage, Clamp01((halfWidth - std::fabs(x - t.x)) / pixel_ + 0.5f));
    }
    return coverage;
  }

  // Fraction of a pixel at height y that lies below an edge at `edge`.
  float Coverage(float y, float edge) const { return Clamp01((y - edge) / pixel_ + 0.5f); }

  float FarRidge(float x) const {
    return s_.horizon - 0.07f - 0.13f * Fbm1(x * 2.2f, s_.seed, 5) * Smoothstep(-0.2f, 0.5f, x);
  }
  float NearRidge(float x) const {
    return s_.horizon - 0.015f - 0.08f * Fbm1(x * 3.5f + 7, s_.seed + 1, 5);
  }
  // The bank rises towards the left corner and dips below the frame on the right.
  float ShoreLine(float x) const {
    const float t = x / ratio_;
    return 0.86f - 0.16f * (1 - t) * (1 - t) + 0.18f * Smoothstep(0.45f, 1.0f, t) +
           0.025f * (Fbm1(x * 9, s_.seed + 2, 4) - 0.5f);
  }

  Colour Sky(float x, float y) const {
    const float t = Clamp01(y / s_.horizon);
    Colour c = Mix(s_.skyTop, s_.skyHorizon, std::pow(t, 1.6f));
    const float dx = x - sunX_, dy = y - s_.sunY;
    const float d = std::sqrt(dx * dx + dy * dy);
    c = c + s_.glow * (0.55f * std::exp(-d * 4.0f) + 0.35f * std::exp(-d * 18.0f));

    // Long streaky clouds, lit from the sun's side.
    const float n = Fbm2(x * 2.0f, y * 9.0f, s_.seed + 5, 6);
    const float cover = Smoothstep(0.62f - 0.22f * s_.clouds, 0.85f, n) * s_.clouds *
                        Smoothstep(s_.horizon, s_.horizon * 0.55f, y);
    const Colour lit = Mix(s_.skyHorizon, s_.glow, Clamp01(1.2f - d * 1.5f));
    const Colour shade = Mix(s_.skyTop, s_.skyHorizon, 0.5f) * 0.85f;
    c = Mix(c, Mix(shade, lit, Smoothstep(0.6f, 0.95f, n)), cover);

    c = c + Stars(x, y) * (1 - cover) * Clamp01(1 - 3.0f * Luma(c));

    // The disc, with a soft rim so it stays round at any size.
    const float disc = Clamp01((s_.sunRadius - d) / (pixel_ * 1.5f) + 0.5f);
    return Mix(c, s_.sun, disc * (1 - 0.6f * cover));
  }

  static float Luma(Colour c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; }

  // A sparse scatter: at most one star in each small cell of the sky.
  Colour Stars(float x, float y) const {
    constexpr float kCells = 220.0f;
    const int cx = int(std::floor(x * kCells)), cy = int(std::floor(y * kCells));
    if (HashUnit(cx, cy, s_.seed + 20) > 0.06f) return {};
    const float sx = (float(cx) + HashUnit(cx, cy, s_.seed + 21)) / kCells;
    const float sy = (float(cy) + HashUnit(cx, cy, s_.seed + 22)) / kCells;
    const float radius = std::max(pixel_ * 0.7f, 0.0009f);
    const float d2 = ((x - sx) * (x - sx) + (y - sy) * (y - sy)) / (radius * radius);
    const float brightness = 0.35f + 0.65f * HashUnit(cx, cy, s_.seed + 23);
    return Hex(0xfff8f0) * (brightness * std::exp(-d2));
  }

  Colour AboveWater(float x, float y) const {
    const float far = FarRidge(x), near = NearRidge(x);
    // Where the hills hide it completely, the sky is not worth painting.
    Colour c = Coverage(y, std::min(far, near)) < 1 ? Sky(x, y) : Colour{};
    const Colour haze = Mix(s_.skyHorizon, s_.glow, 0.3f);
    if (y > far - pixel_) {
      const float depth = (y - far) / (s_.horizon - far + 1e-4f);
      const Colour hills = Mix(Mix(s_.farHills, haze, 0.25f), s_.farHills * 0.8f, depth);
      c = Mix(c, hills, Coverage(y, far));
    }
    if (y > near - pixel_) {
      const float texture = Fbm2(x * 40, y * 40, s_.seed + 3, 3);
      const Colour hills = s_.nearHills * (0.85f + 0.3f * texture);
      c = Mix(c, hills, Coverage(y, near));
    }
    return c;
  }

  // Mirror the world above the waterline, broken up by ripples. Ripples live on the lake
  // surface, so they are laid out by distance: squeezed together towards the horizon.
  Colour Water(float x, float y) const {
    const float depth = y - s_.horizon;
    const float distance = 0.05f / (depth + 0.002f);
    const float across = (x - 0.5f * ratio_) * distance;
    const float wave = Fbm2(across * 8.0f, distance * 30.0f, s_.seed + 9, 4) - 0.5f;
    const float rx = x + wave * depth * 0.12f;
    const float ry = s_.horizon - depth * (1 + wave * 0.25f);
    Colour c = Mix(AboveWater(rx, ry), s_.water, 0.25f + 0.55f * Clamp01(depth / 0.35f));

    // Glitter on the path of the sun's reflection: thin bright crests.
    const float path = std::exp(-std::pow((x - sunX_) / (0.03f + depth * 0.35f), 2.0f));
    const float crest = Fbm2(across * 30.0f, distance * 90.0f, s_.seed + 4, 2);
    c = c + s_.glow * (path * Smoothstep(0.62f, 0.78f, crest) * 0.7f);
    return c * (1 - 0.15f * Smoothstep(0.0f, 0.4f, depth));
  }

  Colour Shore(float x, float y, float top) const {
    const float grass = Fbm2(x * 60, y * 25, s_.seed + 6, 4);
    const float below = Clamp01((y - top) / 0.15f);
    return s_.shore * (0.7f + 0.6f * grass) * (1 - 0.4f * below);
  }

  const LandscapeStyle& s_;
  float ratio_, pixel_, sunX_;
  std::vector<Tree> trees_;
};

}  // namespace

RgbImage PaintLandscape(int width, int height, const LandscapeStyle& style) {
  const Landscape scene(style, float(width) / float(height), 1.0f / float(height));
  return RenderScene(width, height, scene);
}
