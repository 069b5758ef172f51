// What every effect shares, over all 41 numbers, both modes and several screen shapes:
// what a run covers, how it answers a stop, that it repeats, that the finishing stroke
// completes it, and that no size makes it loop for ever.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/unit/recording_canvas.h"

namespace {

using K = TraceOp::Kind;

struct Size {
    int width, height;
};

// The cells the descriptions say a run to the end leaves uncovered. `exact`: these and
// no others; otherwise the description only says that some part stays uncovered, which
// includes these.
struct Gaps {
    bool exact = true;
    std::function<bool(int x, int y)> cells = [](int, int) { return false; };
};

Gaps DocumentedGaps(int effect, int W, int H)
{
    const int hw = W / 2, hh = H / 2;
    const bool oddW = W % 2, oddH = H % 2;
    switch (effect) {
    case 10: {  // where a pitch is odd, blocks of half of it miss a line per grid cell
        const int px = W / 10, py = H / 10, bw = W / 20, bh = H / 20;
        return {true, [=](int x, int y) { return x % px >= 2 * bw || y % py >= 2 * bh; }};
    }
    case 16: {  // the last square is 2D x 2D around the centre
        const int D = std::max(W, H) / 2 / 4 * 4;
        return {true, [=](int x, int y) { return x < hw - D || x >= hw + D || y < hh - D || y >= hh + D; }};
    }
    case 18:
        return {true, [=](int x, int) { return oddW && x % 2; }};
    case 19:
        return {true, [=](int, int y) { return oddH && y % 2; }};
    case 20:  // on the shapes tested here rows and columns cover for each other
        return {true, [=](int x, int y) { return oddW && oddH && x % 2 && y % 2; }};
    case 37:
    case 38:
        return {true, [=](int x, int y) {
                    return (oddW && ((x == hw && y < hh) || (x == W - 1 && y >= hh))) ||
                           (oddH && ((y == hh && x >= hw) || (y == H - 1 && x < hw)));
                }};
    }
    if (effect == 21 && W == H && W % 10 == 0) return {true, [](int x, int y) { return x / 10 == y / 10; }};
    if (H <= W) return {};
    switch (effect) {  // higher than wide: the effects bounded by W alone stop short
    case 21:
    case 22:
    case 23:
        return {false};  // bands along the diagonals
    case 24:
        return {false, [=](int x, int y) { return (x == 0 || x == W - 1) && (y == 0 || y == H - 1); }};
    case 26:
        return {true, [=](int, int y) { return y >= W + 10; }};
    case 27:
        return {true, [=](int, int y) { return y >= W + 20; }};
    case 28:
        return {true, [=](int, int y) { return y < H - W; }};
    case 29:
        return {true, [=](int, int y) { return y < H - W - 10; }};
    }
    return {};
}

class EffectShared : public testing::TestWithParam<std::tuple<int, EffectMode, Size>> {
protected:
    const int effect = std::get<0>(GetParam());
    const EffectMode mode = std::get<1>(GetParam());
    const int W = std::get<2>(GetParam()).width, H = std::get<2>(GetParam()).height;

    void CheckWhatFollowsAStop(const Trace& full, int k) const;
};

TEST_P(EffectShared, RunToTheEnd)
{
    const Trace full = RunTrace(effect, mode, W, H);
    EXPECT_TRUE(full.finished);
    for (const TraceOp& op : full.ops) {  // clearing only paints black; only pushes move pixels
        ASSERT_EQ(op.kind == K::Black, IsDrawing(op) && mode == EffectMode::Clear);
        ASSERT_TRUE(op.kind != K::Move || effect >= 37);
    }

    const Coverage coverage(full.ops, W, H);
    const Gaps gaps = DocumentedGaps(effect, W, H);
    std::vector<std::pair<int, int>> wrong;  // cells where the run and the description disagree
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if ((gaps.exact || gaps.cells(x, y)) && coverage.Covered(x, y) == gaps.cells(x, y))
                wrong.emplace_back(x, y);
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " cells, the first " << wrong[0].first << "," << wrong[0].second;
    EXPECT_TRUE(gaps.exact || !coverage.All());

    EXPECT_TRUE(RunTrace(effect, mode, W, H).ops == full.ops);  // same seed, same run

    // The finishing stroke follows every frame and covers the whole area.
    const Trace complete = RunTrace(effect, mode, W, H, 0, Finish::Completely);
    std::vector<TraceOp> expected = full.ops;
    if (effect != 0) expected.push_back({mode == EffectMode::Transition ? K::Copy : K::Black, {0, 0, W, H}});
    EXPECT_TRUE(complete.finished);
    EXPECT_TRUE(complete.ops == expected);
    EXPECT_TRUE(Coverage(complete.ops, W, H).All());
}

// The k-th pump answers stop, and so does every later one.
void EffectShared::CheckWhatFollowsAStop(const Trace& full, int k) const
{
    const Trace stopped = RunTrace(effect, mode, W, H, k);
    EXPECT_FALSE(stopped.finished);
    EXPECT_TRUE(RunTrace(effect, mode, W, H, k, Finish::Completely).ops == stopped.ops);  // no finishing stroke

    size_t at = 0;  // the k-th pump; all before it is as in the full run
    for (int seen = 0; seen < k; ++at) seen += stopped.ops[at].kind == K::Pump;
    ASSERT_TRUE(std::equal(stopped.ops.begin(), stopped.ops.begin() + at, full.ops.begin()));
    const Trace tail{{stopped.ops.begin() + at, stopped.ops.end()}};
    EXPECT_TRUE(tail.PauseLengths().empty());  // a stop always skips the pause

    const auto frames = full.Frames();
    std::vector<Rect> expected;
    int pumps = 0;
    switch (effect) {
    case 9:
    case 25:  // the random phase ends; the whole area follows
        expected = {{0, 0, W, H}};
        break;
    case 33:
    case 34:
    case 35:
    case 36: {  // this band is still filled; every later band gets 25 blocks, a pump and its fill
        const std::vector<Rect> all = full.Rects();
        std::vector<Rect> fills;  // each band's 121st rectangle
        for (size_t i = 120; i < all.size(); i += 121) fills.push_back(all[i]);
        const size_t band = (k - 1) / 4, later = fills.size() - band - 1;
        std::vector<Rect> tailFills;
        size_t blocks = 0;
        for (const Rect& r : tail.Rects()) {
            if (r.w == 8 && r.h == 8)
                ++blocks;
            else
                tailFills.push_back(r);
        }
        EXPECT_EQ(tailFills, std::vector<Rect>(fills.begin() + band, fills.end()));
        EXPECT_EQ(blocks, 25 * later);
        EXPECT_EQ(tail.Pumps(), static_cast<int>(later));
        return;
    }
    case 37:
    case 38: {  // the running move or loop ends; each later one draws its first frame
        std::vector<int> starts = {0};  // frame index where each move (37) or loop (38) begins
        for (int L : effect == 37 ? std::vector<int>{H / 2, H / 2, W / 2, W / 2} : std::vector<int>{H / 2, W / 2})
            starts.push_back(starts.back() + (L + 39) / 20);
        for (size_t m = 1; m + 1 < starts.size(); ++m)
            if (k <= starts[m]) {
                expected.insert(expected.end(), frames[starts[m]].begin(), frames[starts[m]].end());
                ++pumps;
            }
        break;
    }
    }
    EXPECT_EQ(tail.Rects(), expected);
    EXPECT_EQ(tail.Pumps(), pumps);
}

TEST_P(EffectShared, StopAnswers)
{
    const Trace full = RunTrace(effect, mode, W, H);
    const int pumps = full.Pumps();
    if (pumps == 0) {  // effect 0 never asks
        EXPECT_TRUE(RunTrace(effect, mode, W, H, 1).ops == full.ops);
        return;
    }
    for (int k : {1, (pumps + 1) / 2, pumps}) {
        SCOPED_TRACE(testing::Message() << "stop from pump " << k << " of " << pumps);
        CheckWhatFollowsAStop(full, k);
    }
}

std::string CaseName(const testing::TestParamInfo<EffectShared::ParamType>& info)
{
    const auto& [effect, mode, size] = info.param;
    return "effect" + std::to_string(effect) + "_" + ModeName(mode) + "_" + std::to_string(size.width) + "x" +
           std::to_string(size.height);
}

const Size kSizes[] = {{640, 480}, {1366, 768}, {1920, 1080}, {641, 481}, {480, 640}, {480, 360}};
INSTANTIATE_TEST_SUITE_P(Effects, EffectShared,
                         testing::Combine(testing::Range(0, kLastEffect + 1), testing::ValuesIn(kBothModes),
                                          testing::ValuesIn(kSizes)),
                         CaseName);

// Shapes where particular effects are documented to leave more.
std::vector<std::tuple<int, EffectMode, Size>> GapCases()
{
    const std::tuple<int, Size> cases[] = {{10, {1152, 864}}, {10, {1680, 1050}}, {16, {642, 480}},
                                           {16, {480, 642}},  {16, {800, 600}},   {21, {400, 400}},
                                           {18, {641, 480}},  {19, {640, 481}},   {20, {641, 480}}};
    std::vector<std::tuple<int, EffectMode, Size>> all;
    for (const auto& [effect, size] : cases)
        for (EffectMode mode : kBothModes) all.emplace_back(effect, mode, size);
    return all;
}
INSTANTIATE_TEST_SUITE_P(EffectGaps, EffectShared, testing::ValuesIn(GapCases()), CaseName);

// Smaller than a grid step, empty or negative: every effect ends, and the finishing
// stroke still covers what there is.
TEST(EffectTinyAreas, EveryEffectEnds)
{
    const Size sizes[] = {{0, 0}, {1, 1}, {5, 5}, {9, 30}, {30, 9}, {0, 50}, {50, 0}, {-5, -8}};
    for (const Size& s : sizes)
        for (int effect = 0; effect <= kLastEffect; ++effect)
            for (EffectMode mode : kBothModes) {
                SCOPED_TRACE(testing::Message() << "effect " << effect << " on " << s.width << "x" << s.height);
                RecordingCanvas canvas(0, 1'000'000);
                bool finished = false;
                ASSERT_NO_THROW(finished = RunEffectCompletely(effect, mode, s.width, s.height, canvas));
                EXPECT_TRUE(finished);
                EXPECT_TRUE(s.width <= 0 || s.height <= 0 || Coverage(canvas.ops, s.width, s.height).All());
            }
    // Below 10 pixels effect 10 steps by one pixel; from 10 on its pitch is its own.
    EXPECT_EQ(RunTrace(10, EffectMode::Clear, 9, 30).Frames()[0].size(), 9u * 10);
    EXPECT_EQ(RunTrace(10, EffectMode::Clear, 10, 30).Frames()[0][1], (Rect{1, 0, 0, 1}));
}

TEST(EffectNumbers, OutsideTheCatalogueDrawNothing)
{
    for (int number : {-1, 41, INT_MIN, INT_MAX})
        for (EffectMode mode : kBothModes) {
            RecordingCanvas canvas(1);
            EXPECT_TRUE(RunEffect(number, mode, 640, 480, canvas));
            EXPECT_TRUE(RunEffectCompletely(number, mode, 640, 480, canvas));
            EXPECT_TRUE(canvas.ops.empty());
            EXPECT_EQ(EffectName(number), nullptr);
        }
    EXPECT_STREQ(EffectName(40), "Interlaced push from the right");
}

}  // namespace
