// Accuracy of the JPEG inverse DCT, and agreement of its vector and portable forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "picdll/jpeg/idct.h"

namespace {

using picdll::jpeg::InverseDct;
using picdll::jpeg::InverseDctFlat;
using picdll::jpeg::InverseDctPortable;
using picdll::jpeg::InverseDctReduced;
using picdll::jpeg::InverseDctReducedPortable;
using picdll::jpeg::InverseDctUneven;

const double kPi = std::acos(-1.0);

double Basis(int k, int n) { return (k == 0 ? std::sqrt(0.125) : 0.5) * std::cos((2 * n + 1) * k * kPi / 16); }

class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    int Next(int lo, int hi)  // inclusive
    {
        state_ = state_ * 1664525u + 1013904223u;
        return lo + int((uint64_t(state_ >> 8) * uint64_t(hi - lo + 1)) >> 24);
    }

private:
    uint32_t state_;
};

// The IEEE 1180 procedure: random sample blocks, an exact forward DCT rounded to
// integers, then our inverse against the exact inverse. Limits are the standard's.
TEST(JpegIdct, MeetsIeee1180Accuracy)
{
    for (int range : {128, 5}) {
        Lcg rng{uint32_t(range)};
        const int kBlocks = 10000;
        double sum_error[64] = {}, sum_square[64] = {};
        int peak = 0;
        for (int b = 0; b < kBlocks; ++b) {
            double samples[64];
            for (double& s : samples) s = rng.Next(-range, range - 1);
            int16_t coef[64];
            double exact[64];
            for (int v = 0; v < 8; ++v)
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int y = 0; y < 8; ++y)
                        for (int x = 0; x < 8; ++x) sum += samples[8 * y + x] * Basis(v, y) * Basis(u, x);
                    coef[8 * v + u] = int16_t(std::lround(sum));
                }
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    double sum = 0;
                    for (int v = 0; v < 8; ++v)
                        for (int u = 0; u < 8; ++u) sum += coef[8 * v + u] * Basis(v, y) * Basis(u, x);
                    exact[8 * y + x] = std::fmin(255, std::fmax(0, std::round(sum) + 128));
                }
            uint8_t out[64];
            InverseDct(coef, out, 8);
            for (int i = 0; i < 64; ++i) {
                double e = out[i] - exact[i];
                peak = std::max(peak, int(std::fabs(e)));
                sum_error[i] += e;
                sum_square[i] += e * e;
            }
        }
        double total_error = 0, total_square = 0;
        for (int i = 0; i < 64; ++i) {
            EXPECT_LE(sum_square[i] / kBlocks, 0.06) << "range " << range << " position " << i;
            EXPECT_LE(std::fabs(sum_error[i]) / kBlocks, 0.015) << "range " << range << " position " << i;
            total_error += sum_error[i];
            total_square += sum_square[i];
        }
        EXPECT_LE(peak, 1) << "range " << range;
        EXPECT_LE(total_square / (64.0 * kBlocks), 0.02) << "range " << range;
        EXPECT_LE(std::fabs(total_error) / (64.0 * kBlocks), 0.0015) << "range " << range;
    }
}

// Whatever the input, even damaged data at the int16 limits, both forms agree.
TEST(JpegIdct, VectorAndPortableAgree)
{
    Lcg rng(99);
    for (int b = 0; b < 20000; ++b) {
        int16_t coef[64];
        int limit = b % 3 == 0 ? 32767 : b % 3 == 1 ? 2048 : 64;
        for (int16_t& c : coef) c = int16_t(rng.Next(0, 3) == 0 ? rng.Next(-limit, limit) : 0);
        uint8_t vector[64], portable[64];
        InverseDct(coef, vector, 8);
        InverseDctPortable(coef, portable, 8);
        ASSERT_EQ(0, std::memcmp(vector, portable, 64)) << "block " << b;
    }
}

// The reduced transforms: w x h samples of the block's picture with its terms from w across
// and h down left out, taken at the centres of the 8/w x 8/h pixels each stands for (within
// one level of the exact value); square ones the vector form bit for bit the portable one and
// the uneven form too, a flat block at InverseDctFlat's level.
TEST(JpegIdct, ReducedTransformsSampleTheLowTerms)
{
    Lcg rng(7);
    const std::pair<int, int> sizes[] = {{4, 4}, {2, 2}, {1, 1}, {8, 4}, {4, 8}, {8, 2}, {2, 1},
                                         {1, 2}, {8, 1}, {6, 6}, {3, 3}, {6, 2}, {3, 1}, {2, 6}, {6, 4}};
    for (auto [w, h] : sizes) {
        for (int b = 0; b < 20000; ++b) {
            int16_t coef[64] = {};
            const int limit = b % 4 == 0 ? 32767 : b % 4 == 1 ? 2048 : 200;
            for (int16_t& c : coef) c = int16_t(rng.Next(0, 2) == 0 ? rng.Next(-limit, limit) : 0);
            uint8_t out[64], other[64];
            InverseDctUneven(coef, w, h, out, 8);
            if (w == h) {
                InverseDctReducedPortable(coef, w, other, 8);
                for (int y = 0; y < h; ++y) ASSERT_EQ(0, std::memcmp(out + 8 * y, other + 8 * y, size_t(w))) << w;
                InverseDctReduced(coef, w, out, 8);
                for (int y = 0; y < h; ++y) ASSERT_EQ(0, std::memcmp(out + 8 * y, other + 8 * y, size_t(w))) << w;
            }
            if (limit == 32767 || (limit == 2048 && w + h > 8)) continue;  // clipped between the passes
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    double sum = 0;
                    for (int v = 0; v < h; ++v)
                        for (int u = 0; u < w; ++u) {
                            // The centre of the pixels the sample stands for, in pixels.
                            const double py = 4.0 / h - 0.5 + 8.0 * y / h, px = 4.0 / w - 0.5 + 8.0 * x / w;
                            const double bv = (v == 0 ? std::sqrt(0.125) : 0.5) * std::cos((2 * py + 1) * v * kPi / 16);
                            const double bu = (u == 0 ? std::sqrt(0.125) : 0.5) * std::cos((2 * px + 1) * u * kPi / 16);
                            sum += coef[8 * v + u] * bv * bu;
                        }
                    const double exact = std::fmin(255, std::fmax(0, sum + 128));
                    ASSERT_LE(std::fabs(out[8 * y + x] - exact), 1.0) << w << "x" << h << " block " << b;
                }
        }
    }
    for (int dc = -32768; dc <= 32767; dc += 7) {
        int16_t coef[64] = {int16_t(dc)};
        uint8_t flat[64], reduced[64];
        InverseDctFlat(int16_t(dc), flat, 8);
        for (int n : {6, 4, 3, 2, 1}) {
            InverseDctReduced(coef, n, reduced, 8);
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x) ASSERT_EQ(reduced[8 * y + x], flat[0]) << "dc " << dc << " n " << n;
        }
    }
}

TEST(JpegIdct, FlatBlockMatchesFullTransform)
{
    for (int dc = -32768; dc <= 32767; dc += 7) {
        int16_t coef[64] = {int16_t(dc)};
        uint8_t full[64], flat[64];
        InverseDctPortable(coef, full, 8);
        InverseDctFlat(int16_t(dc), flat, 8);
        ASSERT_EQ(0, std::memcmp(full, flat, 64)) << "dc " << dc;
    }
}

}  // namespace
