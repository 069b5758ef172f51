#include "tools/procedural.h"

#include <algorithm>
#include <cmath>

Colour Hex(uint32_t rgb) {
  return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
          float(rgb & 0xFF) / 255.0f};
}

Rgb ToRgb(Colour c) {
  auto channel = [](float v) { return uint8_t(std::lround(Clamp01(v) * 255.0f)); };
  return {channel(c.r), channel(c.g), channel(c.b)};
}

float Clamp01(float x) { return std::min(1.0f, std::max(0.0f, x)); }

float Smoothstep(float edge0, float edge1, float x) {
  const float t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

uint32_t Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

float HashUnit(int x, int y, uint32_t seed) {
  const uint32_t h = Hash(uint32_t(x) * 0x9E3779B1U ^ Hash(uint32_t(y) + seed * 0x85EBCA77U));
  return float(h >> 8) / float(1 << 24);
}

namespace {
float Fade(float t) { return t * t * (3 - 2 * t); }
}  // namespace

float Noise1(float x, uint32_t seed) {
  const float fx = std::floor(x);
  const int ix = int(fx);
  const float t = Fade(x - fx);
  const float a = HashUnit(ix, 0, seed), b = HashUnit(ix + 1, 0, seed);
  return a + (b - a) * t;
}

float Noise2(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = int(fx), iy = int(fy);
  const float tx = Fade(x - fx), ty = Fade(y - fy);
  const float a = HashUnit(ix, iy, seed), b = HashUnit(ix + 1, iy, seed);
  const float c = HashUnit(ix, iy + 1, seed), d = HashUnit(ix + 1, iy + 1, seed);
  const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float Fbm1(float x, uint32_t seed, int octaves) {
  float sum = 0, amplitude = 0.5f, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * Noise1(x, seed + uint32_t(i) * 131);
    total += amplitude;
    x *= 2.03f;
    amplitude *= 0.5f;
  }
  return sum / total;
}

float Fbm2(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amplitude = 0.5f, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * Noise2(x, y, seed + uint32_t(i) * 131);
    total += amplitude;
    // Rotate a little between octaves so lattice rows do not line up.
    const float nx = 1.6f * x + 1.2f * y, ny = -1.2f * x + 1.6f * y;
    x = nx;
    y = ny;
    amplitude *= 0.5f;
  }
  return sum / total;
}

uint64_t Random::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

float Random::Unit() { return float(Next() >> 40) / float(1 << 24); }
