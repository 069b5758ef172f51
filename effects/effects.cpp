// The effect table: each number 0..40 with its name and the one sequence that draws it as
// a transition and as a clearing effect; running an effect through a canvas.
#include "effects/effects.h"

#include <algorithm>
#include <iterator>

#include "effects/sequences/sequences.h"

void PlainCopy(Brush& b, int W, int H) { b.Paint(0, 0, W, H); }

namespace {

struct CatalogueEntry {
    const char* name;
    EffectSequence run;
};

// Indexed by effect number.
const CatalogueEntry kCatalogue[] = {
    {"Plain copy", PlainCopy},
    {"Column wipe, left to right", ColumnWipeLeftToRight},
    {"Column wipe, right to left", ColumnWipeRightToLeft},
    {"Row wipe, top to bottom", RowWipeTopToBottom},
    {"Row wipe, bottom to top", RowWipeBottomToTop},
    {"Vertical blinds", VerticalBlinds},
    {"Horizontal blinds", HorizontalBlinds},
    {"Block snake from the bottom right", BlockSnakeFromBottomRight},
    {"Block snake from the top left", BlockSnakeFromTopLeft},
    {"Random block dissolve", RandomBlockDissolve},
    {"Four-phase block grid", FourPhaseBlockGrid},  // 10
    {"Rows closing from top and bottom", RowsClosingFromTopAndBottom},
    {"Columns closing from left and right", ColumnsClosingFromLeftAndRight},
    {"Rows opening from the middle", RowsOpeningFromTheMiddle},
    {"Columns opening from the middle", ColumnsOpeningFromTheMiddle},
    {"Frame closing from all four edges", FrameClosingFromAllEdges},
    {"Square opening from the centre", SquareOpeningFromTheCentre},
    {"Cross opening from the centre", CrossOpeningFromTheCentre},
    {"Interleaved columns from both sides", InterleavedColumns},
    {"Interleaved rows from both sides", InterleavedRows},
    {"Interleaved rows and columns", InterleavedRowsAndColumns},  // 20
    {"Diagonals from the top-right and bottom-left corners", DiagonalsFromTopRightAndBottomLeft},
    {"Diagonals from the top-left and bottom-right corners", DiagonalsFromTopLeftAndBottomRight},
    {"Diagonals from all four corners", DiagonalsFromAllCorners},
    {"Diamond from the centre", DiamondFromTheCentre},
    {"Random line dissolve", RandomLineDissolve},
    {"Square from the top-left corner", SquareFromTopLeft},
    {"Square from the top-right corner", SquareFromTopRight},
    {"Square from the bottom-left corner", SquareFromBottomLeft},
    {"Square from the bottom-right corner", SquareFromBottomRight},
    {"Block comb, alternate rows", CombOfRows},  // 30
    {"Block comb, alternate columns", CombOfColumns},
    {"Block comb, both at once", CombOfRowsAndColumns},
    {"Band dissolve, downward", BandDissolveDownward},
    {"Band dissolve, rightward", BandDissolveRightward},
    {"Band dissolve, upward", BandDissolveUpward},
    {"Band dissolve, leftward", BandDissolveLeftward},
    {"Quarters push in one after another", QuartersOneAfterAnother},
    {"Quarters push in by pairs", QuartersByPairs},
    {"Interlaced push from the left", InterlacedPushFromTheLeft},
    {"Interlaced push from the right", InterlacedPushFromTheRight},  // 40
};
static_assert(std::size(kCatalogue) == kLastEffect + 1);

bool InCatalogue(int number) { return number >= 0 && number <= kLastEffect; }

}  // namespace

bool RunEffect(int number, EffectMode mode, int width, int height, EffectCanvas& canvas)
{
    if (!InCatalogue(number)) return true;
    Brush brush(mode, canvas);
    // A negative size is an empty area; it would otherwise make a random effect's lattice
    // size zero or negative.
    kCatalogue[number].run(brush, std::max(width, 0), std::max(height, 0));
    return !brush.Stopped();
}

// Run to their end exactly as designed, several effects leave lines or corners of the
// previous picture on screen at common sizes: 16 at 1366 wide, 18 to 20 at odd sizes,
// 10 at 1680 x 1050, 21 to 29 on portrait screens, 37 and 38 at odd sizes. One last
// stroke over the whole area mends that, changes nothing where the frames already
// covered it, and leaves every frame before it as it was.
bool RunEffectCompletely(int number, EffectMode mode, int width, int height, EffectCanvas& canvas)
{
    if (!RunEffect(number, mode, width, height, canvas)) return false;
    if (number >= 1 && number <= kLastEffect)
        Brush(mode, canvas).Paint(0, 0, std::max(width, 0), std::max(height, 0));
    return true;
}

const char* EffectName(int number) { return InCatalogue(number) ? kCatalogue[number].name : nullptr; }
