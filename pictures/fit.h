// The size a picture is scaled to on the drawing area.
#pragma once

struct FittedSize {
    bool scaled;  // false: the picture keeps its own size
    int width;
    int height;
};

// Picture `width` x `height` on an area of `areaWidth` x `areaHeight` whose aspect ratio
// (width / height, single precision) is `areaAspect`. Too-large pictures shrink only with
// `reduce`, smaller ones grow only with `enlarge`.
FittedSize FitToArea(int width, int height, int areaWidth, int areaHeight, float areaAspect,
                     bool reduce, bool enlarge);

// How many times smaller a JPEG of `width` x `height` may be decoded before it is fitted:
// when the fitted size is at most half the picture's in both directions, the largest of
// 2, 4 and 8 that divides both sides (so the smaller picture covers exactly the area the
// whole one does, and fits without a stretch) and leaves the picture no smaller than the
// fitted size, or at 4 and 8 the fitted size at most 65 % of it; otherwise 1.
int FitReduction(const FittedSize& fit, int width, int height);
