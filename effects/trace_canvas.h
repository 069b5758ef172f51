// A canvas that turns a run into a trace, one operation at a time: what effect-trace
// prints and the tests check.
#pragma once
#include <string>

#include "effects/canvas.h"

struct TraceOp {
    enum class Kind { Copy, Move, Black, Pump, Pause };
    Kind kind;
    // Copy, Black: x y w h. Move: sx sy dx dy w h. Pause: ms.
    int v[6];
};

// One line of a trace, without the newline:
// copy X Y W H | move SX SY DX DY W H | black X Y W H | pump | pause MS.
// A move onto its own place is a copy.
std::string FormatTraceOp(const TraceOp& op);

// Hands every call to Record. The stopAfter-th pump and every later one answer stop, as
// they do once a quit message is waiting; 0 means no pump does.
class TraceCanvas : public EffectCanvas {
public:
    explicit TraceCanvas(int stopAfter = 0) : stopAfter_(stopAfter) {}

    void Copy(int x, int y, int w, int h) final { Record({TraceOp::Kind::Copy, {x, y, w, h}}); }
    void CopyFrom(int sx, int sy, int dx, int dy, int w, int h) final
    {
        Record({TraceOp::Kind::Move, {sx, sy, dx, dy, w, h}});
    }
    void Black(int x, int y, int w, int h) final { Record({TraceOp::Kind::Black, {x, y, w, h}}); }
    bool Pump() final
    {
        Record({TraceOp::Kind::Pump, {}});
        ++pumps_;
        return stopAfter_ > 0 && pumps_ >= stopAfter_;
    }
    void Pause(int ms) final { Record({TraceOp::Kind::Pause, {ms}}); }

protected:
    virtual void Record(const TraceOp& op) = 0;

private:
    int stopAfter_;
    int pumps_ = 0;
};
