#include "picdll/jpeg/upsample.h"

#include "picdll/simd.h"

namespace picdll::jpeg {

// The rounding biases alternate between neighbouring outputs so that the filter does not
// drift the picture's brightness; they are the ones libjpeg uses, so results agree with it.

namespace {

// Outputs 2i and 2i + 1 for inputs `first` <= i < `end`, all with both neighbours.
void H2Middle(const uint8_t* in, int first, int end, uint8_t* out)
{
    for (int i = first; i < end; ++i) {
        int v = 3 * in[i];
        out[2 * i] = uint8_t((v + in[i - 1] + 1) >> 2);
        out[2 * i + 1] = uint8_t((v + in[i + 1] + 2) >> 2);
    }
}

int ColumnSum(const uint8_t* near, const uint8_t* far, int i) { return 3 * near[i] + far[i]; }

void H2V2Middle(const uint8_t* near, const uint8_t* far, int first, int end, uint8_t* out)
{
    for (int i = first; i < end; ++i) {
        int v = 3 * ColumnSum(near, far, i);
        out[2 * i] = uint8_t((v + ColumnSum(near, far, i - 1) + 8) >> 4);
        out[2 * i + 1] = uint8_t((v + ColumnSum(near, far, i + 1) + 7) >> 4);
    }
}

#if PICDLL_SSE2

#define SSE2 PICDLL_SSE2_FUNCTION

SSE2 __m128i Load8(const uint8_t* p)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

SSE2 __m128i Triple(__m128i v) { return _mm_add_epi16(_mm_add_epi16(v, v), v); }

SSE2 __m128i ColumnSums8(const uint8_t* near, const uint8_t* far, int i)
{
    return _mm_add_epi16(Triple(Load8(near + i)), Load8(far + i));
}

// Interleaves eight even and eight odd outputs and stores them as 16 bytes.
SSE2 void StorePairs(__m128i even, __m128i odd, uint8_t* out)
{
    __m128i bytes = _mm_packus_epi16(_mm_unpacklo_epi16(even, odd), _mm_unpackhi_epi16(even, odd));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
}

// The middle outputs eight inputs at a time, while i + 8 < n; returns the first input
// left undone.
SSE2 int H2MiddleSse2(const uint8_t* in, int n, uint8_t* out)
{
    const __m128i one = _mm_set1_epi16(1), two = _mm_set1_epi16(2);
    int i = 1;
    for (; i + 8 < n; i += 8) {
        __m128i v = Triple(Load8(in + i));
        __m128i even = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(v, Load8(in + i - 1)), one), 2);
        __m128i odd = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(v, Load8(in + i + 1)), two), 2);
        StorePairs(even, odd, out + 2 * i);
    }
    return i;
}

SSE2 int H2V2MiddleSse2(const uint8_t* near, const uint8_t* far, int n, uint8_t* out)
{
    const __m128i seven = _mm_set1_epi16(7), eight = _mm_set1_epi16(8);
    int i = 1;
    for (; i + 8 < n; i += 8) {
        __m128i v = Triple(ColumnSums8(near, far, i));
        __m128i even = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(v, ColumnSums8(near, far, i - 1)), eight), 4);
        __m128i odd = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(v, ColumnSums8(near, far, i + 1)), seven), 4);
        StorePairs(even, odd, out + 2 * i);
    }
    return i;
}

#undef SSE2

#endif

// The first middle input that the scalar loops still have to do.
int H2MiddleVector([[maybe_unused]] const uint8_t* in, [[maybe_unused]] int n,
                   [[maybe_unused]] uint8_t* out)
{
#if PICDLL_SSE2
    if (UseSse2()) return H2MiddleSse2(in, n, out);
#endif
    return 1;
}

int H2V2MiddleVector([[maybe_unused]] const uint8_t* near, [[maybe_unused]] const uint8_t* far,
                     [[maybe_unused]] int n, [[maybe_unused]] uint8_t* out)
{
#if PICDLL_SSE2
    if (UseSse2()) return H2V2MiddleSse2(near, far, n, out);
#endif
    return 1;
}

}  // namespace

void UpsampleH2Fancy(const uint8_t* in, int n, uint8_t* out)
{
    if (n == 1) {
        out[0] = out[1] = in[0];
        return;
    }
    out[0] = in[0];
    out[1] = uint8_t((3 * in[0] + in[1] + 2) >> 2);
    H2Middle(in, H2MiddleVector(in, n, out), n - 1, out);
    out[2 * n - 2] = uint8_t((3 * in[n - 1] + in[n - 2] + 1) >> 2);
    out[2 * n - 1] = in[n - 1];
}

void UpsampleH2V2Fancy(const uint8_t* near, const uint8_t* far, int n, uint8_t* out)
{
    // Column sums carry a weight of 4; the horizontal pass adds another 4.
    int first = ColumnSum(near, far, 0);
    int last = ColumnSum(near, far, n - 1);
    out[0] = uint8_t((4 * first + 8) >> 4);
    if (n == 1) {
        out[1] = uint8_t((4 * first + 7) >> 4);
        return;
    }
    out[1] = uint8_t((3 * first + ColumnSum(near, far, 1) + 7) >> 4);
    H2V2Middle(near, far, H2V2MiddleVector(near, far, n, out), n - 1, out);
    out[2 * n - 2] = uint8_t((3 * last + ColumnSum(near, far, n - 2) + 8) >> 4);
    out[2 * n - 1] = uint8_t((4 * last + 7) >> 4);
}

void UpsampleV2Fancy(const uint8_t* near, const uint8_t* far, int n, bool lower, uint8_t* out)
{
    int bias = lower ? 2 : 1;
    for (int i = 0; i < n; ++i) out[i] = uint8_t((3 * near[i] + far[i] + bias) >> 2);
}

void UpsampleMapped(const uint8_t* in, const uint32_t* source, int width, uint8_t* out)
{
    for (int x = 0; x < width; ++x) out[x] = in[source[x]];
}

}  // namespace picdll::jpeg
