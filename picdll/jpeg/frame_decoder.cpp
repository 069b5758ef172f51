#include "picdll/jpeg/frame_decoder.h"

#include <cstring>

#include "picdll/jpeg/block_decoding.h"
#include "picdll/jpeg/idct.h"
#include "picdll/jpeg/scan_reader.h"
#include "picdll/jpeg/zigzag.h"

namespace picdll::jpeg {

namespace {

// How many MCUs may pass between two questions to the target, so that a very wide
// picture still asks well within a millisecond.
constexpr int kMcusPerCheck = 64;

// Whether a progressive scan's band and bit positions are usable.
bool ValidProgressiveScan(const ScanHeader& s)
{
    if (s.ah > 13 || s.al > 13) return false;
    if (s.ss == 0) return s.se == 0;
    return s.ss <= s.se && s.se <= 63 && s.component_count == 1;
}

constexpr uint16_t kUnitQuant[64] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                     1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                     1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                     1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

}  // namespace

FrameDecoder::FrameDecoder(const Frame& frame, const Frame& output, const ScanHeader& first_scan,
                           RowWriter& writer, DecodeTarget& target)
    : frame_(frame), writer_(writer), target_(target), planes_(output),
      streaming_(!frame.progressive && first_scan.component_count == frame.component_count)
{
    for (int c = 0; c < frame.component_count; ++c)
        sides_[c] = {output.components[c].side_h, output.components[c].side_v};
    if (streaming_) return;
    for (int c = 0; c < frame.component_count; ++c) {
        const Component& comp = frame.components[c];
        // The bits spare a refining scan a branch on each term; a full-size picture does as
        // well without them (its first scans would pay for them), and saves their memory.
        coefficients_[c].Reset(comp.blocks_wide, comp.blocks_high, sides_[c].across, sides_[c].down, output.block < 8);
    }
}

void FrameDecoder::WriteBlock(const int16_t coef[64], bool ac_present, int c, int mcu_row, int bx, int by)
{
    uint8_t* out = planes_.Block(c, mcu_row, bx, by);
    const ptrdiff_t stride = planes_.stride(c);
    const Side side = sides_[c];
    if (side.across != side.down) InverseDctUneven(coef, side.across, side.down, out, stride);
    else if (side.across < 8) InverseDctReduced(coef, side.across, out, stride);
    else if (ac_present) InverseDct(coef, out, stride);
    else InverseDctFlat(coef[0], out, stride);
}

DecodeStatus FrameDecoder::DecodeScan(const StreamTables& tables, const ScanHeader& scan,
                                      const uint8_t* data, size_t size, size_t& pos)
{
    if (!WantsMoreScans()) return DecodeStatus::Ok;
    if (frame_.progressive && !ValidProgressiveScan(scan)) return DecodeStatus::Ok;
    for (int i = 0; i < scan.component_count; ++i) {
        int c = scan.components[i];
        if (latched_[c]) continue;
        int t = frame_.components[c].quant_table;
        if (!tables.quant_defined[t]) return DecodeStatus::Ok;
        std::memcpy(quant_[c], tables.quant[t], sizeof quant_[c]);
        latched_[c] = true;
    }
    if (frame_.progressive) progress_.Start(scan);
    return streaming_ ? DecodeStreaming(tables, scan, data, size, pos)
                      : DecodeCoefficients(tables, scan, data, size, pos);
}

DecodeStatus FrameDecoder::DecodeStreaming(const StreamTables& tables, const ScanHeader& scan,
                                           const uint8_t* data, size_t size, size_t& pos)
{
    ScanReader reader(data, size, pos, tables.restart_interval);
    int prediction[kMaxComponents] = {};
    alignas(16) int16_t coef[64] = {};
    for (int row = 0; row < frame_.mcus_high; ++row) {
        for (int mx = 0; mx < frame_.mcus_wide; ++mx) {
            if (mx % kMcusPerCheck == 0 && !target_.KeepGoing()) return DecodeStatus::Stopped;
            bool restarted;
            bool have = reader.BeginMcu(restarted);
            if (restarted) std::memset(prediction, 0, sizeof prediction);
            bool ok = true;
            for (int i = 0; i < scan.component_count; ++i) {
                int c = scan.components[i];
                const Component& comp = frame_.components[c];
                const HuffmanTable& dc = tables.dc[scan.dc_table[i]];
                const HuffmanTable& ac = tables.ac[scan.ac_table[i]];
                for (int by = 0; by < comp.v; ++by) {
                    for (int bx = 0; bx < comp.h; ++bx) {
                        if (!have || !ok) {
                            // Missing data shows as grey (coef is all zero here).
                            WriteBlock(coef, false, c, row, mx * comp.h + bx, by);
                            continue;
                        }
                        int last = DecodeSequentialBlock(reader.bits, dc, ac, prediction[i], quant_[c], coef);
                        ok = last >= 0;
                        WriteBlock(coef, last > 0, c, row, mx * comp.h + bx, by);
                        // Clear what the block used, ready for the next one: term by term
                        // when it used few, else all at once (a photo's blocks use many).
                        if (ok && last < 8) {
                            for (int k = 0; k <= last; ++k) coef[kZigzag[k]] = 0;
                        } else {
                            std::memset(coef, 0, sizeof coef);
                        }
                    }
                }
            }
            if (have) reader.EndMcu(ok);
        }
        if (row > 0 && !writer_.WriteMcuRow(planes_, row - 1, target_)) return DecodeStatus::Stopped;
    }
    if (!writer_.WriteMcuRow(planes_, frame_.mcus_high - 1, target_)) return DecodeStatus::Stopped;
    written_ = true;
    pos = reader.EndPosition(data);
    return DecodeStatus::Ok;
}

DecodeStatus FrameDecoder::DecodeCoefficients(const StreamTables& tables, const ScanHeader& scan,
                                              const uint8_t* data, size_t size, size_t& pos)
{
    // A scan of one component codes its blocks one by one, covering only the blocks
    // that reach into the picture; several components interleave whole MCUs.
    bool interleaved = scan.component_count > 1;
    int units_wide = frame_.mcus_wide, units_high = frame_.mcus_high;
    if (!interleaved) {
        const Component& comp = frame_.components[scan.components[0]];
        units_wide = (comp.width + 7) / 8;
        units_high = (comp.height + 7) / 8;
    }
    ScanReader reader(data, size, pos, tables.restart_interval);
    int prediction[kMaxComponents] = {};
    int eob_run = 0;
    int last_row = -1;  // the last unit row that had data
    for (int uy = 0; uy < units_high && !reader.Exhausted(); ++uy) {
        for (int ux = 0; ux < units_wide && !reader.Exhausted(); ++ux) {
            if (ux % kMcusPerCheck == 0 && !target_.KeepGoing()) return DecodeStatus::Stopped;
            bool restarted;
            bool have = reader.BeginMcu(restarted);
            if (restarted) {
                std::memset(prediction, 0, sizeof prediction);
                eob_run = 0;
            }
            if (!have) continue;
            last_row = uy;
            bool ok = true;
            for (int i = 0; i < scan.component_count && ok; ++i) {
                int c = scan.components[i];
                const Component& comp = frame_.components[c];
                int bw = interleaved ? comp.h : 1, bh = interleaved ? comp.v : 1;
                for (int b = 0; b < bw * bh && ok; ++b)
                    ok = DecodeBlock(tables, scan, i, reader.bits, prediction[i], eob_run, ux * bw + b % bw, uy * bh + b / bw);
            }
            reader.EndMcu(ok);
        }
    }
    if (frame_.progressive) {
        // Units of a scan of one component are blocks; its MCU rows are v blocks high.
        const int v = interleaved ? 1 : frame_.components[scan.components[0]].v;
        progress_.Reached(scan, last_row < 0 ? -1 : last_row / v);
    }
    pos = reader.EndPosition(data);
    return DecodeStatus::Ok;
}

bool FrameDecoder::DecodeBlock(const StreamTables& tables, const ScanHeader& scan, int i,
                               BitReader& bits, int& prediction, int& eob_run, int bx, int by)
{
    CoefficientStore& store = coefficients_[scan.components[i]];
    const HuffmanTable& dc = tables.dc[scan.dc_table[i]];
    const HuffmanTable& ac = tables.ac[scan.ac_table[i]];
    if (!frame_.progressive) {
        alignas(16) int16_t coef[64] = {};
        const bool ok = DecodeSequentialBlock(bits, dc, ac, prediction, kUnitQuant, coef) >= 0;
        store.Store(bx, by, coef);
        return ok;
    }
    if (scan.ss == 0) {
        int16_t* terms = store.Terms(bx, by);  // the DC term is the first kept at every size
        if (scan.ah != 0) {
            DecodeDcRefine(bits, scan.al, terms);
            return true;
        }
        return DecodeDcFirst(bits, dc, prediction, scan.al, terms);
    }
    if (!store.with_bits()) {
        if (scan.ah == 0) return DecodeAcFirst(bits, ac, scan.ss, scan.se, scan.al, eob_run, store.Whole(bx, by));
        return DecodeAcRefine(bits, ac, scan.ss, scan.se, scan.al, eob_run, store.Whole(bx, by));
    }
    if (scan.ah == 0) return DecodeAcFirst(bits, ac, scan.ss, scan.se, scan.al, eob_run, store.Reduced(bx, by));
    return DecodeAcRefine(bits, ac, scan.ss, scan.se, scan.al, eob_run, store.Reduced(bx, by));
}

DecodeStatus FrameDecoder::Finish()
{
    if (streaming_) return DecodeStatus::Ok;  // written as the scan was read
    const bool smooth = frame_.progressive && progress_.WorthSmoothing(frame_, quant_);
    alignas(16) int16_t coef[64] = {};
    int16_t smoothed[64];
    for (int row = 0; row < frame_.mcus_high; ++row) {
        for (int c = 0; c < frame_.component_count; ++c) {
            const Component& comp = frame_.components[c];
            const uint16_t* quant = quant_[c];
            const CoefficientStore& store = coefficients_[c];
            const Side side = sides_[c];
            const CoefficientPlane plane = {&store, (comp.width + 7) / 8, (comp.height + 7) / 8,
                                            comp.v, frame_.mcus_high};
            for (int by = 0; by < comp.v; ++by) {
                const int block_row = row * comp.v + by;
                for (int bx = 0; bx < comp.blocks_wide; ++bx) {
                    if (bx % kMcusPerCheck == 0 && !target_.KeepGoing()) return DecodeStatus::Stopped;
                    const int16_t* in = store.Terms(bx, block_row);
                    int in_row = side.across;  // terms a row of `in`
                    if (smooth && bx < plane.wide && block_row < plane.high) {
                        SmoothBlock(plane, bx, block_row, progress_.Known(c, row), quant, smoothed);
                        in = smoothed;
                        in_row = 8;
                    }
                    int ac = 0;
                    for (int v = 0; v < side.down; ++v) {
                        for (int u = 0; u < side.across; ++u) {
                            const int at = 8 * v + u;
                            coef[at] = ClampCoefficient(in[in_row * v + u] * quant[at]);
                            ac |= at ? coef[at] : 0;
                        }
                    }
                    WriteBlock(coef, ac != 0, c, row, bx, by);
                }
            }
        }
        if (row > 0 && !writer_.WriteMcuRow(planes_, row - 1, target_)) return DecodeStatus::Stopped;
    }
    if (!writer_.WriteMcuRow(planes_, frame_.mcus_high - 1, target_)) return DecodeStatus::Stopped;
    return DecodeStatus::Ok;
}

}  // namespace picdll::jpeg
