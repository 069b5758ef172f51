// Shared by the decoder fuzzers: the size query fed the start of a file, growing as it
// asks, must give the answer the whole file gives, reading nothing past what it was fed.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "picdll/decode.h"

using SizeQueryOfStart = picdll::SizeQuery (*)(const uint8_t*, size_t, uint64_t,
                                                picdll::Dimensions&, size_t&);

inline void CheckSizeQueryOfStart(SizeQueryOfStart query, const uint8_t* data, size_t size,
                                  bool whole_found, const picdll::Dimensions& whole)
{
    // The first read is some small part of the file, as a caller reading a block would.
    size_t have = size ? data[size / 2] % 97 : 0;
    if (have > size) have = size;
    for (;;) {
        // Exactly `have` bytes, so the sanitizer catches any read past them.
        std::unique_ptr<uint8_t[]> start(new uint8_t[have ? have : 1]);
        if (have) std::memcpy(start.get(), data, have);
        picdll::Dimensions dims;
        size_t needed = 0;
        const picdll::SizeQuery answer = query(start.get(), have, size, dims, needed);
        if (answer != picdll::SizeQuery::NeedMore) {
            if ((answer == picdll::SizeQuery::Found) != whole_found) std::abort();
            if (whole_found && (dims.width != whole.width || dims.height != whole.height)) std::abort();
            return;
        }
        if (have >= size || needed <= have) std::abort();  // asks for nothing new
        // At least twice what it has, as the library's reader grows: taking only what was
        // asked makes a file of stray bytes cost a walk per two bytes.
        if (needed < 2 * have) needed = 2 * have;
        have = needed < size ? needed : size;
    }
}
