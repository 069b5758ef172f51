#include "saver/monitors.h"

#include <algorithm>

namespace {

// The up to four pieces of `area` outside `hole`: full-width bands above and below, then
// the pieces left and right of it within the hole's rows.
void AddDifference(const ScreenRect& area, const ScreenRect& hole, std::vector<ScreenRect>& out)
{
    ScreenRect overlap = {std::max(area.left, hole.left), std::max(area.top, hole.top),
                          std::min(area.right, hole.right), std::min(area.bottom, hole.bottom)};
    if (overlap.Empty()) {
        out.push_back(area);
        return;
    }
    const ScreenRect pieces[] = {
        {area.left, area.top, area.right, overlap.top},
        {area.left, overlap.bottom, area.right, area.bottom},
        {area.left, overlap.top, overlap.left, overlap.bottom},
        {overlap.right, overlap.top, area.right, overlap.bottom},
    };
    for (const ScreenRect& piece : pieces)
        if (!piece.Empty()) out.push_back(piece);
}

}  // namespace

std::vector<ScreenRect> CoverRects(const ScreenRect& primary, const std::vector<ScreenRect>& monitors)
{
    std::vector<ScreenRect> covers;
    for (const ScreenRect& monitor : monitors) {
        if (monitor.Empty()) continue;
        std::vector<ScreenRect> pieces;
        AddDifference(monitor, primary, pieces);
        // Monitors may overlap each other too; cover each pixel once.
        for (const ScreenRect& earlier : covers) {
            std::vector<ScreenRect> remaining;
            for (const ScreenRect& piece : pieces) AddDifference(piece, earlier, remaining);
            pieces.swap(remaining);
        }
        covers.insert(covers.end(), pieces.begin(), pieces.end());
    }
    return covers;
}

std::vector<ScreenRect> ShowRects(const ScreenRect& primary, const std::vector<ScreenRect>& monitors)
{
    std::vector<ScreenRect> shows = {primary};
    for (const ScreenRect& monitor : monitors)
        if (!monitor.Empty() && std::find(shows.begin(), shows.end(), monitor) == shows.end())
            shows.push_back(monitor);
    return shows;
}
