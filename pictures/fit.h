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
