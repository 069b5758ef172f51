// Puts the rows of the picture as stored where they belong in the upright picture.
#pragma once
#include <cstddef>
#include <cstdint>

namespace picdll::jpeg {

class Placement {
public:
    // `width` x `height` is the stored size; `orientation` is EXIF's, 1..8.
    Placement(int orientation, int width, int height);

    int upright_width() const { return upright_width_; }
    int upright_height() const { return upright_height_; }
    // True when every stored pixel stays where it is.
    bool identity() const { return origin_ == 0 && step_x_ == 1 && step_y_ == width_; }

    // Copies columns [x0, x1) of `count` stored rows starting at row `y0` (packed RGB,
    // whole rows) into the upright picture.
    void Place(const uint8_t* rows, int y0, int count, int x0, int x1, uint8_t* pixels) const;

private:
    int width_;
    int upright_width_, upright_height_;
    // Stored pixel (x, y) lands at pixel origin_ + x * step_x_ + y * step_y_ of the output.
    ptrdiff_t origin_, step_x_, step_y_;
};

}  // namespace picdll::jpeg
