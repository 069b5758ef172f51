#include "picdll/jpeg/upsample.h"

namespace picdll::jpeg {

// The rounding biases alternate between neighbouring outputs so that the filter does not
// drift the picture's brightness; they are the ones libjpeg uses, so results agree with it.

void UpsampleH2Fancy(const uint8_t* in, int n, uint8_t* out)
{
    if (n == 1) {
        out[0] = out[1] = in[0];
        return;
    }
    out[0] = in[0];
    out[1] = uint8_t((3 * in[0] + in[1] + 2) >> 2);
    for (int i = 1; i < n - 1; ++i) {
        int v = 3 * in[i];
        out[2 * i] = uint8_t((v + in[i - 1] + 1) >> 2);
        out[2 * i + 1] = uint8_t((v + in[i + 1] + 2) >> 2);
    }
    out[2 * n - 2] = uint8_t((3 * in[n - 1] + in[n - 2] + 1) >> 2);
    out[2 * n - 1] = in[n - 1];
}

void UpsampleH2V2Fancy(const uint8_t* near, const uint8_t* far, int n, uint8_t* out)
{
    // Column sums carry a weight of 4; the horizontal pass adds another 4.
    int prev = 3 * near[0] + far[0];
    int cur = prev;
    if (n == 1) {
        out[0] = uint8_t((4 * cur + 8) >> 4);
        out[1] = uint8_t((4 * cur + 7) >> 4);
        return;
    }
    out[0] = uint8_t((4 * cur + 8) >> 4);
    for (int i = 0; i < n - 1; ++i) {
        int next = 3 * near[i + 1] + far[i + 1];
        if (i > 0) out[2 * i] = uint8_t((3 * cur + prev + 8) >> 4);
        out[2 * i + 1] = uint8_t((3 * cur + next + 7) >> 4);
        prev = cur;
        cur = next;
    }
    out[2 * n - 2] = uint8_t((3 * cur + prev + 8) >> 4);
    out[2 * n - 1] = uint8_t((4 * cur + 7) >> 4);
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
