// A refining scan passes a reduced block's terms by their nonzero bits, without branches; the
// plain term-by-term pass over a whole block is the reference.
#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "picdll/jpeg/coefficients.h"

namespace {

using namespace picdll::jpeg;

// Random blocks, runs (some past the band's end, as damaged data gives) and correction bits:
// both passes end at the same term, take the same bits and leave the kept terms alike.
TEST(JpegRefine, ReducedBlocksPassTermsAsWholeOnesDo)
{
    std::mt19937 rng(5);
    for (auto [across, down] : {std::pair{8, 8}, {4, 4}, {6, 2}, {1, 1}}) {
        SCOPED_TRACE(testing::Message() << across << "x" << down);
        for (int round = 0; round < 2000; ++round) {
            uint8_t data[64];
            for (uint8_t& byte : data) byte = uint8_t(rng() % 255);  // no 0xFF: no marker
            const int plus = 1 << (rng() % 3), ss = 1 + int(rng() % 8), se = 63 - int(rng() % 8);
            int16_t whole[64] = {};
            CoefficientStore store;
            store.Reset(1, 1, across, down, true);
            ReducedBlock reduced = store.Reduced(0, 0);
            for (int k = 1; k < 64; ++k) {
                const int16_t value = int16_t(rng() % 3 == 0 ? (int(rng() % 7) - 3) * 2 * plus : 0);
                whole[kZigzag[k]] = value;
                reduced.Set(k, value);
            }
            WholeBlock plain{whole};
            BitReader a(data, sizeof data, 0), b(data, sizeof data, 0);
            for (int k = ss; k <= se; ++k) {
                const int run = int(rng() % 16);
                const int at = plain.PassZeros(k, se, run, a, plus);
                ASSERT_EQ(reduced.PassZeros(k, se, run, b, plus), at);
                k = at;
                if (k <= se && rng() % 4 != 0) {
                    const int16_t value = int16_t(rng() % 2 ? plus : -plus);
                    plain.Set(k, value);
                    reduced.Set(k, value);
                }
            }
            plain.RefineNonzero(ss, se, a, plus);
            reduced.RefineNonzero(ss, se, b, plus);
            reduced.Finish();
            a.Fill();
            b.Fill();
            ASSERT_EQ(a.Peek(16), b.Peek(16));
            int16_t kept[64];
            store.Load(store.Terms(0, 0), kept);
            for (int v = 0; v < down; ++v)
                for (int u = 0; u < across; ++u) ASSERT_EQ(kept[8 * v + u], whole[8 * v + u]) << u << "," << v;
        }
    }
}

}  // namespace
