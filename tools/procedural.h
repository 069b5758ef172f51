// Small toolkit for painting pictures procedurally: float colours, easing, and
// deterministic value noise (integer hashing, so every run paints the same pixels).
#pragma once

#include <cstdint>

#include "tools/image.h"

struct Colour {
  float r = 0, g = 0, b = 0;
};

inline Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Colour operator-(Colour a, Colour b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Colour operator*(Colour a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Colour operator*(Colour a, Colour b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Colour Mix(Colour a, Colour b, float t) { return a + (b - a) * t; }

// 0xRRGGBB to a colour with channels in 0..1.
Colour Hex(uint32_t rgb);
Rgb ToRgb(Colour c);

float Clamp01(float x);
float Smoothstep(float edge0, float edge1, float x);

uint32_t Hash(uint32_t x);
float HashUnit(int x, int y, uint32_t seed);  // 0..1 for a lattice point

// Smooth value noise in 0..1, and its fractal sum over `octaves` halvings of scale.
float Noise1(float x, uint32_t seed);
float Noise2(float x, float y, uint32_t seed);
float Fbm1(float x, uint32_t seed, int octaves);
float Fbm2(float x, float y, uint32_t seed, int octaves);

// A small deterministic generator (SplitMix64) for scattering things like stars.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  float Unit();  // 0..1
 private:
  uint64_t state_;
};
