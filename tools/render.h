// Turns a colour function over the picture into pixels, averaging a grid of samples
// per pixel so hard edges come out anti-aliased.
#pragma once

#include "tools/image.h"
#include "tools/procedural.h"

// Supersampling is what makes scenes slow; huge test pictures get one sample per pixel.
inline int SamplesFor(int width, int height) {
  return double(width) * double(height) > 4.0e6 ? 1 : 2;
}

// colourAt(x, y) receives coordinates scaled so the picture is 1 unit high,
// x running 0..width/height, y downwards from 0 to 1.
// `samples` per axis; by default as many as the picture's size allows.
template <class ColourAt>
RgbImage RenderScene(int width, int height, ColourAt colourAt, int samples = 0) {
  RgbImage image(width, height);
  const int n = samples > 0 ? samples : SamplesFor(width, height);
  const float unit = 1.0f / float(height);
  const float weight = 1.0f / float(n * n);
  for (int py = 0; py < height; ++py) {
    for (int px = 0; px < width; ++px) {
      Colour sum;
      for (int sy = 0; sy < n; ++sy) {
        for (int sx = 0; sx < n; ++sx) {
          const float x = (float(px) + (float(sx) + 0.5f) / float(n)) * unit;
          const float y = (float(py) + (float(sy) + 0.5f) / float(n)) * unit;
          sum = sum + colourAt(x, y);
        }
      }
      image.at(px, py) = ToRgb(sum * weight);
    }
  }
  return image;
}
