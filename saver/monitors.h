// The monitors of the full-screen saver: covering the ones other than the primary one, or
// giving each its own show.
#pragma once
#include <vector>

struct ScreenRect {
    int left;
    int top;
    int right;   // exclusive
    int bottom;  // exclusive

    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const ScreenRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The parts of the other monitors that the primary screen (the saver's own window) does
// not cover, as rectangles in virtual-screen coordinates; a monitor that mirrors or lies
// inside the primary screen needs none.
std::vector<ScreenRect> CoverRects(const ScreenRect& primary, const std::vector<ScreenRect>& monitors);

// The show areas when every monitor shows pictures, in the order a round changes them:
// the primary screen first, then every other monitor as enumerated. A monitor that mirrors
// another (or the primary screen) adds nothing, nor does an empty one.
std::vector<ScreenRect> ShowRects(const ScreenRect& primary, const std::vector<ScreenRect>& monitors);
