#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "picdll/imaging.h"

namespace {

using picdll::PaletteEntry;

struct Picture {
    int width, height;
    std::vector<uint8_t> rgb;
};

Picture Make(int width, int height, const std::function<void(int, int, uint8_t*)>& paint)
{
    Picture p{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            paint(x, y, &p.rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]);
        }
    }
    return p;
}

uint8_t Clamp(double v) { return uint8_t(std::lround(std::fmin(std::fmax(v, 0), 255))); }

unsigned Hash(unsigned x, unsigned y) { return (x * 73856093u ^ y * 19349663u) * 2654435761u; }

// A sky, two soft blobs of colour, a hard-edged red block and +-12 levels of grain.
Picture PhotoLike()
{
    return Make(320, 240, [](int x, int y, uint8_t* p) {
        const double sky = y / 240.0;
        double c[3] = {90 + 120 * sky, 140 + 80 * sky, 230 - 60 * sky};
        const double blob[2][5] = {{80, 150, 200, 60, 40}, {230, 90, 30, 150, 50}};
        for (const auto& b : blob) {
            const double d2 = (x - b[0]) * (x - b[0]) + (y - b[1]) * (y - b[1]);
            const double k = std::exp(-d2 / 2500);
            for (int i = 0; i < 3; ++i) c[i] = c[i] * (1 - k) + b[2 + i] * k;
        }
        if (x > 150 && x < 190 && y > 170 && y < 220) c[0] = 220, c[1] = c[2] = 30;
        const double grain = double(Hash(unsigned(x), unsigned(y)) >> 24) / 255 * 24 - 12;
        for (int i = 0; i < 3; ++i) p[i] = Clamp(c[i] + grain);
    });
}

struct Result {
    std::vector<uint8_t> indices;
    std::vector<PaletteEntry> table;
};

Result Quantise(const Picture& p, int colours)
{
    Result r{std::vector<uint8_t>(size_t(p.width) * size_t(p.height)),
             std::vector<PaletteEntry>(256, PaletteEntry{1, 2, 3, 4})};
    picdll::QuantiseRGB(p.rgb.data(), p.width, p.height, r.indices.data(), colours, r.table.data());
    return r;
}

int Channel(const PaletteEntry& e, int c) { return c == 0 ? e.red : c == 1 ? e.green : e.blue; }

// Mean absolute difference per channel, per pixel and between 4 x 4 block averages; the
// second is what dithering must keep small.
struct Errors {
    double pixel, block;
};

Errors Measure(const Picture& p, const Result& r)
{
    Errors e{0, 0};
    for (size_t i = 0; i < r.indices.size(); ++i) {
        for (int c = 0; c < 3; ++c) {
            e.pixel += std::abs(Channel(r.table[r.indices[i]], c) - p.rgb[i * 3 + size_t(c)]);
        }
    }
    e.pixel /= 3.0 * double(r.indices.size());
    int blocks = 0;
    for (int by = 0; by + 4 <= p.height; by += 4) {
        for (int bx = 0; bx + 4 <= p.width; bx += 4, ++blocks) {
            for (int c = 0; c < 3; ++c) {
                int difference = 0;
                for (int y = by; y < by + 4; ++y) {
                    for (int x = bx; x < bx + 4; ++x) {
                        const size_t i = size_t(y) * size_t(p.width) + size_t(x);
                        difference += Channel(r.table[r.indices[i]], c) - p.rgb[i * 3 + size_t(c)];
                    }
                }
                e.block += std::abs(difference) / 16.0;
            }
        }
    }
    e.block /= 3.0 * blocks;
    return e;
}

}  // namespace

TEST(Quantise, LeavesLittleErrorOnPhotosAndGradients)
{
    struct Case {
        const char* name;
        Picture picture;
        Errors bound;
    } cases[] = {
        // The grain alone averages 6 levels; a palette that followed only the smooth colours
        // would leave about that much, so the chosen one must do better. 4 x 4 averages are
        // what the eye sees from a distance, and dithering must keep them within a level.
        {"photo-like", PhotoLike(), {5, 1}},
        // 256 greys in 236 entries: most greys are in the palette, but the lookup cells are
        // 4 levels wide, so a grey may be drawn up to 2 levels off.
        {"grey ramp",
         Make(1024, 64, [](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = uint8_t(x / 4); }),
         {2, 0.5}},
        // 65536 colours on a plane: 236 entries sit about 256 / sqrt(236) = 17 levels apart,
        // a mean error near 17 / 4 in the two channels that vary most.
        {"colour plane", Make(256, 256, [](int x, int y, uint8_t* p) {
             p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(255 - (x + y) / 2);
         }), {6, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Errors e = Measure(c.picture, Quantise(c.picture, 236));
        EXPECT_LT(e.pixel, c.bound.pixel);
        EXPECT_LT(e.block, c.bound.block);
    }
}

TEST(Quantise, PicturesWithFewEnoughColoursAreReproducedExactly)
{
    struct Case {
        int distinct, colours;
    } cases[] = {{236, 236}, {200, 256}, {2, 2}, {1, 236}, {1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.distinct << " colours into " << c.colours);
        // Neighbouring colours a level apart, which any dithering would blur together.
        const Picture p = Make(61, 37, [&](int x, int y, uint8_t* px) {
            const unsigned k = Hash(unsigned(x), unsigned(y)) % unsigned(c.distinct);
            px[0] = uint8_t(k), px[1] = uint8_t(k), px[2] = uint8_t(255 - k);
        });
        const Result r = Quantise(p, c.colours);
        for (size_t i = 0; i < r.indices.size(); ++i) {
            ASSERT_LT(r.indices[i], c.colours);
            for (int ch = 0; ch < 3; ++ch) {
                ASSERT_EQ(Channel(r.table[r.indices[i]], ch), p.rgb[i * 3 + size_t(ch)]) << i;
            }
        }
    }
}

TEST(Quantise, WritesIndicesBelowTheColoursAndExactlyThatManyTableEntries)
{
    const Picture photo = PhotoLike();
    const Picture dot = Make(1, 1, [](int, int, uint8_t* p) { p[0] = 10, p[1] = 200, p[2] = 30; });
    for (const Picture* p : {&photo, &dot}) {
        for (int colours : {1, 2, 236, 256}) {
            SCOPED_TRACE(testing::Message() << p->width << "x" << p->height << " into " << colours);
            const Result r = Quantise(*p, colours);
            for (uint8_t index : r.indices) ASSERT_LT(index, colours);
            for (int i = 0; i < 256; ++i) {
                const PaletteEntry& e = r.table[size_t(i)];
                if (i >= colours) {
                    EXPECT_EQ(e.reserved, 4) << "entry " << i << " is past the table";
                } else {
                    EXPECT_EQ(e.reserved, 0) << i;
                }
            }
        }
    }
    // The dot needs one entry; the others are black.
    const Result r = Quantise(dot, 236);
    EXPECT_EQ(r.indices[0], 0);
    EXPECT_TRUE(r.table[0].red == 10 && r.table[0].green == 200 && r.table[0].blue == 30);
    for (int i = 1; i < 236; ++i) {
        EXPECT_TRUE(r.table[size_t(i)].red == 0 && r.table[size_t(i)].green == 0 &&
                    r.table[size_t(i)].blue == 0) << i;
    }
}

TEST(Quantise, OneColourIsThePictureMean)
{
    const Picture p = Make(64, 64, [](int x, int, uint8_t* px) {
        px[0] = x < 32 ? 100 : 200, px[1] = 50, px[2] = x < 32 ? 0 : 10;
    });
    const PaletteEntry e = Quantise(p, 1).table[0];
    EXPECT_NEAR(e.red, 150, 1);
    EXPECT_NEAR(e.green, 50, 1);
    EXPECT_NEAR(e.blue, 5, 1);
}
