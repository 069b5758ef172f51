// Every allocation the decoders, the size queries, the resampler and the quantiser make
// may fail: the call then reports a failure (or a refused picture) and leaks nothing, which
// the sanitizer build checks. Each case runs once per allocation it makes, the n-th one
// failing, until a run makes no more than n. This test program counts allocations by
// replacing the global operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "picdll/decode.h"
#include "picdll/imaging.h"
#include "tests/native/jpeg_test_support.h"
#include "tests/unit/bmp_test_support.h"

namespace {

long g_failAt = -1;  // the allocation to fail, counting down; -1: none
bool g_failed = false;

}  // namespace

void* operator new(size_t size)
{
    if (g_failAt >= 0 && g_failAt-- == 0) {
        g_failed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// What asks without throwing (a sort's scratch memory) copes with none by design.
void* operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
// Kept out of line, so the compiler does not take them for the library's own and object
// to free() releasing what operator new gave.
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

// Runs `call` with its first, second, ... allocation failing; `call` returns whether it
// succeeded, and must not when one of its allocations failed.
int FailEachAllocation(const std::function<bool()>& call)
{
    for (long n = 0;; ++n) {
        g_failed = false;
        g_failAt = n;
        const bool succeeded = call();
        g_failAt = -1;
        if (!g_failed) {
            EXPECT_TRUE(succeeded) << "with no allocation failing";
            return int(n);
        }
        EXPECT_FALSE(succeeded) << "allocation " << n << " failed unnoticed";
    }
}

bool Decodes(picdll::DecodeStatus (*decode)(const uint8_t*, size_t, picdll::DecodeTarget&, std::string*),
             const std::vector<uint8_t>& file)
{
    jpeg_test::MemoryTarget target;
    std::string why;
    const picdll::DecodeStatus status = decode(file.data(), file.size(), target, &why);
    EXPECT_TRUE(status != picdll::DecodeStatus::Failed || !why.empty());
    return status == picdll::DecodeStatus::Ok;
}

TEST(AllocationFailure, JpegDecodesAndSizeQueries)
{
    if (!jpeg_test::HaveReference()) GTEST_SKIP() << "libjpeg is needed to make the files";
    const jpeg_test::Rgb photo = jpeg_test::SyntheticPhoto(96, 64);
    jpeg_test::EncodeOptions progressive;
    progressive.progressive = true;
    for (const jpeg_test::EncodeOptions& options : {jpeg_test::EncodeOptions(), progressive}) {
        std::vector<uint8_t> file;
        ASSERT_TRUE(jpeg_test::EncodeWithLibjpeg(photo, options, file));
        // The coefficients of a progressive frame are among its allocations.
        EXPECT_GT(FailEachAllocation([&] { return Decodes(picdll::DecodeJpeg, file); }), 3);
        FailEachAllocation([&] {
            picdll::Dimensions dims;
            return picdll::JpegDimensions(file.data(), file.size(), dims);
        });
    }
}

TEST(AllocationFailure, BmpDecodes)
{
    bmptest::BmpRecipe recipe;
    recipe.width = 7;
    recipe.height = 3;
    recipe.bits = 16;
    recipe.compression = 3;
    recipe.masks = {0xF800, 0x07E0, 0x001F};
    recipe.pixels.assign(16 * 3, 0x5A);
    const std::vector<uint8_t> file = bmptest::BuildBmp(recipe);
    EXPECT_GT(FailEachAllocation([&] { return Decodes(picdll::DecodeBmp, file); }), 0);
}

TEST(AllocationFailure, ResizeAndQuantise)
{
    const jpeg_test::Rgb photo = jpeg_test::SyntheticPhoto(64, 48);
    std::vector<uint8_t> out(128 * 96 * 3);
    for (int scale : {2, -2}) {
        const int w = scale > 0 ? 128 : 32, h = scale > 0 ? 96 : 24;
        EXPECT_GT(FailEachAllocation([&] { return picdll::ResizeRGB(photo.pixels.data(), 64, 48, out.data(), w, h); }), 0);
    }
    std::vector<uint8_t> indices(64 * 48);
    picdll::PaletteEntry table[236];
    // Few colours are mapped exactly; many are chosen among and dithered.
    const std::vector<uint8_t> flat(64 * 48 * 3, 77);
    for (const std::vector<uint8_t>* rgb : {&flat, &photo.pixels})
        EXPECT_GT(FailEachAllocation([&] { return picdll::QuantiseRGB(rgb->data(), 64, 48, indices.data(), 236, table); }), 0);
}

}  // namespace
