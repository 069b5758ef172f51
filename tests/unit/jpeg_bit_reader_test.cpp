// The JPEG bit reader against the plain bits of its data, read as the decoders read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "picdll/jpeg/bit_reader.h"

namespace {

// Random data, stuffed, then a marker and bytes the reader must never take: every mix of
// the two fills and of read lengths within what each guarantees gives the data's own
// bits, then zeros, stopping at the marker. Many 0xFF bytes put stuffing at every place a
// word-sized fill could meet it. Both buffer widths, whichever this build uses.
template <class BitReader>
void CheckReads()
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::vector<uint8_t> plain(rng() % 512), coded;
        for (uint8_t& byte : plain) {
            byte = rng() % 4 == 0 ? 0xFF : uint8_t(rng());
            coded.push_back(byte);
            if (byte == 0xFF) coded.push_back(0x00);
        }
        const size_t marker = coded.size();
        coded.insert(coded.end(), {0xFF, 0xD9, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0});

        auto bit = [&](size_t i) { return i / 8 < plain.size() ? (plain[i / 8] >> (7 - i % 8)) & 1 : 0; };
        BitReader bits(coded.data(), coded.size(), 0);
        size_t at = 0;
        while (at < plain.size() * 8 + 64) {
            const bool top_up = rng() % 2 == 0;
            top_up ? bits.TopUp() : bits.Fill();
            // Sometimes nothing is read between two fills.
            for (int left = int(rng() % ((top_up ? BitReader::kTopUpBits : BitReader::kFillBits) + 1)); left > 0;) {
                const int n = std::min<int>(left, 1 + rng() % 16);
                uint32_t expected = 0;
                for (int i = 0; i < n; ++i) expected = expected << 1 | bit(at + i);
                ASSERT_EQ(bits.Take(n), expected) << "at bit " << at;
                at += size_t(n);
                left -= n;
            }
        }
        EXPECT_TRUE(bits.Overrun());
        EXPECT_EQ(bits.Position(), coded.data() + marker);
    }
}

TEST(JpegBitReader, GivesTheUnstuffedBitsThenZerosWhateverTheFillsAndReads)
{
    CheckReads<picdll::jpeg::BasicBitReader<uint64_t>>();
    CheckReads<picdll::jpeg::BasicBitReader<uint32_t>>();
}

}  // namespace
