// The worked examples of the effect descriptions, as transition and as clearing effect.
#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/recording_canvas.h"

namespace {

using K = TraceOp::Kind;

struct Example {
    int effect, width, height;
    int pumps, pauses, pauseMs;
    Rect first, last;  // the first and last rectangle drawn
};

const Example kExamples[] = {
    {1, 640, 480, 65, 65, 1, {0, 0, 10, 480}, {640, 0, 10, 480}},
    {2, 640, 480, 65, 65, 1, {630, 0, 10, 480}, {-10, 0, 10, 480}},  // ends left of the area
    {4, 640, 480, 50, 50, 1, {0, 480, 640, 10}, {0, -10, 640, 10}},  // starts below it
    {5, 640, 480, 10, 10, 40, {0, 0, 1, 480}, {649, 0, 1, 480}},
    {6, 640, 480, 10, 10, 40, {0, 0, 640, 1}, {0, 489, 640, 1}},
    {11, 640, 480, 49, 49, 1, {0, 0, 640, 5}, {0, 240, 640, 5}},
    {15, 640, 480, 81, 81, 1, {0, 0, 4, 480}, {0, 160, 640, 4}},
    {16, 640, 480, 81, 81, 1, {320, 240, 0, 0}, {0, -80, 640, 640}},  // empty first square
    {17, 640, 480, 81, 81, 1, {0, 240, 640, 4}, {0, 0, 4, 480}},
    {18, 640, 480, 107, 107, 1, {641, 0, 1, 480}, {640, 0, 1, 480}},  // 321 steps
    {19, 640, 480, 80, 80, 1, {0, 479, 640, 1}, {0, 480, 640, 1}},
    {20, 640, 480, 107, 107, 1, {0, 481, 640, 1}, {640, 0, 1, 480}},
    {7, 640, 480, 6, 89, 1, {580, 420, 60, 80}, {-20, -60, 60, 80}},
    {8, 640, 480, 6, 89, 1, {0, 0, 60, 80}, {600, 480, 60, 80}},  // last row below the area
    {8, 640, 600, 7, 102, 1, {0, 0, 60, 80}, {-60, 560, 60, 80}},
    {10, 640, 480, 3, 3, 70, {0, 0, 32, 24}, {576, 456, 32, 24}},
    {21, 640, 480, 64, 64, 1, {640, 0, 10, 10}, {630, 480, 10, 10}},  // first blocks off the area
    {22, 640, 480, 65, 65, 1, {0, 0, 10, 10}, {-10, 480, 10, 10}},
    {26, 640, 480, 65, 65, 10, {0, 0, 10, 10}, {0, 640, 640, 10}},
    {27, 640, 480, 66, 66, 10, {640, 0, 10, 10}, {-10, 650, 650, 10}},  // one frame more, from x = W
    {28, 640, 480, 65, 65, 10, {0, 480, 10, 10}, {640, -160, 10, 640}},
    {29, 640, 480, 66, 66, 10, {640, 480, 10, 10}, {-10, -170, 10, 650}},
    {30, 640, 480, 66, 66, 1, {0, 0, 10, 10}, {-10, 470, 10, 10}},
    // From seed 1 the generator gives 41, 18467, ...: x from the first, y from the second.
    {9, 640, 480, 70000, 0, 0, {328, 360, 8, 8}, {0, 0, 640, 480}},
    {9, 480, 360, 70000, 0, 0, {328, 168, 8, 8}, {0, 0, 480, 360}},
    {25, 640, 480, 120, 120, 1, {0, 41, 640, 2}, {0, 0, 640, 480}},
    {25, 640, 3, 0, 0, 0, {0, 0, 640, 3}, {0, 0, 640, 3}},  // below 4 rows: the full stroke alone
    {33, 640, 480, 100, 100, 1, {410, 10, 8, 8}, {0, 480, 640, 20}},  // 25 bands of 4 pumps
    {34, 640, 480, 132, 132, 1, {10, 430, 8, 8}, {640, 0, 20, 480}},
    {35, 640, 480, 100, 100, 1, {410, 470, 8, 8}, {0, -20, 640, 20}},
    {36, 640, 480, 132, 132, 1, {630, 430, 8, 8}, {-20, 0, 20, 480}},
    {37, 640, 480, 60, 60, 1, {0, 0, 320, 20}, {0, 240, 320, 240}},  // 13 + 13 + 17 + 17
    {38, 640, 480, 30, 30, 5, {0, 0, 320, 20}, {0, 240, 320, 240}},
    {39, 640, 480, 4, 68, 1, {0, 0, 40, 1}, {0, 479, 640, 1}},  // 17 frames a pass
    {40, 640, 480, 4, 68, 1, {600, 0, 40, 1}, {0, 479, 640, 1}},
};

TEST(EffectExamples, CountsAndEnds)
{
    for (const Example& e : kExamples)
        for (EffectMode mode : kBothModes) {
            SCOPED_TRACE(testing::Message() << "effect " << e.effect << " on " << e.width << "x" << e.height
                                            << ", " << ModeName(mode));
            const Trace t = RunTrace(e.effect, mode, e.width, e.height);
            EXPECT_EQ(t.Pumps(), e.pumps);
            EXPECT_EQ(t.PauseLengths(), std::vector<int>(e.pauses, e.pauseMs));
            const std::vector<Rect> rects = t.Rects();
            EXPECT_EQ(rects.front(), e.first);
            EXPECT_EQ(rects.back(), e.last);
        }
}

std::vector<int> Xs(const std::vector<Rect>& rects)
{
    std::vector<int> xs;
    for (const Rect& r : rects) xs.push_back(r.x);
    return xs;
}

std::vector<int> Steps(int from, int to, int step)
{
    std::vector<int> v;
    for (int i = from; step > 0 ? i <= to : i >= to; i += step) v.push_back(i);
    return v;
}

TEST(EffectExamples, FrameShapes)
{
    for (EffectMode mode : kBothModes) {
        SCOPED_TRACE(ModeName(mode));
        // 7: rows at y = 420 .. -60; x is not brought back when a row turns.
        const auto snake = RunTrace(7, mode, 640, 480).Frames();
        std::vector<int> rows;
        for (const auto& row : snake) rows.push_back(row.front().y);
        EXPECT_EQ(rows, Steps(420, -60, -80));
        EXPECT_EQ(Xs(snake[0]), Steps(580, -20, -60));
        EXPECT_EQ(Xs(snake[1]), Steps(-80, 640, 60));
        // 10: 100 blocks a pass, from the pass's origin.
        const auto grid = RunTrace(10, mode, 640, 480).Frames();
        const Rect origins[] = {{0, 0, 32, 24}, {32, 24, 32, 24}, {32, 0, 32, 24}, {0, 24, 32, 24}};
        for (int p = 0; p < 4; ++p) {
            EXPECT_EQ(grid[p].size(), 100u);
            EXPECT_EQ(grid[p][0], origins[p]);
            EXPECT_EQ(grid[p][11], (Rect{origins[p].x + 64, origins[p].y + 48, 32, 24}));
        }
        // 13 and 14 start with the same strip twice; 21 ends with 64 blocks on each line.
        for (int effect : {13, 14}) {
            const auto first = RunTrace(effect, mode, 640, 480).Frames()[0];
            EXPECT_TRUE(first.size() == 2 && first[0] == first[1]) << effect;
        }
        EXPECT_EQ(RunTrace(21, mode, 640, 480).Frames().back().size(), 128u);
        // 18: the right-hand sweep on odd columns, the left-hand one on even columns.
        const std::vector<int> columns = Xs(RunTrace(18, mode, 640, 480).Rects());
        for (size_t i = 0; i < columns.size(); ++i) ASSERT_EQ(columns[i] % 2, i % 2 == 0 ? 1 : 0);
    }
}

// Effect 9 picks from 81 x 61 places of an 8-pixel lattice, the last column and row
// outside the area; effect 25 draws 960 rows and 960 columns before its full stroke.
TEST(EffectExamples, RandomPlaces)
{
    const std::vector<Rect> blocks = RunTrace(9, EffectMode::Clear, 640, 480).Rects();
    int maxX = 0, maxY = 0;
    for (size_t i = 0; i + 1 < blocks.size(); ++i) {
        ASSERT_TRUE(blocks[i].x % 8 == 0 && blocks[i].y % 8 == 0 && blocks[i].x <= 640 && blocks[i].y <= 480);
        maxX = std::max(maxX, blocks[i].x), maxY = std::max(maxY, blocks[i].y);
    }
    EXPECT_TRUE(maxX == 640 && maxY == 480);
    EXPECT_EQ(RunTrace(25, EffectMode::Transition, 640, 480).Rects().size(), 2u * 960 + 1);
}

// 18 pauses before it pumps; 19 and 20 after.
TEST(EffectExamples, InterleavedSweepsPaceEveryThirdStep)
{
    const std::pair<int, std::vector<K>> cases[] = {{18, {K::Black, K::Pause, K::Pump, K::Black}},
                                                    {19, {K::Black, K::Pump, K::Pause, K::Black}},
                                                    {20, {K::Black, K::Pump, K::Pause, K::Black}}};
    for (const auto& [effect, expected] : cases) {
        const Trace t = RunTrace(effect, EffectMode::Clear, 640, 480);
        const size_t third = effect == 20 ? 11 : 5;  // the last line of the third step
        std::vector<K> kinds;
        for (size_t i = third; i < third + 4; ++i) kinds.push_back(t.ops[i].kind);
        EXPECT_EQ(kinds, expected) << effect;
    }
}

// The transition moves pixels; its clearing twin blackens where they land.
TEST(EffectExamples, PushesMoveThePicture)
{
    const Trace t = RunTrace(37, EffectMode::Transition, 641, 481);
    EXPECT_TRUE(t.ops[0] == (TraceOp{K::Move, {0, 220, 0, 0, 320, 20}}));  // bottom rows of the quarter at the top
    EXPECT_TRUE(t.ops[36] == (TraceOp{K::Move, {0, 0, 0, 0, 320, 240}}));   // A in place
    EXPECT_TRUE(t.ops[39] == (TraceOp{K::Move, {320, 240, 320, 461, 320, 20}}));
    // With an odd H, B lands a row low; with an odd W, C a column to the right.
    EXPECT_TRUE(t.ops[75] == (TraceOp{K::Move, {320, 240, 320, 241, 320, 240}}));
    EXPECT_TRUE(t.ops[126] == (TraceOp{K::Move, {320, 0, 321, 0, 320, 240}}));
    const TraceOp fromTheRight{K::Move, {0, 0, 600, 0, 40, 1}};
    EXPECT_TRUE(RunTrace(40, EffectMode::Transition, 640, 480).ops[0] == fromTheRight);
    EXPECT_TRUE(RunTrace(37, EffectMode::Clear, 641, 481).ops[75] == (TraceOp{K::Black, {320, 241, 320, 240}}));
}

// A quit already waiting: 25 blocks, a pump and the fill in every band of 33 to 36; one
// frame of each move of 37 and of each loop of 38. (The shared tests check every effect.)
TEST(EffectExamples, QuitAlreadyWaiting)
{
    for (EffectMode mode : kBothModes) {
        for (int effect : {33, 34, 35, 36}) {
            const auto groups = RunTrace(effect, mode, 640, 480, 1).Frames();
            const size_t bands = effect % 2 ? 25 : 33;
            ASSERT_EQ(groups.size(), bands + 1);
            EXPECT_EQ(groups[0].size(), 25u);
            for (size_t b = 1; b < bands; ++b) EXPECT_EQ(groups[b].size(), 26u);  // a fill, the next blocks
            EXPECT_EQ(groups[bands].size(), 1u);
        }
        const std::vector<Rect> quarters = {
            {0, 0, 320, 20}, {320, 460, 320, 20}, {620, 0, 20, 240}, {0, 240, 20, 240}};
        const Trace one = RunTrace(37, mode, 640, 480, 1), pairs = RunTrace(38, mode, 640, 480, 1);
        EXPECT_EQ(one.Rects(), quarters);
        EXPECT_EQ(pairs.Rects(), quarters);
        EXPECT_EQ(one.Pumps(), 4);
        EXPECT_EQ(pairs.Pumps(), 2);
    }
}

}  // namespace
