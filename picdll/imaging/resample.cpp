// Separable resampling: each output row first blends the source rows it draws on, then
// the blended row is resampled along its length. Working a row at a time needs only one
// source row's worth of scratch memory, and the row blend (the heavy part when a large
// photo is reduced) is a plain multiply-add over contiguous bytes that vectorises well.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "picdll/imaging.h"
#include "picdll/imaging/resample_weights.h"
#include "picdll/simd.h"

namespace picdll {
namespace {

using imaging::AxisWeights;
using imaging::kWeightBits;
using imaging::Taps;

constexpr int kBlendShift = kWeightBits - 8;
constexpr int kFinalShift = kWeightBits + 8;

// Loops over blocks of a fixed length, so that compilers vectorise them even at -O2.
constexpr size_t kBlock = 16;

// sums[x] = weight * row[x], or sums[x] += weight * row[x] when `add`.
// A weight is at most kWeightOne in size, so it and the samples fit 16 bits: products of
// two 16-bit numbers are what vector units multiply fastest.
template <bool add>
void WeighRow(const uint8_t* __restrict row, int32_t weight, int32_t* __restrict sums,
              size_t length)
{
    const int16_t w = int16_t(weight);
    size_t x = 0;
    for (; x + kBlock <= length; x += kBlock) {
        for (size_t i = x; i < x + kBlock; ++i) sums[i] = (add ? sums[i] : 0) + w * int16_t(row[i]);
    }
    for (; x < length; ++x) sums[x] = (add ? sums[x] : 0) + w * int16_t(row[x]);
}

// Leaves the blend of the rows in `sums`, with 8 fractional bits so that rounding happens
// once, at the end. Cubic overshoot may leave values a little outside 0..255 << 8.
void BlendRows(const uint8_t* src, size_t stride, const Taps& taps, const int32_t* weights,
               int32_t* __restrict sums)
{
    const uint8_t* row = src + size_t(taps.first) * stride;
    WeighRow<false>(row, weights[0], sums, stride);
    for (int k = 1; k < taps.count; ++k) {
        row += stride;
        if (weights[k] != 0) WeighRow<true>(row, weights[k], sums, stride);
    }
    constexpr int32_t half = 1 << (kBlendShift - 1);
    size_t x = 0;
    for (; x + kBlock <= stride; x += kBlock) {
        for (size_t i = x; i < x + kBlock; ++i) sums[i] = (sums[i] + half) >> kBlendShift;
    }
    for (; x < stride; ++x) sums[x] = (sums[x] + half) >> kBlendShift;
}

uint8_t ToByte(int32_t sum)
{
    constexpr int32_t half = 1 << (kFinalShift - 1);
    return uint8_t(std::clamp((sum + half) >> kFinalShift, 0, 255));
}

void ResampleRow(const int32_t* blended, const AxisWeights& columns, uint8_t* out)
{
    for (const Taps& taps : columns.taps) {
        const int32_t* weight = columns.weights.data() + taps.offset;
        const int32_t* in = blended + size_t(taps.first) * 3;
        int32_t r = 0, g = 0, b = 0;
        for (int k = 0; k < taps.count; ++k, in += 3) {
            r += weight[k] * in[0];
            g += weight[k] * in[1];
            b += weight[k] * in[2];
        }
        out[0] = ToByte(r);
        out[1] = ToByte(g);
        out[2] = ToByte(b);
        out += 3;
    }
}

#if PICDLL_SSE2
#define SSE2 PICDLL_SSE2_FUNCTION

// Rows that are reduced (or copied) blend to 0 .. 255 << 8, which fits 16 bits once 32768 is
// taken off, and every column weight fits 16 bits too. SSE2 then weighs a pair of source
// pixels' three samples in one multiply-add. The 32768 comes back exactly, since each
// output's weights add up to exactly kWeightOne; the result is the same to the bit.
constexpr int32_t kNarrowOffset = 32768;

// The column weights a pair at a time, for source pixels first + 2i and first + 2i + 1 of
// each output pixel in turn, as [a b a b a b 0 0] (b = 0 past the last tap).
std::vector<int16_t> PairUp(const AxisWeights& axis)
{
    std::vector<int16_t> pairs;
    for (const Taps& taps : axis.taps) {
        const int32_t* w = axis.weights.data() + taps.offset;
        for (int k = 0; k < taps.count; k += 2) {
            const int16_t a = int16_t(w[k]), b = int16_t(k + 1 < taps.count ? w[k + 1] : 0);
            pairs.insert(pairs.end(), {a, b, a, b, a, b, 0, 0});
        }
    }
    return pairs;
}

// BlendRows, less 32768, as 16-bit samples. Sixteen samples at a time are weighed by two
// rows at once and kept in registers until the last row.
SSE2 void BlendRowsSse2(const uint8_t* src, size_t stride, const Taps& taps, const int32_t* weights,
                        int16_t* out)
{
    const uint8_t* first = src + size_t(taps.first) * stride;
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi32((1 << (kBlendShift - 1)) - (kNarrowOffset << kBlendShift));
    size_t x = 0;
    for (; x + 16 <= stride; x += 16) {
        __m128i sums[4] = {zero, zero, zero, zero};
        const uint8_t* row = first + x;
        for (int k = 0; k < taps.count; k += 2, row += 2 * stride) {
            const bool pair = k + 1 < taps.count;
            // Samples of the two rows side by side, weighed a pair at a time.
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
            const __m128i b = pair ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + stride)) : zero;
            const __m128i w = _mm_set1_epi32(int32_t(uint16_t(weights[k])) |
                                             (pair ? int32_t(uint32_t(weights[k + 1]) << 16) : 0));
            const __m128i lo = _mm_unpacklo_epi8(a, b), hi = _mm_unpackhi_epi8(a, b);
            sums[0] = _mm_add_epi32(sums[0], _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
            sums[1] = _mm_add_epi32(sums[1], _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
            sums[2] = _mm_add_epi32(sums[2], _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
            sums[3] = _mm_add_epi32(sums[3], _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
        }
        for (__m128i& sum : sums) sum = _mm_srai_epi32(_mm_add_epi32(sum, round), kBlendShift);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packs_epi32(sums[0], sums[1]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 8), _mm_packs_epi32(sums[2], sums[3]));
    }
    for (; x < stride; ++x) {
        int32_t sum = 0;
        for (int k = 0; k < taps.count; ++k) sum += weights[k] * first[size_t(k) * stride + x];
        out[x] = int16_t(((sum + (1 << (kBlendShift - 1))) >> kBlendShift) - kNarrowOffset);
    }
}

// The output pixel of `taps` as bytes R, G, B and one more, its pairs of weights from `w` on,
// which it moves past. `row` is followed by 4 samples that the last pair may load.
SSE2 uint32_t PixelSse2(const int16_t* row, const Taps& taps, const int16_t*& w)
{
    const int16_t* in = row + size_t(taps.first) * 3;
    __m128i sum = _mm_set1_epi32((kNarrowOffset << kWeightBits) + (1 << (kFinalShift - 1)));
    for (int k = 0; k < taps.count; k += 2, in += 6, w += 8) {
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in));      // R G B r
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + 3));  // r g b .
        const __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w));
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), weights));
    }
    const __m128i words = _mm_packs_epi32(_mm_srai_epi32(sum, kFinalShift), sum);
    return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));  // clamped as ToByte
}

SSE2 void ResampleRowSse2(const int16_t* row, const AxisWeights& columns, const std::vector<int16_t>& pairs,
                          uint8_t* out)
{
    const int16_t* w = pairs.data();
    const size_t last = columns.taps.size() - 1;
    for (size_t j = 0; j < last; ++j, out += 3) {
        const uint32_t rgb = PixelSse2(row, columns.taps[j], w);
        std::memcpy(out, &rgb, 4);  // the fourth byte is the next pixel's, written next
    }
    const uint32_t rgb = PixelSse2(row, columns.taps[last], w);
    std::memcpy(out, &rgb, 3);
}

#undef SSE2
#endif

}  // namespace

bool ResizeRGB(const uint8_t* src, int sw, int sh, uint8_t* dst, int dw, int dh, int sourceReduction)
{
    if (sw < 1 || sh < 1 || dw < 1 || dh < 1) return true;
    // A reduced source is smoothed even at its own size: the full picture would have been.
    if (sw == dw && sh == dh && sourceReduction == 1) {
        std::memcpy(dst, src, size_t(sw) * size_t(sh) * 3);
        return true;
    }
    try {
        const AxisWeights columns = imaging::BuildAxisWeights(sw, dw, sourceReduction);
        const AxisWeights rows = imaging::BuildAxisWeights(sh, dh, sourceReduction);
        const size_t stride = size_t(sw) * 3;
#if PICDLL_SSE2
        if (dh <= sh && UseSse2()) {
            const std::vector<int16_t> pairs = PairUp(columns);
            std::vector<int16_t> narrow(stride + 4);
            for (int y = 0; y < dh; ++y) {
                const Taps& taps = rows.taps[size_t(y)];
                BlendRowsSse2(src, stride, taps, rows.weights.data() + taps.offset, narrow.data());
                ResampleRowSse2(narrow.data(), columns, pairs, dst + size_t(y) * size_t(dw) * 3);
            }
            return true;
        }
#endif
        std::vector<int32_t> blended(stride);
        for (int y = 0; y < dh; ++y) {
            const Taps& taps = rows.taps[size_t(y)];
            BlendRows(src, stride, taps, rows.weights.data() + taps.offset, blended.data());
            ResampleRow(blended.data(), columns, dst + size_t(y) * size_t(dw) * 3);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace picdll
