// Effects 7, 8, 10, 21-24 and 26-32: blocks in fixed geometric patterns.
#include <algorithm>

#include "effects/sequences/sequences.h"

// Block snakes: 60 x 80 blocks run along a row and turn once x has left the area. x is
// not brought back, so every row after the first starts with a block outside the area.
// They pump only at row ends.

void BlockSnakeFromBottomRight(Brush& b, int W, int H)
{
    int x = W - 60, y = H - 60, dx = 60;
    for (;;) {
        b.Paint(x, y, 60, 80);
        b.Pause(1);
        x -= dx;
        if (x > W || x < -60) {
            dx = -dx;
            y -= 80;
            if (y < -80 || b.Pump()) return;
        }
    }
}

void BlockSnakeFromTopLeft(Brush& b, int W, int H)
{
    int x = 0, y = 0, dx = 60;
    for (;;) {
        b.Paint(x, y, 60, 80);
        b.Pause(1);
        x += dx;
        if (x > W || x < -60) {
            dx = -dx;
            y += 80;
            if (y > H || b.Pump()) return;
        }
    }
}

// Four passes of W/20 x H/20 blocks on a W/10 x H/10 pitch, each from its own origin.
// Where the pitch is odd a block is less than half of it and a line of every grid cell
// is never reached.
void FourPhaseBlockGrid(Brush& b, int W, int H)
{
    const int bw = W / 20, bh = H / 20;
    // Below 10 pixels the pitch would be 0 and a pass would never end; a pitch of 1 there
    // leaves every larger area's frames as they are.
    const int px = std::max(W / 10, 1), py = std::max(H / 10, 1);
    const struct {
        int ox, oy;
    } passes[] = {{0, 0}, {W / 20, H / 20}, {W / 20, 0}, {0, H / 20}};

    for (int pass = 0; pass < 4; ++pass) {
        for (int y = passes[pass].oy; y < H; y += py)
            for (int x = passes[pass].ox; x < W; x += px) b.Paint(x, y, bw, bh);
        if (pass < 3 && !b.EndFrame(70)) return;  // nothing follows the last pass
    }
}

// Diagonals: frame d draws lines of d/size + 1 blocks; block(d, a) paints the blocks of
// index j = a / size on each line.
template <class Blocks>
static void GrowDiagonals(Brush& b, int size, int bound, Blocks block)
{
    for (int d = 0, n = 1; d < bound; d += size, ++n) {
        for (int j = 0; j < n; ++j) block(d, j * size);
        if (!b.EndFrame(1)) return;
    }
}

// Bounded by W alone, like 22 to 24: on an area higher than wide the lines stop short.
void DiagonalsFromTopRightAndBottomLeft(Brush& b, int W, int H)
{
    GrowDiagonals(b, 10, W, [&](int d, int a) {
        b.Paint(W - d + a, a, 10, 10);
        b.Paint(a, H - d + a, 10, 10);
    });
}

void DiagonalsFromTopLeftAndBottomRight(Brush& b, int W, int H)
{
    GrowDiagonals(b, 10, W + 10, [&](int d, int a) {
        b.Paint(d - a, a, 10, 10);
        b.Paint(W - a - 10, H - d + a, 10, 10);
    });
}

void DiagonalsFromAllCorners(Brush& b, int W, int H)
{
    GrowDiagonals(b, 5, W + 5, [&](int d, int a) {
        b.Paint(d - a, a, 5, 5);
        b.Paint(W - a - 5, H - d + a, 5, 5);
        b.Paint(W - d + a, a, 5, 5);
        b.Paint(a, H - d + a, 5, 5);
    });
}

// The four edges of the diamond at distance d around (W/2, H/2).
void DiamondFromTheCentre(Brush& b, int W, int H)
{
    GrowDiagonals(b, 5, W + 5, [&](int d, int a) {
        b.Paint(W / 2 - d + a, H / 2 + a, 5, 5);
        b.Paint(W / 2 + a, H / 2 - d + a, 5, 5);
        b.Paint(W / 2 - d + a, H / 2 - a, 5, 5);
        b.Paint(W / 2 + d - a, H / 2 + a, 5, 5);
    });
}

// Corner squares: each frame adds the square's outer column and outer row, 10 thick.
// Bounded by W: on an area higher than wide the far rows are never reached. 27 and 29
// run one frame more than 26 and 28, the first outside the area.

void SquareFromTopLeft(Brush& b, int W, int)
{
    for (int d = 0; d < W + 10; d += 10) {
        b.Paint(d, 0, 10, d + 10);
        b.Paint(0, d, d, 10);
        if (!b.EndFrame(10)) return;
    }
}

void SquareFromTopRight(Brush& b, int W, int)
{
    for (int d = 0; d < W + 20; d += 10) {
        b.Paint(W - d, 0, 10, d + 10);
        b.Paint(W - d, d, d, 10);
        if (!b.EndFrame(10)) return;
    }
}

void SquareFromBottomLeft(Brush& b, int W, int H)
{
    for (int d = 0; d < W + 10; d += 10) {
        b.Paint(0, H - d, d + 10, 10);
        b.Paint(d, H - d, 10, d);
        if (!b.EndFrame(10)) return;
    }
}

void SquareFromBottomRight(Brush& b, int W, int H)
{
    for (int d = 0; d < W + 20; d += 10) {
        b.Paint(W - d, H - d, d + 10, 10);
        b.Paint(W - d, H - d, 10, d);
        if (!b.EndFrame(10)) return;
    }
}

// Combs: 10 x 10 teeth, alternate ones travelling in opposite directions.

// Rows at y = 0, 20, ... fill from the left, the rows between them from the right.
static void TeethFromLeftAndRight(Brush& b, int W, int H, int d)
{
    for (int y = 0; y < H; y += 20) {
        b.Paint(d, y, 10, 10);
        b.Paint(W - d, y + 10, 10, 10);
    }
}

// Columns at x = 0, 20, ... fill from the top, the columns between them from the bottom.
static void TeethFromTopAndBottom(Brush& b, int W, int H, int d)
{
    for (int x = 0; x < W; x += 20) {
        b.Paint(x, d, 10, 10);
        b.Paint(x + 10, H - d, 10, 10);
    }
}

void CombOfRows(Brush& b, int W, int H)
{
    for (int d = 0; d < W + 20; d += 10) {
        TeethFromLeftAndRight(b, W, H, d);
        if (!b.EndFrame(1)) return;
    }
}

void CombOfColumns(Brush& b, int W, int H)
{
    for (int d = 0; d < H + 20; d += 10) {
        TeethFromTopAndBottom(b, W, H, d);
        if (!b.EndFrame(1)) return;
    }
}

// Bounded by W: on an area higher than wide the columns stop short, the rows cover.
void CombOfRowsAndColumns(Brush& b, int W, int H)
{
    for (int d = 0; d < W + 20; d += 10) {
        TeethFromLeftAndRight(b, W, H, d);
        TeethFromTopAndBottom(b, W, H, d);
        if (!b.EndFrame(1)) return;
    }
}
