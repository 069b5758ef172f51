// Effects 1-6 and 11-20: straight strips, rows as wide as the area or columns as high.
#include <algorithm>

#include "effects/sequences/sequences.h"

void ColumnWipeLeftToRight(Brush& b, int W, int H)
{
    for (int d = 0; d < W + 10; d += 10) {
        b.Paint(d, 0, 10, H);
        if (!b.EndFrame(1)) return;
    }
}

void ColumnWipeRightToLeft(Brush& b, int W, int H)
{
    for (int d = 0; d < W + 10; d += 10) {
        b.Paint(W - d - 10, 0, 10, H);
        if (!b.EndFrame(1)) return;
    }
}

void RowWipeTopToBottom(Brush& b, int W, int H)
{
    for (int d = 0; d < H + 10; d += 10) {
        b.Paint(0, d, W, 10);
        if (!b.EndFrame(1)) return;
    }
}

void RowWipeBottomToTop(Brush& b, int W, int H)
{
    // The first row lies just below the area.
    for (int d = H; d > -20; d -= 10) {
        b.Paint(0, d, W, 10);
        if (!b.EndFrame(1)) return;
    }
}

// Pass p adds the line at offset p of every 10-pixel group.
void VerticalBlinds(Brush& b, int W, int H)
{
    for (int p = 0; p < 10; ++p) {
        for (int x = 0; x < W + 10; x += 10) b.Paint(x + p, 0, 1, H);
        if (!b.EndFrame(40)) return;
    }
}

void HorizontalBlinds(Brush& b, int W, int H)
{
    for (int p = 0; p < 10; ++p) {
        for (int y = 0; y < H + 10; y += 10) b.Paint(0, y + p, W, 1);
        if (!b.EndFrame(40)) return;
    }
}

void RowsClosingFromTopAndBottom(Brush& b, int W, int H)
{
    for (int d = 0; d < H / 2 + 5; d += 5) {
        b.Paint(0, d, W, 5);
        b.Paint(0, H - d, W, 5);
        if (!b.EndFrame(1)) return;
    }
}

void ColumnsClosingFromLeftAndRight(Brush& b, int W, int H)
{
    for (int d = 0; d < W / 2 + 5; d += 5) {
        b.Paint(d, 0, 5, H);
        b.Paint(W - d, 0, 5, H);
        if (!b.EndFrame(1)) return;
    }
}

void RowsOpeningFromTheMiddle(Brush& b, int W, int H)
{
    for (int d = 0; d < H / 2 + 5; d += 5) {
        b.Paint(0, H / 2 + d, W, 5);
        b.Paint(0, H / 2 - d, W, 5);
        if (!b.EndFrame(1)) return;
    }
}

void ColumnsOpeningFromTheMiddle(Brush& b, int W, int H)
{
    for (int d = 0; d < W / 2 + 5; d += 5) {
        b.Paint(W / 2 + d, 0, 5, H);
        b.Paint(W / 2 - d, 0, 5, H);
        if (!b.EndFrame(1)) return;
    }
}

// Effects 15 to 17 run to half the longer side, M.

void FrameClosingFromAllEdges(Brush& b, int W, int H)
{
    const int M = std::max(W, H);
    for (int d = 0; d < M / 2 + 1; d += 4) {
        b.Paint(d, 0, 4, H);
        b.Paint(W - d, 0, 4, H);
        b.Paint(0, d, W, 4);
        b.Paint(0, H - d, W, 4);
        if (!b.EndFrame(1)) return;
    }
}

// Ends with a square of side 2D, D the largest multiple of 4 not above M/2: unless M/2
// is a multiple of 4, up to 3 lines on each side along the longer dimension stay as
// they were.
void SquareOpeningFromTheCentre(Brush& b, int W, int H)
{
    const int M = std::max(W, H);
    for (int d = 0; d < M / 2 + 1; d += 4) {
        b.Paint(W / 2 - d, H / 2 - d, 2 * d, 2 * d);
        if (!b.EndFrame(1)) return;
    }
}

void CrossOpeningFromTheCentre(Brush& b, int W, int H)
{
    const int M = std::max(W, H);
    for (int d = 0; d < M / 2 + 1; d += 4) {
        b.Paint(0, H / 2 + d, W, 4);
        b.Paint(0, H / 2 - d, W, 4);
        b.Paint(W / 2 + d, 0, 4, H);
        b.Paint(W / 2 - d, 0, 4, H);
        if (!b.EndFrame(1)) return;
    }
}

// Effects 18 to 20: two sweeps of one-pixel lines from opposite sides, each taking every
// other line, so an odd size puts both sweeps on the even lines and the odd ones are
// never reached. They pace themselves only every third step, in differing orders.

void InterleavedColumns(Brush& b, int W, int H)
{
    for (int d = 0, k = 0; d < W + 2; d += 2) {
        b.Paint(W - d + 1, 0, 1, H);
        b.Paint(d, 0, 1, H);
        if (++k % 3 == 0) {
            b.Pause(1);  // the only effect that pauses before it pumps
            if (b.Pump()) return;
        }
    }
}

void InterleavedRows(Brush& b, int W, int H)
{
    for (int d = 0, k = 0; d < H + 2; d += 2) {
        b.Paint(0, H - d - 1, W, 1);
        b.Paint(0, d, W, 1);
        if (++k % 3 == 0 && !b.EndFrame(1)) return;
    }
}

// The rows follow the columns' width bound, so they run on past the edges (or stop
// short of them on an area higher than wide); note H - d + 1 here, not H - d - 1 as in 19.
void InterleavedRowsAndColumns(Brush& b, int W, int H)
{
    for (int d = 0, k = 0; d < W + 2; d += 2) {
        b.Paint(0, H - d + 1, W, 1);
        b.Paint(0, d, W, 1);
        b.Paint(W - d + 1, 0, 1, H);
        b.Paint(d, 0, 1, H);
        if (++k % 3 == 0 && !b.EndFrame(1)) return;
    }
}
