#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "picdll/imaging.h"
#include "picdll/imaging/resample_weights.h"

namespace {

struct Size {
    int width, height;
};

struct Resize {
    Size from, to;
};

std::ostream& operator<<(std::ostream& out, const Resize& r)
{
    return out << r.from.width << "x" << r.from.height << " -> " << r.to.width << "x"
               << r.to.height;
}

using Image = std::vector<uint8_t>;

Image Make(Size size, const std::function<uint8_t(int x, int y, int channel)>& value)
{
    Image image(size_t(size.width) * size_t(size.height) * 3);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const size_t pixel = size_t(y) * size_t(size.width) + size_t(x);
                image[pixel * 3 + size_t(c)] = value(x, y, c);
            }
        }
    }
    return image;
}

uint8_t At(const Image& image, Size size, int x, int y, int channel)
{
    return image[(size_t(y) * size_t(size.width) + size_t(x)) * 3 + size_t(channel)];
}

bool IsGuard(uint8_t v) { return v == 0xEE; }

// Resizes into a buffer with guard bytes after it, and checks they were not written.
Image Resized(const Image& source, const Resize& r, int reduction = 1)
{
    const size_t bytes = size_t(r.to.width) * size_t(r.to.height) * 3;
    Image out(bytes + 64, 0xEE);
    picdll::ResizeRGB(source.data(), r.from.width, r.from.height, out.data(), r.to.width,
                      r.to.height, reduction);
    EXPECT_TRUE(std::all_of(out.begin() + long(bytes), out.end(), IsGuard));
    out.resize(bytes);
    return out;
}

const Resize kShapes[] = {
    {{640, 480}, {97, 61}},    {{97, 61}, {640, 480}},   {{300, 200}, {157, 251}},  // mixed
    {{1, 100}, {1, 37}},       {{100, 1}, {301, 1}},     {{1, 1}, {64, 48}},
    {{1, 90}, {7, 300}},       {{5000, 3}, {1, 1}},      {{2, 2}, {3, 3}},
};

}  // namespace

TEST(Resample, AFlatPictureStaysExactlyFlat)
{
    for (const Resize& r : kShapes) {
        SCOPED_TRACE(testing::PrintToString(r));
        const Image flat = Make(r.from, [](int, int, int c) { return uint8_t(37 + 109 * c); });
        const Image out = Resized(flat, r);
        for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], 37 + 109 * int(i % 3)) << i;
    }
}

TEST(Resample, AOnePixelCheckerboardReducesToMidGrey)
{
    const Resize ratios[] = {
        {{100, 80}, {40, 32}},    // 2.5
        {{6000, 400}, {1920, 128}},  // 3.125, the usual photo reduction
        {{300, 200}, {157, 113}}, // below 2
        {{101, 99}, {67, 97}},    // barely reduced
        {{97, 61}, {31, 19}},
        {{1000, 9}, {3, 2}},
    };
    for (const Resize& r : ratios) {
        SCOPED_TRACE(testing::PrintToString(r));
        const Image board = Make(r.from, [](int x, int y, int) { return (x + y) % 2 ? 255 : 0; });
        const Image out = Resized(board, r);
        for (uint8_t v : out) ASSERT_NEAR(v, 127.5, 1);
    }
}

TEST(Resample, GradientsStayMonotonic)
{
    for (const Resize& r : kShapes) {
        SCOPED_TRACE(testing::PrintToString(r));
        // Red rises to the right, green rises downwards, blue falls to the right.
        const Image in = Make(r.from, [&](int x, int y, int c) {
            const int along = c == 1 ? y : x, size = c == 1 ? r.from.height : r.from.width;
            const int v = size > 1 ? along * 255 / (size - 1) : 128;
            return uint8_t(c == 2 ? 255 - v : v);
        });
        const Image out = Resized(in, r);
        for (int y = 0; y < r.to.height; ++y) {
            for (int x = 0; x < r.to.width; ++x) {
                if (x > 0) {
                    ASSERT_GE(At(out, r.to, x, y, 0), At(out, r.to, x - 1, y, 0)) << x << "," << y;
                    ASSERT_LE(At(out, r.to, x, y, 2), At(out, r.to, x - 1, y, 2)) << x << "," << y;
                }
                if (y > 0) {
                    ASSERT_GE(At(out, r.to, x, y, 1), At(out, r.to, x, y - 1, 1)) << x << "," << y;
                }
            }
        }
    }
}

TEST(Resample, AnUnchangedAxisIsCopiedExactly)
{
    const Size size{37, 23};
    auto hash = [](unsigned v) { return uint8_t(v * 2654435761u >> 24); };
    const Image noise = Make(size, [&](int x, int y, int c) { return hash(x * 73 + y * 151 + c); });
    EXPECT_EQ(Resized(noise, {size, size}), noise);

    // Rows that are all alike stay alike, and unchanged, when only the height changes.
    const Image rows = Make(size, [&](int x, int, int c) { return hash(x * 97 + c); });
    const Resize taller{size, {37, 50}};
    const Image out = Resized(rows, taller);
    for (int y = 0; y < 50; ++y) {
        ASSERT_TRUE(std::equal(rows.begin(), rows.begin() + 37 * 3, out.begin() + y * 37 * 3)) << y;
    }
}

TEST(Resample, SizesBelowOneLeaveTheOutputUntouched)
{
    const Image in(12, 9);
    Image out(12, 0xEE);
    picdll::ResizeRGB(in.data(), 2, 2, out.data(), 0, 2);
    picdll::ResizeRGB(in.data(), 0, 2, out.data(), 2, 2);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), IsGuard));
}

// The vector paths give to the bit what the weights describe: rows blended and rounded to
// 8 fractional bits, then columns, rounded and clamped.
TEST(Resample, GivesExactlyTheSumsOfItsWeights)
{
    using picdll::imaging::AxisWeights;
    using picdll::imaging::BuildAxisWeights;
    std::vector<Resize> shapes(std::begin(kShapes), std::end(kShapes));
    shapes.insert(shapes.end(), {{{1000, 50}, {541, 27}}, {{333, 17}, {333, 17}}, {{21, 40}, {50, 7}}});
    for (const Resize& r : shapes) {
        for (int reduction : {1, 2, 8}) {
            SCOPED_TRACE(testing::PrintToString(r) + " reduced by " + std::to_string(reduction));
            const Image in =
                Make(r.from, [](int x, int y, int c) { return uint8_t((x * 7919 + y * 104729 + c * 31) >> 3); });
            const Image out = Resized(in, r, reduction);
            const AxisWeights columns = BuildAxisWeights(r.from.width, r.to.width, reduction);
            const AxisWeights rows = BuildAxisWeights(r.from.height, r.to.height, reduction);
            // Sum of weight * value(source index) over the taps of output `i`.
            auto weigh = [](const AxisWeights& axis, int i, const auto& value) {
                const picdll::imaging::Taps& t = axis.taps[size_t(i)];
                int32_t sum = 0;
                for (int k = 0; k < t.count; ++k) sum += axis.weights[size_t(t.offset + k)] * value(t.first + k);
                return sum;
            };
            for (int y = 0; y < r.to.height; ++y) {
                for (int x = 0; x < r.to.width; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        const int32_t sum = weigh(columns, x, [&](int sx) {
                            return (weigh(rows, y, [&](int sy) { return At(in, r.from, sx, sy, c); }) + 32) >> 6;
                        });
                        ASSERT_EQ(At(out, r.to, x, y, c), std::clamp((sum + (1 << 21)) >> 22, 0, 255))
                            << x << "," << y;
                    }
                }
            }
        }
    }
}
