#include "picdll/bmp/bmp_palette.h"

namespace picdll::bmp {

Palette::Palette(const uint8_t* data, const Layout& layout)
    : entries_(unsigned(layout.paletteEntries))
{
    // Entries are stored blue, green, red (then a reserved byte unless OS/2 1.x).
    const uint8_t* entry = data + layout.paletteOffset;
    for (unsigned i = 0; i < entries_; ++i, entry += layout.paletteEntryBytes) {
        colours_[i][0] = entry[2];
        colours_[i][1] = entry[1];
        colours_[i][2] = entry[0];
    }
}

}  // namespace picdll::bmp
