// Huffman tables of a JPEG stream and the symbol decoder that reads them.
#pragma once
#include <cstdint>

#include "picdll/jpeg/bit_reader.h"

namespace picdll::jpeg {

// Codes up to this many bits decode with a single table look-up.
constexpr int kLookupBits = 9;

// An AC coefficient whose code fits in kLookupBits and whose code and value bits
// together fit in 16. When they fit in kLookupBits the look-up holds the value;
// otherwise the value is the `mask` bits after the code, extended by their sign.
struct FastAc {
    int16_t value;
    uint16_t mask;   // 0 when `value` is the value
    uint16_t half;   // the value bits' sign bit (the mask gives it, but deriving it per
                     // coefficient measured 8 % slower on dense photos)
    uint8_t run;     // zero coefficients before it
    uint8_t length;  // bits consumed; 0 when the look-up does not apply
};

struct HuffmanTable {
    // By the next kLookupBits bits: code length << 8 | symbol, or 0 for a longer code.
    uint16_t lookup[1 << kLookupBits];
    FastAc fast_ac[1 << kLookupBits];
    // For longer codes, compared with the next 16 bits: codes of length <= l are the
    // values below limit[l], and such a code's symbol is symbols[(code >> (16 - l)) + offset[l]].
    uint32_t limit[17];
    int32_t offset[17];
    uint8_t symbols[256];
};

// Builds a table from a DHT definition: counts[l - 1] codes of length l, then the
// symbols. False when the counts describe more codes than lengths allow.
bool BuildHuffmanTable(const uint8_t counts[16], const uint8_t* symbols, HuffmanTable& out);

// The example tables of the JPEG standard, used by streams (e.g. Motion JPEG frames)
// that leave their tables out.
void BuildDefaultHuffmanTable(bool ac, bool chroma, HuffmanTable& out);

// Returns the next symbol, or -1 for a bit pattern that is no code of the table.
inline int DecodeSymbol(BitReader& bits, const HuffmanTable& table)
{
    bits.Fill();
    uint16_t entry = table.lookup[bits.Peek(kLookupBits)];
    if (entry != 0) {
        bits.Skip(entry >> 8);
        return entry & 0xFF;
    }
    uint32_t code = bits.Peek(16);
    for (int l = kLookupBits + 1; l <= 16; ++l) {
        if (code < table.limit[l]) {
            bits.Skip(l);
            return table.symbols[(code >> (16 - l)) + table.offset[l]];
        }
    }
    return -1;
}

// Reads the coefficient a FastAc entry (length != 0) describes; the caller has made
// its 16 bits available.
inline int32_t TakeFastAc(BitReader& bits, const FastAc& fast)
{
    const int32_t raw = int32_t(bits.Peek(16) >> (16 - fast.length) & fast.mask);
    const int32_t value = fast.value + raw - ((raw - fast.half) >> 31 & fast.mask);
    bits.Skip(fast.length);
    return value;
}

// The signed value of `size` magnitude bits (JPEG's "extend").
inline int32_t ExtendValue(uint32_t raw, int size)
{
    return raw < (1u << (size - 1)) ? int32_t(raw) - int32_t((1u << size) - 1) : int32_t(raw);
}

// Reads the `n` (1..16) bits that follow a code, which the fill before the code covers
// only when it gives 32 bits.
inline uint32_t TakeAfterCode(BitReader& bits, int n)
{
    if constexpr (BitReader::kFillBits < 32) bits.Fill();
    return bits.Take(n);
}

// Reads the `size` (1..16) magnitude bits after a code.
inline int32_t ReceiveValue(BitReader& bits, int size)
{
    return ExtendValue(TakeAfterCode(bits, size), size);
}

}  // namespace picdll::jpeg
