// Where the library takes memory for a picture. A test build compiled with
// VELMORA_ALLOCATION_FAULTS decides, through AllocationFails, which of them fail, to show
// that each failure ends as a failed call and nothing worse; in every other build the
// check is the constant false and costs nothing.
#pragma once

namespace picdll {

enum class AllocationPoint {
    FileMapping,   // the view of the file being read
    RgbBlock,      // the decoded picture
    Resize,        // the resampler's own memory
    Quantise,      // the quantiser's own memory
    ScreenBitmap,  // the device bitmap
};

#ifdef VELMORA_ALLOCATION_FAULTS
bool AllocationFails(AllocationPoint point);  // defined by the test build
#else
constexpr bool AllocationFails(AllocationPoint) { return false; }
#endif

}  // namespace picdll
