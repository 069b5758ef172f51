// The painters behind the sample pictures. Each is deterministic and works at any size.
#pragma once

#include <cstdint>

#include "tools/image.h"
#include "tools/procedural.h"

struct LandscapeStyle {
  Colour skyTop, skyHorizon;
  Colour sun, glow;
  Colour farHills, nearHills, shore;
  Colour water;
  float sunX, sunY, sunRadius;  // sunX as a fraction of the width, the rest of the height
  float horizon;                // where the lake begins, as a fraction of the height
  float clouds;                 // 0 = clear sky
  uint32_t seed;
};

LandscapeStyle SunriseStyle();
LandscapeStyle DuskStyle();
LandscapeStyle NoonStyle();
LandscapeStyle MoonlitStyle();

RgbImage PaintLandscape(int width, int height, const LandscapeStyle& style);
RgbImage PaintAurora(int width, int height);

RgbImage PaintPlasma(int width, int height);
RgbImage PaintFractal(int width, int height);
RgbImage PaintRings(int width, int height);

RgbImage PaintTiles(int width, int height);
RgbImage PaintTestCard(int width, int height);
RgbImage PaintChecker(int width, int height);
RgbImage PaintGradient(int width, int height);
RgbImage PaintBars(int width, int height);
RgbImage PaintFlat(int width, int height, Rgb colour);

RgbImage ToGrey(const RgbImage& image);
