#include "picdll/jpeg/huffman.h"

#include "picdll/jpeg/example_tables.h"

#include <cstring>

namespace picdll::jpeg {

bool BuildHuffmanTable(const uint8_t counts[16], const uint8_t* symbols, HuffmanTable& out)
{
    std::memset(&out, 0, sizeof out);
    int total = 0;
    for (int l = 0; l < 16; ++l) total += counts[l];
    if (total > 256) return false;
    std::memcpy(out.symbols, symbols, size_t(total));

    // Canonical codes: consecutive values within a length, doubled from one length to the next.
    uint32_t code = 0;
    int index = 0;
    for (int l = 1; l <= 16; ++l) {
        int n = counts[l - 1];
        if (code + uint32_t(n) > (1u << l)) return false;
        out.offset[l] = index - int32_t(code);
        for (int i = 0; i < n; ++i, ++code, ++index) {
            if (l > kLookupBits) continue;
            int spare = kLookupBits - l;
            uint8_t symbol = symbols[index];
            for (uint32_t fill = 0; fill < (1u << spare); ++fill) {
                uint32_t slot = (code << spare) | fill;
                out.lookup[slot] = uint16_t(l << 8 | symbol);
                int run = symbol >> 4, size = symbol & 15;
                if (size != 0 && l + size <= kLookupBits) {
                    uint32_t raw = (slot >> (spare - size)) & ((1u << size) - 1);
                    out.fast_ac[slot] = {int16_t(ExtendValue(raw, size)), 0, 0, uint8_t(run),
                                         uint8_t(l + size)};
                } else if (size != 0 && l + size <= 16) {
                    out.fast_ac[slot] = {0, uint16_t((1u << size) - 1), uint16_t(1u << (size - 1)),
                                         uint8_t(run), uint8_t(l + size)};
                }
            }
        }
        out.limit[l] = code << (16 - l);
        code <<= 1;
    }
    return true;
}

void BuildDefaultHuffmanTable(bool ac, bool chroma, HuffmanTable& out)
{
    const ExampleHuffmanTable& table = ac ? (chroma ? kExampleAcChroma : kExampleAcLuma)
                                          : (chroma ? kExampleDcChroma : kExampleDcLuma);
    BuildHuffmanTable(table.counts, table.symbols, out);
}

}  // namespace picdll::jpeg
