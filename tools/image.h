// Plain in-memory pictures shared by the generator tools. Rows are stored top-down;
// the file writers take care of each format's own row order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h)) {}
  Rgb& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
  const Rgb& at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

using Palette = std::array<Rgb, 256>;

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;
  Palette palette{};

  IndexedImage() = default;
  IndexedImage(int w, int h) : width(w), height(h), indices(std::size_t(w) * std::size_t(h)) {}
  uint8_t& at(int x, int y) { return indices[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
  uint8_t at(int x, int y) const { return indices[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};
