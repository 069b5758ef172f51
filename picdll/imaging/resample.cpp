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
