// libFuzzer target: the JPEG size queries and decoder, full and reduced, on arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picdll/decode.h"
#include "tests/fuzz/size_query_check.h"

namespace {

// Takes pictures up to a megapixel (larger ones are refused, which the decoder
// must handle too) so that runs stay fast.
class FuzzTarget : public picdll::DecodeTarget {
public:
    uint8_t* Allocate(int w, int h) override
    {
        if (++allocations > 1) std::abort();
        if (int64_t(w) * h > (int64_t(1) << 20)) return nullptr;
        width = w;
        height = h;
        pixels.resize(size_t(w) * h * 3);
        return pixels.data();
    }
    bool KeepGoing() override { return true; }

    int allocations = 0, width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    picdll::Dimensions dims;
    bool known = picdll::JpegDimensions(data, size, dims);
    CheckSizeQueryOfStart(picdll::JpegDimensionsOfStart, data, size, known, dims);
    FuzzTarget target;
    std::string why;
    picdll::DecodeStatus status = picdll::DecodeJpeg(data, size, target, &why);
    if (status == picdll::DecodeStatus::Ok &&
        (!known || dims.width != target.width || dims.height != target.height))
        std::abort();  // the size query must announce the size the decoder delivers
    if (status == picdll::DecodeStatus::Failed && why.empty()) std::abort();
    // The reduced decodes: asked for the size each reduction gives, each must deliver
    // exactly that.
    for (int d = 2; known && d <= 8; d *= 2) {
        FuzzTarget reduced;
        int reduction = 0;
        const int w = (dims.width + d - 1) / d, h = (dims.height + d - 1) / d;
        const picdll::DecodeStatus r = picdll::DecodeJpegReduced(data, size, w, h, reduced, reduction, &why);
        if (r == picdll::DecodeStatus::Ok &&
            (reduction != picdll::ChooseJpegReduction(dims.width, dims.height, w, h) ||
             reduced.width != (dims.width + reduction - 1) / reduction ||
             reduced.height != (dims.height + reduction - 1) / reduction))
            std::abort();
        // Only the memory for the picture differs from the full decode.
        if (status == picdll::DecodeStatus::Ok && r != picdll::DecodeStatus::Ok) std::abort();
    }
    return 0;
}
