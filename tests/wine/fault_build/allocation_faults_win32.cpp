// The allocation seam of the saver's and the library's fault builds: the environment
// variable VELMORA_FAIL_ALLOCATION names the allocations that fail (comma-separated).
#include <windows.h>

#include <string>

#include "picdll/allocation_faults.h"
#include "pictures/allocation_faults.h"

namespace {

bool Named(const char* name)
{
    static const std::string failing = [] {
        char value[256] = {};
        GetEnvironmentVariableA("VELMORA_FAIL_ALLOCATION", value, sizeof value);
        return "," + std::string(value) + ",";
    }();
    return failing.find("," + std::string(name) + ",") != std::string::npos;
}

}  // namespace

bool picdll::AllocationFails(AllocationPoint point)
{
    switch (point) {
    case AllocationPoint::FileMapping: return Named("file-mapping");
    case AllocationPoint::RgbBlock: return Named("rgb-block");
    case AllocationPoint::Resize: return Named("resize");
    case AllocationPoint::Quantise: return Named("quantise");
    case AllocationPoint::ScreenBitmap: return Named("screen-bitmap");
    }
    return false;
}

bool AllocationFails(PictureAllocation point)
{
    switch (point) {
    case PictureAllocation::PendingList: return Named("pending-list");
    case PictureAllocation::ScaledBlock: return Named("scaled-block");
    case PictureAllocation::PaletteBlock: return Named("palette-block");
    case PictureAllocation::PaletteBitmap: return Named("palette-bitmap");
    }
    return false;
}
