#include "picdll/jpeg/sample_planes.h"

namespace picdll::jpeg {

SamplePlanes::SamplePlanes(const Frame& frame)
{
    for (int c = 0; c < frame.component_count; ++c) {
        const Component& comp = frame.components[c];
        Plane& p = planes_[c];
        p.block_h = comp.side_h;
        p.block_v = comp.side_v;
        p.stride = ptrdiff_t(comp.blocks_wide) * comp.side_h;
        p.rows_per_mcu = comp.v * frame.block;
        p.height = comp.height;
        p.samples.assign(size_t(p.stride) * p.rows_per_mcu * kSlots, 128);
    }
}

}  // namespace picdll::jpeg
