// Reduces a true-colour picture to 256 colours for the 8-bit samples: a fixed palette
// (a 6x6x6 colour cube plus a fine grey ramp) with ordered dithering, so smooth
// gradients stay smooth and pure test colours stay exact.
#pragma once

#include "tools/image.h"

Palette CubeAndGreysPalette();
IndexedImage Quantise(const RgbImage& image);
