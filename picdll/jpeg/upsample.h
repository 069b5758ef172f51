// Stretches rows of subsampled components to full resolution.
#pragma once
#include <cstdint>

namespace picdll::jpeg {

// The "fancy" (triangle filter) upsamplers weight each sample 3:1 with its nearer
// neighbour, which keeps edges smooth where plain replication would show blocks. `near`
// is the sample row closest to the output row, `far` the next one above or below; `n`
// is the number of input samples and 2n outputs are written. Edge samples are repeated.
void UpsampleH2Fancy(const uint8_t* in, int n, uint8_t* out);
void UpsampleH2V2Fancy(const uint8_t* near, const uint8_t* far, int n, uint8_t* out);
// Vertical only: writes n samples; `lower` is the second of the two output rows.
void UpsampleV2Fancy(const uint8_t* near, const uint8_t* far, int n, bool lower, uint8_t* out);

// Any other ratio: out[x] = in[source[x]] for x < width.
void UpsampleMapped(const uint8_t* in, const uint32_t* source, int width, uint8_t* out);

}  // namespace picdll::jpeg
