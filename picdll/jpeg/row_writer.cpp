#include "picdll/jpeg/row_writer.h"

#include <algorithm>

#include "picdll/jpeg/colour.h"
#include "picdll/jpeg/upsample.h"

namespace picdll::jpeg {

RowWriter::RowWriter(const Frame& frame, ColourModel model, const Placement& placement,
                     uint8_t* pixels)
    : frame_(frame), model_(model), placement_(placement), pixels_(pixels)
{
    int width = frame.width;
    if (!placement.identity()) strip_.resize(size_t(width) * 3 * frame.block * frame.v_max);
    for (int c = 0; c < frame.component_count; ++c) {
        const Component& comp = frame.components[c];
        ComponentStretch& s = stretch_[c];
        bool whole = frame.h_max % comp.h == 0 && frame.v_max % comp.v == 0;
        int rh = frame.h_max / comp.h, rv = frame.v_max / comp.v;
        // Like libjpeg, rows too narrow to filter are merely repeated.
        bool wide = comp.width > 2;
        if (rh == 1 && rv == 1 && whole) s.kind = Stretch::None;
        else if (whole && rh == 2 && rv == 1 && wide) s.kind = Stretch::H2Fancy;
        else if (whole && rh == 2 && rv == 2 && wide) s.kind = Stretch::H2V2Fancy;
        else if (whole && rh == 1 && rv == 2) s.kind = Stretch::V2Fancy;
        else s.kind = Stretch::Mapped;
        if (s.kind == Stretch::None) continue;
        s.row.resize(size_t(std::max(width, 2 * comp.width)));
        if (s.kind == Stretch::Mapped) {
            s.source_x.resize(size_t(width));
            for (int x = 0; x < width; ++x) s.source_x[x] = uint32_t(x * comp.h / frame.h_max);
        }
    }
}

const uint8_t* RowWriter::ComponentRow(const SamplePlanes& planes, int c, int y)
{
    const Component& comp = frame_.components[c];
    ComponentStretch& s = stretch_[c];
    uint8_t* out = s.row.data();
    switch (s.kind) {
    case Stretch::None:
        return planes.Row(c, y);
    case Stretch::H2Fancy:
        UpsampleH2Fancy(planes.Row(c, y), comp.width, out);
        return out;
    case Stretch::H2V2Fancy:
    case Stretch::V2Fancy: {
        // The nearer sample row, and the one on the other side of the output row.
        int near = y >> 1, far = y & 1 ? near + 1 : near - 1;
        if (s.kind == Stretch::H2V2Fancy)
            UpsampleH2V2Fancy(planes.Row(c, near), planes.Row(c, far), comp.width, out);
        else
            UpsampleV2Fancy(planes.Row(c, near), planes.Row(c, far), comp.width, y & 1, out);
        return out;
    }
    case Stretch::Mapped:
        UpsampleMapped(planes.Row(c, y * comp.v / frame_.v_max), s.source_x.data(), frame_.width, out);
        return out;
    }
    return out;
}

void RowWriter::Convert(const uint8_t* const rows[kMaxComponents], uint8_t* rgb) const
{
    int n = frame_.width;
    switch (model_) {
    case ColourModel::Grey: GreyToRgb(rows[0], rgb, n); break;
    case ColourModel::YCbCr: YCbCrToRgb(rows[0], rows[1], rows[2], rgb, n); break;
    case ColourModel::Rgb: PlanesToRgb(rows[0], rows[1], rows[2], rgb, n); break;
    case ColourModel::Cmyk: CmykToRgb(rows[0], rows[1], rows[2], rows[3], rgb, n); break;
    case ColourModel::Ycck: YcckToRgb(rows[0], rows[1], rows[2], rows[3], rgb, n); break;
    }
}

bool RowWriter::WriteMcuRow(const SamplePlanes& planes, int mcu_row, DecodeTarget& target)
{
    int rows_per_mcu = frame_.block * frame_.v_max;
    int first = mcu_row * rows_per_mcu;
    int count = std::min(rows_per_mcu, frame_.height - first);
    size_t row_bytes = size_t(frame_.width) * 3;
    for (int i = 0; i < count; ++i) {
        // A row of a very wide picture is a good share of a millisecond.
        if (!target.KeepGoing()) return false;
        const uint8_t* rows[kMaxComponents] = {};
        for (int c = 0; c < frame_.component_count; ++c) rows[c] = ComponentRow(planes, c, first + i);
        uint8_t* rgb = strip_.empty() ? pixels_ + size_t(first + i) * row_bytes
                                      : strip_.data() + size_t(i) * row_bytes;
        Convert(rows, rgb);
    }
    // Turning a strip scatters its writes: a piece at a time keeps the questions frequent.
    constexpr int kColumnsPerPiece = 2048;
    for (int x = 0; !strip_.empty() && x < frame_.width; x += kColumnsPerPiece) {
        if (!target.KeepGoing()) return false;
        placement_.Place(strip_.data(), first, count, x, std::min(frame_.width, x + kColumnsPerPiece), pixels_);
    }
    return true;
}

}  // namespace picdll::jpeg
