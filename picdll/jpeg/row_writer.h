// Turns decoded component samples into rows of the upright RGB picture.
#pragma once
#include <cstdint>
#include <vector>

#include "picdll/decode.h"
#include "picdll/jpeg/headers.h"
#include "picdll/jpeg/orientation.h"
#include "picdll/jpeg/sample_planes.h"

namespace picdll::jpeg {

class RowWriter {
public:
    RowWriter(const Frame& frame, ColourModel model, const Placement& placement, uint8_t* pixels);

    // Upsamples, converts and places the picture rows of MCU row `mcu_row`; the planes
    // must also hold the MCU rows next to it. False when the target asks to stop.
    bool WriteMcuRow(const SamplePlanes& planes, int mcu_row, DecodeTarget& target);

private:
    enum class Stretch { None, H2Fancy, V2Fancy, H2V2Fancy, Mapped };
    struct ComponentStretch {
        Stretch kind = Stretch::None;
        std::vector<uint32_t> source_x;  // for Mapped
        std::vector<uint8_t> row;        // the upsampled row
    };

    const uint8_t* ComponentRow(const SamplePlanes& planes, int c, int y);
    void Convert(const uint8_t* const rows[kMaxComponents], uint8_t* rgb) const;

    const Frame& frame_;
    ColourModel model_;
    const Placement& placement_;
    uint8_t* pixels_;
    std::vector<uint8_t> strip_;  // one MCU row of RGB on its way to be turned (if not upright)
    ComponentStretch stretch_[kMaxComponents];
};

}  // namespace picdll::jpeg
