// Effects 9, 25 and 33-36: blocks or lines at random places, then a full stroke over what
// they covered, so that even a stop leaves the area complete. Every position is drawn
// from the one generator in a fixed order (x before y), which fixes the whole trace.
#include "base/random.h"
#include "effects/sequences/sequences.h"

// 8 x 8 blocks on an 8-pixel lattice whose last column and row may lie just outside the
// area; a pump after every block, no pause.
void RandomBlockDissolve(Brush& b, int W, int H)
{
    for (int i = 0; i < 70000; ++i) {
        const int x = RandomValue() % (W / 8 + 1) * 8;
        const int y = RandomValue() % (H / 8 + 1) * 8;
        b.Paint(x, y, 8, 8);
        if (b.Pump()) break;
    }
    b.Paint(0, 0, W, H);
}

// Eight random rows and eight random columns, 2 pixels thick, per frame.
void RandomLineDissolve(Brush& b, int W, int H)
{
    for (int k = 0; k < H / 4; ++k) {
        for (int i = 0; i < 8; ++i) {
            b.Paint(0, RandomValue() % (H + 1), W, 2);
            b.Paint(RandomValue() % (W + 1), 0, 2, H);
        }
        if (!b.EndFrame(1)) break;
    }
    b.Paint(0, 0, W, H);
}

// Band dissolves: bands 20 thick, each scattered with 120 blocks of 8 x 8 on a 10-pixel
// lattice and then painted whole. A stop ends only the current band's scatter; as it
// stays in force, each later band stops after its first 25 blocks and is still painted.

namespace {

struct Block {
    int x, y;
};

// A block inside the horizontal band at y = band.
Block InRowBand(int W, int band)
{
    const int x = RandomValue() % (W / 10 + 1) * 10;
    const int y = band + RandomValue() % 2 * 10;
    return {x, y};
}

// A block inside the vertical band at x = band.
Block InColumnBand(int H, int band)
{
    const int x = band + RandomValue() % 2 * 10;
    const int y = RandomValue() % (H / 10 + 1) * 10;
    return {x, y};
}

// 120 blocks from place(), with a pump after every 25th and a pause unless it stopped.
template <class Place>
void ScatterBand(Brush& b, Place place)
{
    for (int k = 1; k <= 120; ++k) {
        const Block block = place();
        b.Paint(block.x, block.y, 8, 8);
        if (k % 25 == 0 && !b.EndFrame(1)) return;
    }
}

}  // namespace

void BandDissolveDownward(Brush& b, int W, int H)
{
    for (int band = 0; band < H + 20; band += 20) {
        ScatterBand(b, [&] { return InRowBand(W, band); });
        b.Paint(0, band, W, 20);
    }
}

void BandDissolveRightward(Brush& b, int W, int H)
{
    for (int band = 0; band < W + 20; band += 20) {
        ScatterBand(b, [&] { return InColumnBand(H, band); });
        b.Paint(band, 0, 20, H);
    }
}

void BandDissolveUpward(Brush& b, int W, int H)
{
    for (int band = H - 20; band > -40; band -= 20) {
        ScatterBand(b, [&] { return InRowBand(W, band); });
        b.Paint(0, band, W, 20);
    }
}

void BandDissolveLeftward(Brush& b, int W, int H)
{
    for (int band = W - 20; band > -40; band -= 20) {
        ScatterBand(b, [&] { return InColumnBand(H, band); });
        b.Paint(band, 0, 20, H);
    }
}
