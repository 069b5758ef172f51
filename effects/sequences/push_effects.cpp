// Effects 37-40: pieces of the picture pushed in from an edge, leading edge first. As
// clearing effects they blacken the same destination rectangles.
#include <algorithm>

#include "effects/sequences/sequences.h"

namespace {

// The quarters are hW x hH at (0, 0), (hW, 0), (0, hH) and (hW, hH). A move runs
// t = 0, 20, ... while t < L + 20 with e = min(t, L - 20): each frame shows the part of
// the quarter nearest the centre lines at the outer edge, 20 pixels more each time,
// until the last frames land the whole quarter in its place. With an odd size a
// quarter is a line short of the half it fills, and move B lands one row low.
struct Quarters {
    int W, H, hW, hH;

    Quarters(int width, int height) : W(width), H(height), hW(width / 2), hH(height / 2) {}

    // Top-left quarter down from the top edge.
    void A(Brush& b, int e) const { b.PaintPushed(0, hH - e - 20, 0, 0, hW, e + 20); }
    // Bottom-right quarter up from the bottom edge.
    void B(Brush& b, int e) const { b.PaintPushed(hW, hH, hW, H - e - 20, hW, e + 20); }
    // Top-right quarter in from the right edge.
    void C(Brush& b, int e) const { b.PaintPushed(hW, 0, W - e - 20, 0, e + 20, hH); }
    // Bottom-left quarter in from the left edge.
    void D(Brush& b, int e) const { b.PaintPushed(hW - e - 20, hH, 0, hH, e + 20, hH); }
};

// Runs one move (or a pair of moves drawn together) over length L. A stop ends only this
// loop: the next one begins, and as the stop stays in force it draws a single frame.
template <class Frame>
void Loop(Brush& b, int L, int pauseMs, Frame frame)
{
    for (int t = 0; t < L + 20; t += 20) {
        frame(std::min(t, L - 20));
        if (!b.EndFrame(pauseMs)) return;
    }
}

}  // namespace

void QuartersOneAfterAnother(Brush& b, int W, int H)
{
    const Quarters q(W, H);
    Loop(b, q.hH, 1, [&](int e) { q.A(b, e); });
    Loop(b, q.hH, 1, [&](int e) { q.B(b, e); });
    Loop(b, q.hW, 1, [&](int e) { q.C(b, e); });
    Loop(b, q.hW, 1, [&](int e) { q.D(b, e); });
}

void QuartersByPairs(Brush& b, int W, int H)
{
    const Quarters q(W, H);
    Loop(b, q.hH, 5, [&](int e) {
        q.A(b, e);
        q.B(b, e);
    });
    Loop(b, q.hW, 5, [&](int e) {
        q.C(b, e);
        q.D(b, e);
    });
}

// Four passes, each pushing every fourth row (p, p + 4, ...) in from one side, 40 pixels
// further per frame; the last frames copy whole rows. A pause after every frame, but a
// pump only after a whole pass.
template <class Row>
static void InterlacedPush(Brush& b, int W, int H, Row row)
{
    for (int p = 0; p < 4; ++p) {
        for (int t = 0; t < W + 40; t += 40) {
            const int e = std::min(t, W - 40);
            for (int y = p; y < H; y += 4) row(y, e);
            b.Pause(1);
        }
        if (b.Pump()) return;
    }
}

void InterlacedPushFromTheLeft(Brush& b, int W, int H)
{
    InterlacedPush(b, W, H, [&](int y, int e) { b.PaintPushed(W - e - 40, y, 0, y, e + 40, 1); });
}

void InterlacedPushFromTheRight(Brush& b, int W, int H)
{
    InterlacedPush(b, W, H, [&](int y, int e) { b.PaintPushed(0, y, W - e - 40, y, e + 40, 1); });
}
