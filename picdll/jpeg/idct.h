// Inverse DCT of 8x8 blocks, accurate to the level of libjpeg's "islow" transform.
#pragma once
#include <cstddef>
#include <cstdint>

namespace picdll::jpeg {

// Dequantized coefficients are held as int16; damaged streams can ask for more.
inline int16_t ClampCoefficient(int32_t v)
{
    return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// Writes the 8x8 samples of a block of dequantized coefficients (natural order).
void InverseDct(const int16_t coef[64], uint8_t* out, ptrdiff_t stride);

// The same for a block whose AC coefficients are all zero: a flat block.
void InverseDctFlat(int16_t dc, uint8_t* out, ptrdiff_t stride);

// The samples of a block decoded reduced: `n` x `n` (4, 2 or 1, or 6 or 3 for the colour of
// the odd 3:1 sampling) of them from the low n x n terms of the block's dequantized
// coefficients (natural order, 8 a row; the others are not read). A block with nothing but its DC term comes out at the level
// InverseDctFlat gives.
void InverseDctReduced(const int16_t coef[64], int n, uint8_t* out, ptrdiff_t stride);

// The samples of a block of a component reduced less in one direction than the other:
// `across` x `down` (each 8, 6, 4, 3, 2 or 1) from the low terms, as InverseDctReduced.
void InverseDctUneven(const int16_t coef[64], int across, int down, uint8_t* out, ptrdiff_t stride);

// InverseDctUneven's 8 x 4 samples where the processor has a vector form of it (the colour
// of every 4:2:2 picture decoded at half size goes through it); false where it has none.
bool InverseDct8x4Vector(const int16_t coef[64], uint8_t* out, ptrdiff_t stride);

// The portable implementations behind InverseDct and InverseDctReduced, for comparison in
// tests.
void InverseDctPortable(const int16_t coef[64], uint8_t* out, ptrdiff_t stride);
void InverseDctReducedPortable(const int16_t coef[64], int n, uint8_t* out, ptrdiff_t stride);

}  // namespace picdll::jpeg
