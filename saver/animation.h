// The turning-logo animation of the preview and no-pictures modes, as pure arithmetic.
#pragma once

constexpr int kAnimationFrames = 10;  // resource bitmaps 1..10 in slots 0..9
constexpr int kBannerSlot = 10;       // resource bitmap 11
constexpr int kAnimationHoldTicks = 10;

struct AnimationState {
    int frameIndex = 0;  // slot of the next frame
    int pauseTicks = 0;  // ticks still to wait before it
};

// One 100 ms tick: the slot to draw now, or -1 while holding. Frames run 1..10 once, then
// 2..10 for ever, with a hold on frame 10 after each pass.
int AnimationTick(AnimationState& state);

struct ScreenPoint {
    int x;
    int y;
};

// Where frames go in the small preview window.
constexpr ScreenPoint kPreviewFramePosition = {0, 28};
// Where frames and banner go when the full-screen saver has no pictures.
ScreenPoint CentredFramePosition(int width, int height);
ScreenPoint BannerPosition(int width, int height);
