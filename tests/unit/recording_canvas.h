// Test helpers for the effects: record a run, group it by pumps, rasterise what it covered.
#pragma once
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/random.h"
#include "effects/effects.h"
#include "effects/trace_canvas.h"

// Keeps every operation; throws past `budget` of them, so that an effect that never
// ends fails its test instead of hanging it.
class RecordingCanvas final : public TraceCanvas {
public:
    explicit RecordingCanvas(int stopAfter = 0, size_t budget = 5'000'000)
        : TraceCanvas(stopAfter), budget_(budget)
    {
    }
    std::vector<TraceOp> ops;

private:
    void Record(const TraceOp& op) override
    {
        if (ops.size() >= budget_) throw std::length_error("the effect does not end");
        ops.push_back(op);
    }
    size_t budget_;
};

inline bool operator==(const TraceOp& a, const TraceOp& b)
{
    return a.kind == b.kind && std::equal(a.v, a.v + 6, b.v);
}

struct Rect {
    int x, y, w, h;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
inline std::ostream& operator<<(std::ostream& os, const Rect& r)
{
    return os << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}

inline bool IsDrawing(const TraceOp& op)
{
    return op.kind == TraceOp::Kind::Copy || op.kind == TraceOp::Kind::Move || op.kind == TraceOp::Kind::Black;
}

// Where a drawing lands on the window.
inline Rect Destination(const TraceOp& op)
{
    const int* v = op.kind == TraceOp::Kind::Move ? op.v + 2 : op.v;
    return {v[0], v[1], v[2], v[3]};
}

struct Trace {
    std::vector<TraceOp> ops;
    bool finished = false;  // what the run returned

    int Pumps() const
    {
        const auto isPump = [](const TraceOp& op) { return op.kind == TraceOp::Kind::Pump; };
        return static_cast<int>(std::count_if(ops.begin(), ops.end(), isPump));
    }
    std::vector<int> PauseLengths() const
    {
        std::vector<int> ms;
        for (const TraceOp& op : ops)
            if (op.kind == TraceOp::Kind::Pause) ms.push_back(op.v[0]);
        return ms;
    }
    std::vector<Rect> Rects() const
    {
        std::vector<Rect> rects;
        for (const TraceOp& op : ops)
            if (IsDrawing(op)) rects.push_back(Destination(op));
        return rects;
    }
    // The rectangles before each pump; those after the last pump make one more group.
    std::vector<std::vector<Rect>> Frames() const
    {
        std::vector<std::vector<Rect>> frames(1);
        for (const TraceOp& op : ops) {
            if (op.kind == TraceOp::Kind::Pump) frames.emplace_back();
            if (IsDrawing(op)) frames.back().push_back(Destination(op));
        }
        if (frames.back().empty()) frames.pop_back();
        return frames;
    }
};

enum class Finish { AsDesigned, Completely };

// A run from seed 1; the stopAfter-th pump and every later one answer stop.
inline Trace RunTrace(int number, EffectMode mode, int width, int height, int stopAfter = 0,
                      Finish finish = Finish::AsDesigned)
{
    SeedRandom(1);
    RecordingCanvas canvas(stopAfter);
    Trace trace;
    trace.finished = finish == Finish::Completely ? RunEffectCompletely(number, mode, width, height, canvas)
                                                  : RunEffect(number, mode, width, height, canvas);
    trace.ops = std::move(canvas.ops);
    return trace;
}

// Which cells of the area some drawing reached, clipped to it.
class Coverage {
public:
    Coverage(const std::vector<TraceOp>& ops, int width, int height)
        : width_(width), covered_(size_t(width) * height)
    {
        // Corner marks and running sums: effects draw up to hundreds of thousands of
        // rectangles, some as large as the area.
        const size_t stride = width + 1;
        std::vector<int> marks(stride * (height + 1));
        for (const TraceOp& op : ops) {
            if (!IsDrawing(op)) continue;
            const Rect r = Destination(op);
            const size_t x0 = std::clamp(r.x, 0, width), x1 = std::clamp(r.x + std::max(r.w, 0), 0, width);
            const size_t y0 = std::clamp(r.y, 0, height), y1 = std::clamp(r.y + std::max(r.h, 0), 0, height);
            if (x0 >= x1 || y0 >= y1) continue;
            ++marks[y0 * stride + x0], --marks[y0 * stride + x1];
            --marks[y1 * stride + x0], ++marks[y1 * stride + x1];
        }
        std::vector<int> column(stride);
        for (int y = 0; y < height; ++y)
            for (int x = 0, run = 0; x < width; ++x) {
                column[x] += marks[y * stride + x];
                run += column[x];
                covered_[size_t(y) * width + x] = run > 0;
            }
    }
    bool Covered(int x, int y) const { return covered_[size_t(y) * width_ + x]; }
    bool All() const { return std::find(covered_.begin(), covered_.end(), false) == covered_.end(); }

private:
    int width_;
    std::vector<bool> covered_;
};

constexpr EffectMode kBothModes[] = {EffectMode::Transition, EffectMode::Clear};
inline const char* ModeName(EffectMode mode) { return mode == EffectMode::Transition ? "transition" : "clear"; }
