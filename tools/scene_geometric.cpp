// Geometric pictures: Truchet tiles, a test card, and the plain patterns tests ask for.

#include <algorithm>
#include <cmath>
#include <utility>

#include "tools/render.h"
#include "tools/scenes.h"

RgbImage PaintTiles(int width, int height) {
  constexpr float kCell = 1.0f / 7.5f;
  const float ratio = float(width) / float(height);
  const float pixel = 1.0f / (kCell * float(height));
  return RenderScene(width, height, [ratio, pixel](float x, float y) {
    const int i = int(std::floor(x / kCell)), j = int(std::floor(y / kCell));
    const bool flipped = HashUnit(i, j, 5) < 0.5f;
    float u = x / kCell - float(i), v = y / kCell - float(j);
    if (flipped) u = 1 - u;
    // Two quarter-circle arcs joining the mid-points of the edges.
    const float d0 = std::hypot(u, v), d1 = std::hypot(1 - u, 1 - v);
    const float band = std::min(std::fabs(d0 - 0.5f), std::fabs(d1 - 0.5f));
    // Regions bounded by the arcs take two colours that never meet across a tile edge.
    const bool inside = d0 < 0.5f || d1 < 0.5f;
    const bool tone = inside ^ (((i + j) & 1) != 0) ^ flipped;

    const float drift = x / ratio * 0.7f + y * 0.3f;
    const Colour warm = Mix(Hex(0xe0604a), Hex(0xe8a33c), drift);
    const Colour cool = Mix(Hex(0x1f4e6e), Hex(0x2f8a7a), drift);
    Colour c = tone ? warm : cool;

    constexpr float halfWidth = 0.11f;
    const float ribbon = Clamp01((halfWidth - band) / pixel);
    const float shadow = Clamp01((halfWidth + 0.05f - band) / 0.05f) * 0.35f;
    c = c * (1 - shadow);
    const Colour cream = Hex(0xf6ecd2) * (0.9f + 0.1f * Clamp01(1 - band / halfWidth));
    return Mix(c, cream, ribbon);
  });
}

namespace {

// Colours every 8-bit palette used by the samples holds exactly.
const Colour kBarColours[8] = {Hex(0xffffff), Hex(0xffff00), Hex(0x00ffff), Hex(0x00ff00),
                               Hex(0xff00ff), Hex(0xff0000), Hex(0x0000ff), Hex(0x000000)};

// Pixel-exact drawing: the card is about fine detail, so it is built on the pixel grid.
class Card {
 public:
  Card(int width, int height) : image_(width, height) {}

  void Fill(int x0, int y0, int x1, int y1, Colour c) {
    const Rgb rgb = ToRgb(c);
    for (int y = std::max(0, y0); y < std::min(y1, image_.height); ++y) {
      for (int x = std::max(0, x0); x < std::min(x1, image_.width); ++x) image_.at(x, y) = rgb;
    }
  }

  // Alternating one-colour/other stripes `period` pixels wide inside a box.
  void Grating(int x0, int y0, int x1, int y1, int period, bool vertical) {
    for (int y = std::max(0, y0); y < std::min(y1, image_.height); ++y) {
      for (int x = std::max(0, x0); x < std::min(x1, image_.width); ++x) {
        const int k = vertical ? x - x0 : y - y0;
        image_.at(x, y) = (k / period) % 2 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
      }
    }
  }

  // An anti-aliased ring, blended over what is there.
  void Ring(float cx, float cy, float radius, float thickness, Colour c) {
    for (int y = 0; y < image_.height; ++y) {
      for (int x = 0; x < image_.width; ++x) {
        const float d = std::fabs(std::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - cy) - radius);
        const float a = Clamp01(thickness * 0.5f - d + 0.5f);
        if (a <= 0) continue;
        Rgb& p = image_.at(x, y);
        const Colour under = {p.r / 255.0f, p.g / 255.0f, p.b / 255.0f};
        p = ToRgb(Mix(under, c, a));
      }
    }
  }

  RgbImage Take() { return std::move(image_); }

 private:
  RgbImage image_;
};

}  // namespace

RgbImage PaintTestCard(int width, int height) {
  Card card(width, height);
  const int w = width, h = height;
  card.Fill(0, 0, w, h, Hex(0x555555));
  // Grid of light lines, a cell every 1/12 of the height.
  const int cell = std::max(4, h / 12);
  for (int x = (w / 2) % cell; x < w; x += cell) card.Fill(x, 0, x + 1, h, Hex(0xbbbbbb));
  for (int y = (h / 2) % cell; y < h; y += cell) card.Fill(0, y, w, y + 1, Hex(0xbbbbbb));
  // Border of alternating blocks, to show the picture is not cropped.
  for (int k = 0; k * cell / 2 < std::max(w, h); ++k) {
    const Colour c = k % 2 ? Hex(0xffffff) : Hex(0x000000);
    const int a = k * cell / 2, b = (k + 1) * cell / 2;
    card.Fill(a, 0, b, cell / 4, c);
    card.Fill(a, h - cell / 4, b, h, c);
    card.Fill(0, a, cell / 4, b, c);
    card.Fill(w - cell / 4, a, w, b, c);
  }

  const int left = w / 8, right = w - w / 8;
  const int barTop = h / 6, barBottom = h / 6 + h / 4;
  for (int k = 0; k < 8; ++k) {
    card.Fill(left + (right - left) * k / 8, barTop, left + (right - left) * (k + 1) / 8, barBottom, kBarColours[k]);
  }
  const int wedgeBottom = barBottom + h / 12;
  for (int k = 0; k < 6; ++k) {
    const float g = float(k) / 5.0f;
    card.Fill(left + (right - left) * k / 6, barBottom, left + (right - left) * (k + 1) / 6, wedgeBottom, {g, g, g});
  }
  // Fine gratings: 1, 2, 3 and 4 pixels per line, then horizontal lines.
  const int gratingTop = wedgeBottom + h / 24, gratingBottom = gratingTop + h / 6;
  const int blocks = 5, span = (right - left) / blocks;
  for (int k = 0; k < 4; ++k) card.Grating(left + span * k, gratingTop, left + span * (k + 1), gratingBottom, k + 1, true);
  card.Grating(left + span * 4, gratingTop, right, gratingBottom, 1, false);

  const int rampTop = gratingBottom + h / 24, rampBottom = rampTop + h / 14;
  for (int x = left; x < right; ++x) {
    const float t = float(x - left) / float(std::max(1, right - left - 1));
    card.Fill(x, rampTop, x + 1, rampBottom, {t, t, t});
  }

  card.Ring(w * 0.5f, h * 0.5f, h * 0.42f, 3.0f, Hex(0xffffff));
  card.Fill(w / 2, h / 2 - cell / 2, w / 2 + 1, h / 2 + cell / 2, Hex(0xffffff));
  card.Fill(w / 2 - cell / 2, h / 2, w / 2 + cell / 2, h / 2 + 1, Hex(0xffffff));
  return card.Take();
}

RgbImage PaintChecker(int width, int height) {
  RgbImage image(width, height);
  const int square = std::max(1, std::min(width, height) / 8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.at(x, y) = ((x / square + y / square) % 2) ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
    }
  }
  return image;
}

RgbImage PaintGradient(int width, int height) {
  RgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float u = width > 1 ? float(x) / float(width - 1) : 0.0f;
      const float v = height > 1 ? float(y) / float(height - 1) : 0.0f;
      image.at(x, y) = ToRgb({u, v, 1 - u});
    }
  }
  return image;
}

RgbImage PaintBars(int width, int height) {
  RgbImage image(width, height);
  for (int x = 0; x < width; ++x) {
    const Rgb c = ToRgb(kBarColours[size_t(x) * 8 / size_t(width)]);
    for (int y = 0; y < height; ++y) image.at(x, y) = c;
  }
  return image;
}

RgbImage PaintFlat(int width, int height, Rgb colour) {
  RgbImage image(width, height);
  std::fill(image.pixels.begin(), image.pixels.end(), colour);
  return image;
}
