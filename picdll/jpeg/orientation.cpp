#include "picdll/jpeg/orientation.h"

namespace picdll::jpeg {

Placement::Placement(int orientation, int width, int height)
    : width_(width)
{
    bool swap = orientation >= 5 && orientation <= 8;
    upright_width_ = swap ? height : width;
    upright_height_ = swap ? width : height;
    ptrdiff_t w = width, h = height;
    switch (orientation) {
    case 2: origin_ = w - 1, step_x_ = -1, step_y_ = w; break;           // mirrored
    case 3: origin_ = h * w - 1, step_x_ = -1, step_y_ = -w; break;      // upside down
    case 4: origin_ = (h - 1) * w, step_x_ = 1, step_y_ = -w; break;     // flipped
    case 5: origin_ = 0, step_x_ = h, step_y_ = 1; break;                // transposed
    case 6: origin_ = h - 1, step_x_ = h, step_y_ = -1; break;           // needs 90 deg clockwise
    case 7: origin_ = w * h - 1, step_x_ = -h, step_y_ = -1; break;      // transversed
    case 8: origin_ = (w - 1) * h, step_x_ = -h, step_y_ = 1; break;     // needs 90 deg anticlockwise
    default: origin_ = 0, step_x_ = 1, step_y_ = w; break;
    }
}

void Placement::Place(const uint8_t* rows, int y0, int count, int x0, int x1, uint8_t* pixels) const
{
    auto copy = [&](int x, int y) {
        const uint8_t* src = rows + (ptrdiff_t(y) * width_ + x) * 3;
        uint8_t* dst = pixels + (origin_ + x * step_x_ + ptrdiff_t(y0 + y) * step_y_) * 3;
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    };
    // Walk in the order that writes neighbouring output pixels one after another.
    if (step_y_ == 1 || step_y_ == -1) {
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < count; ++y) copy(x, y);
    } else {
        for (int y = 0; y < count; ++y)
            for (int x = x0; x < x1; ++x) copy(x, y);
    }
}

}  // namespace picdll::jpeg
