// The quantised coefficients of a frame that is decoded over several scans.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picdll/jpeg/bit_reader.h"
#include "picdll/jpeg/zigzag.h"

namespace picdll::jpeg {

// The blocks progressive scans refine, as the AC scans see them: terms are named by their
// place in coding order, k (0..63; a damaged run may name up to 78, which stands for 63).
// A refining scan sends one correction bit for each term that is already nonzero: set, it
// adds `plus` (1 << Al) away from zero.

// A block holding its 64 terms (natural order).
struct WholeBlock {
    int16_t* terms;

    void Finish() {}

    void Set(int k, int16_t value) { terms[kZigzag[k]] = value; }
    // Passes `run` zero terms from k on, reading the correction bits of the nonzero ones on
    // the way; returns the next zero term (se + 1 when the band has none left).
    int PassZeros(int k, int se, int run, BitReader& bits, int plus)
    {
        for (; k <= se; ++k) {
            if (terms[kZigzag[k]] != 0) Correct(k, bits, plus);
            else if (run-- == 0) break;
        }
        return k;
    }
    // Reads the correction bits of the nonzero terms k .. se.
    void RefineNonzero(int k, int se, BitReader& bits, int plus)
    {
        for (; k <= se; ++k)
            if (terms[kZigzag[k]] != 0) Correct(k, bits, plus);
    }

private:
    void Correct(int k, BitReader& bits, int plus)
    {
        bits.Fill();
        int16_t& c = terms[kZigzag[k]];
        if (bits.Take(1) && (c & plus) == 0) c = int16_t(c + (c >= 0 ? plus : -plus));
    }
};

// place[b][n]: the place of the set bit of byte b that follows n others (8 when none).
struct NthSetBitTable {
    uint8_t place[256][8];
    constexpr NthSetBitTable() : place()
    {
        for (int b = 0; b < 256; ++b) {
            int n = 0;
            for (int i = 0; i < 8; ++i) place[b][i] = 8;
            for (int i = 0; i < 8; ++i)
                if (b >> i & 1) place[b][n++] = uint8_t(i);
        }
    }
};
inline constexpr NthSetBitTable kNthSetBit;

// Sets of terms as 64-bit masks, by coding order. A 32-bit build has no 64-bit registers:
// there a 64-bit multiply or shift by a variable is several instructions or a library call,
// so these work on the two 32-bit halves instead.
namespace term_bits {

constexpr bool kHalves = sizeof(uintptr_t) < 8;

inline uint32_t Low(uint64_t v) { return uint32_t(v); }
inline uint32_t High(uint64_t v) { return uint32_t(v >> 32); }

// Byte i: the set bits of bytes 0 .. i (without the library call a plain build makes of
// popcount).
template <class Word>
Word RunningCounts(Word v)
{
    constexpr Word kEachByte = Word(0x0101010101010101ull);
    v = v - ((v >> 1) & Word(0x5555555555555555ull));
    v = (v & Word(0x3333333333333333ull)) + ((v >> 2) & Word(0x3333333333333333ull));
    return ((v + (v >> 4)) & Word(0x0F0F0F0F0F0F0F0Full)) * kEachByte;
}

template <class Word>
int CountIn(Word v)
{
    return int(RunningCounts(v) >> (8 * sizeof(Word) - 8));
}

inline int Count(uint64_t v)
{
    if constexpr (kHalves) return CountIn(Low(v)) + CountIn(High(v));
    return CountIn(v);
}

// The place of the set bit of `v` that follows `skip` others, or v's width when there is
// none. A run's length follows the picture, so a loop over it would end at a different turn
// each time: this finds the byte by the running counts, then the bit by a table.
template <class Word>
int SetBitAfterIn(Word v, int skip)
{
    constexpr int kBytes = int(sizeof(Word));
    constexpr Word kEachByte = Word(0x0101010101010101ull), kTops = Word(0x8080808080808080ull);
    const Word counts = RunningCounts(v);
    // The bytes whose running count is still `skip` or less, all at once (no byte borrows:
    // counts are at most 64).
    const Word passed = ((Word(skip) * kEachByte | kTops) - counts) & kTops;
    const int bytes = int(((passed >> 7) * kEachByte) >> (8 * kBytes - 8));
    if (bytes == kBytes) return 8 * kBytes;
    const int before = int(((counts << 8) >> (8 * bytes)) & 0xFF);
    return 8 * bytes + kNthSetBit.place[(v >> (8 * bytes)) & 0xFF][skip - before];
}

// SetBitAfterIn for 64 bits: 64 when there is none.
inline int SetBitAfter(uint64_t v, int skip)
{
    if constexpr (kHalves) {
        const int low = CountIn(Low(v));
        const bool high = skip >= low;
        return (high ? 32 : 0) + SetBitAfterIn(high ? High(v) : Low(v), high ? skip - low : skip);
    }
    return SetBitAfterIn(v, skip);
}

// The place of the lowest set bit of `v` (not 0).
inline int Lowest(uint64_t v)
{
    if constexpr (kHalves) return Low(v) ? __builtin_ctz(Low(v)) : 32 + __builtin_ctz(High(v));
    return __builtin_ctzll(v);
}

// The terms before k (0..64).
struct BelowTable {
    uint64_t below[65];
    constexpr BelowTable() : below()
    {
        for (int k = 0; k < 64; ++k) below[k] = (uint64_t(1) << k) - 1;
        below[64] = ~uint64_t(0);
    }
};
inline constexpr BelowTable kBelow;

inline uint64_t Below(int k)
{
    if constexpr (kHalves) return kBelow.below[k];
    return k >= 64 ? ~uint64_t(0) : (uint64_t(1) << k) - 1;
}

// Bit k (0..63) of `v`, as 0 or 1.
inline uint32_t Bit(uint64_t v, int k)
{
    if constexpr (kHalves) return ((k & 32 ? High(v) : Low(v)) >> (k & 31)) & 1;
    return uint32_t(v >> k) & 1;
}

}  // namespace term_bits

// A block of a frame decoded reduced to w x h samples a block: its low w x h terms (natural
// order, w a row) and a bit for each of the 64 terms (coding order) telling whether it is
// nonzero. That is all a refining scan asks of a term, and all the reduced transform reads.
// The bits let a scan pass zero terms without looking at each, and skip the correction
// bits of the terms not kept all at once. A scan works on a copy of the bits, which the
// compiler keeps in a register (the bit reader's own word could be the same memory for all
// it knows), and Finish stores it back.
struct ReducedBlock {
    int16_t* terms;
    uint64_t* home;      // the block's nonzero bits between scans
    const int8_t* slot;  // by coding order: the place among `terms` (0 for those not kept)
    uint64_t kept;       // by coding order: the terms with a place
    uint64_t nonzero;

    void Finish() { *home = nonzero; }

    // Which terms a scan names follows the picture, so neither this nor the passes below
    // branch on whether a term is kept: one not kept writes the first term back as it was.
    void Set(int k, int16_t value)
    {
        k = k > 63 ? 63 : k;
        int16_t& term = terms[slot[k]];
        const int keep = Kept(k);
        term = int16_t((value & keep) | (term & ~keep));
        if (value != 0) nonzero |= uint64_t(1) << k;
        else nonzero &= ~(uint64_t(1) << k);
    }
    int PassZeros(int k, int se, int run, BitReader& bits, int plus)
    {
        using term_bits::Below;
        // The zero term the run ends at, found in the bits; the nonzero ones before it are
        // refined as an end of band refines them.
        const uint64_t band = Below(se + 1) & ~Below(k);
        const int next = std::min(term_bits::SetBitAfter(~nonzero & band, run), se + 1);
        Refine(nonzero & band & Below(next), bits, plus);
        return next;
    }
    void RefineNonzero(int k, int se, BitReader& bits, int plus)
    {
        using term_bits::Below;
        Refine(nonzero & Below(se + 1) & ~Below(k), bits, plus);
    }

private:
    int Kept(int k) const { return -int(term_bits::Bit(kept, k)); }  // all ones or none
    // The correction bits of the terms in `refined`, in order; those of the terms not kept
    // are read and dropped. The bits are random, so the corrections are made without a
    // branch on them: a term not kept, or not corrected, is corrected by nothing.
    void Refine(uint64_t refined, BitReader& bits, int plus)
    {
        if (refined == 0) return;  // most runs of a dense picture pass no nonzero term
        for (int n = term_bits::Count(refined); n > 0;) {
            bits.Fill();
            const int take = n < BitReader::kFillBits ? n : BitReader::kFillBits;
            uint32_t word = bits.Peek(take) << (32 - take);  // the first bit on top
            bits.Skip(take);
            n -= take;
            for (int i = 0; i < take; ++i, word <<= 1) {
                const int k = term_bits::Lowest(refined);
                refined &= refined - 1;
                int16_t& c = terms[slot[k]];
                const int away = (plus ^ (c >> 15)) - (c >> 15);  // plus, with the sign of c
                const int set = -(int(word >> 31) & ((c & plus) == 0)) & Kept(k);
                c = int16_t(c + (away & set));
            }
        }
    }
};

// One component's blocks, row by row: `across` x `down` terms a block (8 x 8: all of them).
class CoefficientStore {
public:
    // `with_bits`: keep a bit for each nonzero term, for ReducedBlock (needed when not all
    // terms are kept).
    void Reset(int blocks_wide, int blocks_high, int across, int down, bool with_bits);

    bool whole() const { return across_ == 8 && down_ == 8; }
    bool with_bits() const { return with_bits_; }
    int across() const { return across_; }
    int terms_per_block() const { return across_ * down_; }
    int16_t* Terms(int bx, int by) { return terms_.data() + Index(bx, by) * size_t(terms_per_block()); }
    const int16_t* Terms(int bx, int by) const { return terms_.data() + Index(bx, by) * size_t(terms_per_block()); }
    WholeBlock Whole(int bx, int by) { return {Terms(bx, by)}; }
    ReducedBlock Reduced(int bx, int by)
    {
        uint64_t& nonzero = nonzero_[Index(bx, by)];
        return {Terms(bx, by), &nonzero, coded_slot_, kept_, nonzero};
    }

    // Sets block (bx, by) from all 64 terms (natural order).
    void Store(int bx, int by, const int16_t all[64]);
    // Block (bx, by) as 64 terms (natural order), those not kept as 0.
    void Load(const int16_t* terms, int16_t all[64]) const;

private:
    size_t Index(int bx, int by) const { return size_t(by) * size_t(wide_) + size_t(bx); }

    int wide_ = 0;
    int across_ = 8, down_ = 8;
    bool with_bits_ = false;
    int8_t coded_slot_[64] = {};  // by coding order: the place among a block's terms (0 if not kept)
    uint64_t kept_ = 0;           // by coding order: the terms with a place
    std::vector<int16_t> terms_;
    std::vector<uint64_t> nonzero_;  // with bits only
};

}  // namespace picdll::jpeg
