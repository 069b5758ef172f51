// Entropy decoding of single blocks, sequential and progressive.
#pragma once
#include <cstdint>

#include "picdll/jpeg/bit_reader.h"
#include "picdll/jpeg/huffman.h"

namespace picdll::jpeg {

// A sequential block into `coef` (natural order, zeroed by the caller), each value
// multiplied by its entry of `quant` (natural order). Returns the coding-order index of
// the last coefficient written (0: DC only; no entry beyond it in kZigzag was touched),
// or -1 for an invalid code.
int DecodeSequentialBlock(BitReader& bits, const HuffmanTable& dc, const HuffmanTable& ac,
                          int& dc_prediction, const uint16_t* quant, int16_t* coef);

// The four kinds of progressive scan. They add to `coef` (natural order, not
// dequantized) what the scan holds for the block; `eob_run` counts the blocks left
// in an end-of-band run. False for an invalid code.
bool DecodeDcFirst(BitReader& bits, const HuffmanTable& dc, int& dc_prediction, int al, int16_t* coef);
void DecodeDcRefine(BitReader& bits, int al, int16_t* coef);
bool DecodeAcFirst(BitReader& bits, const HuffmanTable& ac, int ss, int se, int al,
                   int& eob_run, int16_t* coef);
bool DecodeAcRefine(BitReader& bits, const HuffmanTable& ac, int ss, int se, int al,
                    int& eob_run, int16_t* coef);

}  // namespace picdll::jpeg
