#include "tools/lettering.h"

#include <algorithm>
#include <cmath>

TextShape::TextShape(const std::string& text, float spacing) {
  float pen = 0;
  bool first = true;
  for (char c : text) {
    const Glyph* glyph = FindGlyph(c);
    if (!glyph) continue;
    if (!first) pen += spacing;
    first = false;
    auto shift = [pen](Point q) { return Point{pen + q.x, q.y}; };
    for (const Polyline& line : glyph->strokes) {
      if (line.size() == 1) segments_.push_back({shift(line[0]), shift(line[0])});
      for (size_t i = 0; i + 1 < line.size(); ++i) segments_.push_back({shift(line[i]), shift(line[i + 1])});
    }
    pen += glyph->width;
  }
  width_ = pen;
}

TextShape::Nearest TextShape::NearestStroke(Point p, float reach) const {
  Nearest best{reach, {0, 1}};
  float bestSquared = reach * reach;
  for (const Segment& s : segments_) {
    // Cheap box test first: most segments are nowhere near the point.
    if (p.x < std::min(s.a.x, s.b.x) - reach || p.x > std::max(s.a.x, s.b.x) + reach ||
        p.y < std::min(s.a.y, s.b.y) - reach || p.y > std::max(s.a.y, s.b.y) + reach) {
      continue;
    }
    const float dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const float lengthSquared = dx * dx + dy * dy;
    float t = lengthSquared > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ox = p.x - (s.a.x + t * dx), oy = p.y - (s.a.y + t * dy);
    const float squared = ox * ox + oy * oy;
    if (squared < bestSquared) {
      bestSquared = squared;
      const float d = std::sqrt(squared);
      best = {d, d > 0 ? Point{ox / d, oy / d} : Point{0, 1}};
    }
  }
  return best;
}
