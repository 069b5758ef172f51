// A small stroke font: each glyph is a set of centrelines (polylines), drawn later as
// round-capped strokes of whatever weight the caller wants. Only the letters our
// artwork needs are defined.
//
// Units: baseline at y = 0, y upwards, x-height 5, capitals 7, ascenders 7.5,
// descenders down to -2.5. A glyph's ink starts at x = 0 and its centrelines end at
// x = width; callers add the spacing (which must cover the stroke weight).
#pragma once

#include <vector>

struct Point {
  float x = 0, y = 0;
};

using Polyline = std::vector<Point>;  // one point alone is a dot

struct Glyph {
  float width = 0;
  std::vector<Polyline> strokes;
};

constexpr float kXHeight = 5.0f;
constexpr float kCapHeight = 7.0f;
constexpr float kAscender = 7.5f;
constexpr float kDescender = -2.5f;

// Returns nullptr for characters the font does not have.
const Glyph* FindGlyph(char c);
