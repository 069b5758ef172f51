// The example tables of the JPEG standard (Annex K): the four "typical" Huffman tables,
// which most baseline encoders use as they are and which a decoder assumes for a stream
// that leaves its tables out.
#pragma once
#include <cstdint>

namespace picdll::jpeg {

struct ExampleHuffmanTable {
    const uint8_t* counts;   // 16 entries: how many codes of each length 1..16
    const uint8_t* symbols;  // in order of increasing code length
    int symbolCount;
};

extern const ExampleHuffmanTable kExampleDcLuma;
extern const ExampleHuffmanTable kExampleDcChroma;
extern const ExampleHuffmanTable kExampleAcLuma;
extern const ExampleHuffmanTable kExampleAcChroma;

}  // namespace picdll::jpeg
