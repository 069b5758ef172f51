// libFuzzer entry for the BMP decoder: every input decodes or fails cleanly, inside its
// buffers, and agrees with the size queries.
#include <cstdint>
#include <memory>
#include <string>

#include "picdll/decode.h"
#include "tests/fuzz/size_query_check.h"

namespace {

// Pictures this large are legal, but decoding them makes runs slow; refusing them still
// exercises every check made before allocation.
constexpr int64_t kMaxFuzzPixels = int64_t(1) << 22;

class FuzzTarget : public picdll::DecodeTarget {
public:
    uint8_t* Allocate(int width, int height) override
    {
        this->width = width;
        this->height = height;
        if (int64_t(width) * height > kMaxFuzzPixels) return nullptr;
        // Exactly the size asked for, so the sanitizer sees any write past it.
        rgb.reset(new uint8_t[size_t(width) * size_t(height) * 3]);
        return rgb.get();
    }
    bool KeepGoing() override { return true; }

    std::unique_ptr<uint8_t[]> rgb;
    int width = 0;
    int height = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    picdll::Dimensions dimensions;
    const bool known = picdll::BmpDimensions(data, size, dimensions);
    CheckSizeQueryOfStart(picdll::BmpDimensionsOfStart, data, size, known, dimensions);
    FuzzTarget target;
    std::string why;
    const picdll::DecodeStatus status = picdll::DecodeBmp(data, size, target, &why);
    if (status == picdll::DecodeStatus::Ok &&
        (!known || dimensions.width != target.width || dimensions.height != target.height)) {
        __builtin_trap();
    }
    if (status == picdll::DecodeStatus::Failed && why.empty()) __builtin_trap();
    return 0;
}
