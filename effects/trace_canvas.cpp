#include "effects/trace_canvas.h"

#include <cstdio>

std::string FormatTraceOp(const TraceOp& op)
{
    char line[96] = "";
    const int* v = op.v;
    switch (op.kind) {
    case TraceOp::Kind::Copy:
        std::snprintf(line, sizeof line, "copy %d %d %d %d", v[0], v[1], v[2], v[3]);
        break;
    case TraceOp::Kind::Move:
        if (v[0] == v[2] && v[1] == v[3])
            std::snprintf(line, sizeof line, "copy %d %d %d %d", v[2], v[3], v[4], v[5]);
        else
            std::snprintf(line, sizeof line, "move %d %d %d %d %d %d", v[0], v[1], v[2], v[3], v[4], v[5]);
        break;
    case TraceOp::Kind::Black:
        std::snprintf(line, sizeof line, "black %d %d %d %d", v[0], v[1], v[2], v[3]);
        break;
    case TraceOp::Kind::Pump:
        return "pump";
    case TraceOp::Kind::Pause:
        std::snprintf(line, sizeof line, "pause %d", v[0]);
        break;
    }
    return line;
}
