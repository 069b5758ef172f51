// The saver's own bitmaps: ten frames of the turning "Velmora" logo and the banner
// shown when no picture folder has been chosen yet.
#pragma once

#include "tools/image.h"

constexpr int kLogoFrames = 10;
constexpr int kLogoWidth = 150;
constexpr int kLogoHeight = 53;
constexpr int kBannerWidth = 238;
constexpr int kBannerHeight = 17;

// Angle of the word about its vertical axis in frame 1..kLogoFrames; 0 faces the viewer.
float LogoAngleDegrees(int frame);

IndexedImage RenderLogoFrame(int frame);
IndexedImage RenderBanner();
