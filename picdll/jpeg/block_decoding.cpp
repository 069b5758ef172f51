#include "picdll/jpeg/block_decoding.h"

#include "picdll/jpeg/idct.h"
#include "picdll/jpeg/zigzag.h"

namespace picdll::jpeg {

namespace {

// The DC difference of a block: a size category, then that many bits. False when invalid.
bool DecodeDcDifference(BitReader& bits, const HuffmanTable& dc, int32_t& diff)
{
    int size = DecodeSymbol(bits, dc);
    if (size < 0 || size > 16) return false;
    diff = size ? ReceiveValue(bits, size) : 0;
    return true;
}

}  // namespace

int DecodeSequentialBlock(BitReader& reader, const HuffmanTable& dc, const HuffmanTable& ac,
                          int& dc_prediction, const uint16_t* quant, int16_t* coef)
{
    int32_t diff;
    if (!DecodeDcDifference(reader, dc, diff)) return -1;
    dc_prediction = ClampCoefficient(dc_prediction + diff);
    coef[0] = ClampCoefficient(dc_prediction * quant[0]);

    // A copy the compiler keeps in registers; the reader's own fields would be stored
    // back after every coefficient.
    BitReader bits = reader;

    int last = 0;
    for (int k = 1; k < 64;) {
        // A top-up holds three coefficients that each take one look-up (16 bits at most;
        // one in a 32-bit word): take as many of those as come, so that most go by without
        // a test of the buffer.
        bits.TopUp();
        bool looked_up = true;
        for (int n = 0; n < BitReader::kTopUpBits / 16 && k < 64; ++n) {
            const FastAc& fast = ac.fast_ac[bits.Peek(kLookupBits)];
            if (fast.length == 0) {
                looked_up = false;
                break;
            }
            const int32_t value = TakeFastAc(bits, fast);
            k += fast.run;
            int at = kZigzag[k];  // runs past the block land on the padding entries
            coef[at] = ClampCoefficient(value * quant[at]);
            last = k++;
        }
        if (looked_up) continue;
        int symbol = DecodeSymbol(bits, ac);
        if (symbol < 0) {
            last = -1;
            break;
        }
        int run = symbol >> 4, size = symbol & 15;
        if (size == 0) {
            if (run != 15) break;  // end of block
            k += 16;
            continue;
        }
        k += run;
        int at = kZigzag[k];
        coef[at] = ClampCoefficient(ReceiveValue(bits, size) * quant[at]);
        last = k++;
    }
    reader = bits;
    return last;
}

bool DecodeDcFirst(BitReader& bits, const HuffmanTable& dc, int& dc_prediction, int al, int16_t* coef)
{
    int32_t diff;
    if (!DecodeDcDifference(bits, dc, diff)) return false;
    dc_prediction = ClampCoefficient(dc_prediction + diff);
    coef[0] = ClampCoefficient(dc_prediction * (1 << al));
    return true;
}

void DecodeDcRefine(BitReader& bits, int al, int16_t* coef)
{
    bits.Fill();
    coef[0] = int16_t(coef[0] | int(bits.Take(1)) << al);  // a random bit: no branch
}

template <class Block>
bool DecodeAcFirst(BitReader& bits, const HuffmanTable& ac, int ss, int se, int al,
                   int& eob_run, Block coef)
{
    if (eob_run > 0) {
        --eob_run;
        return true;
    }
    for (int k = ss; k <= se;) {
        bits.Fill();
        const FastAc& fast = ac.fast_ac[bits.Peek(kLookupBits)];
        if (fast.length != 0) {
            const int32_t value = TakeFastAc(bits, fast);
            k += fast.run;
            coef.Set(k, ClampCoefficient(value * (1 << al)));
            ++k;
            continue;
        }
        int symbol = DecodeSymbol(bits, ac);
        if (symbol < 0) {
            coef.Finish();
            return false;
        }
        int run = symbol >> 4, size = symbol & 15;
        if (size == 0) {
            if (run != 15) {
                // End of band, for this block and (1 << run) - 1 + extra bits more.
                eob_run = (1 << run) - 1 + (run ? int(TakeAfterCode(bits, run)) : 0);
                break;
            }
            k += 16;
            continue;
        }
        k += run;
        coef.Set(k, ClampCoefficient(ReceiveValue(bits, size) * (1 << al)));
        ++k;
    }
    coef.Finish();
    return true;
}

template <class Block>
bool DecodeAcRefine(BitReader& bits, const HuffmanTable& ac, int ss, int se, int al,
                    int& eob_run, Block coef)
{
    const int plus = 1 << al;
    int k = ss;
    if (eob_run == 0) {
        for (; k <= se; ++k) {
            int run, value = 0;
            // Topped up without asking how full: a 32-bit buffer runs low every few
            // symbols, and a test of that would be mispredicted often.
            bits.TopUp();
            const FastAc& fast = ac.fast_ac[bits.Peek(kLookupBits)];
            if (fast.value * fast.value == 1) {
                // A one-bit term whose sign bit the look-up holds too, as nearly all are.
                bits.Skip(fast.length);
                run = fast.run;
                value = fast.value * plus;
            } else {
                const int symbol = DecodeSymbol(bits, ac);
                if (symbol < 0) {
                    coef.Finish();
                    return false;
                }
                run = symbol >> 4;
                if (symbol & 15) {
                    // Sizes other than 1 are invalid; read as 1. The sign is random: no branch.
                    value = (2 * int(bits.Take(1)) - 1) * plus;
                } else if (run != 15) {
                    eob_run = (1 << run) + (run ? int(TakeAfterCode(bits, run)) : 0);
                    break;
                }
            }
            // Pass `run` coefficients that are still zero, correcting the nonzero ones on
            // the way; the new value goes into the zero coefficient after them.
            k = coef.PassZeros(k, se, run, bits, plus);
            if (k <= se && value != 0) coef.Set(k, int16_t(value));
        }
    }
    if (eob_run > 0) {
        coef.RefineNonzero(k, se, bits, plus);
        --eob_run;
    }
    coef.Finish();
    return true;
}

template bool DecodeAcFirst(BitReader&, const HuffmanTable&, int, int, int, int&, WholeBlock);
template bool DecodeAcFirst(BitReader&, const HuffmanTable&, int, int, int, int&, ReducedBlock);
template bool DecodeAcRefine(BitReader&, const HuffmanTable&, int, int, int, int&, WholeBlock);
template bool DecodeAcRefine(BitReader&, const HuffmanTable&, int, int, int, int&, ReducedBlock);

}  // namespace picdll::jpeg
