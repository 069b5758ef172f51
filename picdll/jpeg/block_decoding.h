// Entropy decoding of single blocks, sequential and progressive.
#pragma once
#include <cstdint>

#include "picdll/jpeg/bit_reader.h"
#include "picdll/jpeg/coefficients.h"
#include "picdll/jpeg/huffman.h"

namespace picdll::jpeg {

// A sequential block into `coef` (natural order, zeroed by the caller), each value
// multiplied by its entry of `quant` (natural order). Returns the coding-order index of
// the last coefficient written (0: DC only; no entry beyond it in kZigzag was touched),
// or -1 for an invalid code.
int DecodeSequentialBlock(BitReader& bits, const HuffmanTable& dc, const HuffmanTable& ac,
                          int& dc_prediction, const uint16_t* quant, int16_t* coef);

// The four kinds of progressive scan. They add to the block (not dequantized) what the
// scan holds for it; `eob_run` counts the blocks left in an end-of-band run. False for an
// invalid code. The DC scans take the block's DC term; the AC scans a WholeBlock or a
// ReducedBlock.
bool DecodeDcFirst(BitReader& bits, const HuffmanTable& dc, int& dc_prediction, int al, int16_t* coef);
void DecodeDcRefine(BitReader& bits, int al, int16_t* coef);
template <class Block>
bool DecodeAcFirst(BitReader& bits, const HuffmanTable& ac, int ss, int se, int al,
                   int& eob_run, Block coef);
template <class Block>
bool DecodeAcRefine(BitReader& bits, const HuffmanTable& ac, int ss, int se, int al,
                    int& eob_run, Block coef);

}  // namespace picdll::jpeg
