// Lays a line of stroke-font text out as straight segments and answers the one question
// rasterising needs: how far is a point from the nearest stroke centreline, and which way.
#pragma once

#include <string>
#include <vector>

#include "tools/stroke_font.h"

struct Segment {
  Point a, b;
};

class TextShape {
 public:
  // `spacing` is the gap between one glyph's last centreline and the next one's first,
  // in font units. Characters without a glyph are skipped.
  TextShape(const std::string& text, float spacing);

  float Width() const { return width_; }

  struct Nearest {
    float distance;
    Point away;  // unit vector from the centreline towards the query point
  };
  // Considers only segments within `reach` of p; distance is `reach` when none is.
  Nearest NearestStroke(Point p, float reach) const;

 private:
  std::vector<Segment> segments_;
  float width_ = 0;
};
