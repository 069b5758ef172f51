// Where the saver takes memory for a picture change. A test build compiled with
// VELMORA_ALLOCATION_FAULTS decides, through AllocationFails, which of them fail, to show
// that each failure takes the path the saver has for it (the failure line for a picture,
// the no-pictures mode for the order); in every other build the check is the constant
// false and costs nothing.
#pragma once

enum class PictureAllocation {
    PendingList,   // the pictures not yet shown in a random pass
    ScaledBlock,   // the picture fitted to the screen
    PaletteBlock,  // the colour indices and padded rows on palette displays
    PaletteBitmap, // the device bitmap made from them
};

#ifdef VELMORA_ALLOCATION_FAULTS
bool AllocationFails(PictureAllocation point);  // defined by the test build
#else
constexpr bool AllocationFails(PictureAllocation) { return false; }
#endif
