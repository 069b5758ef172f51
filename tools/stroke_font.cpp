#include "tools/stroke_font.h"

#include <cmath>
#include <map>

namespace {

Polyline Line(float x0, float y0, float x1, float y1) { return {{x0, y0}, {x1, y1}}; }

// Elliptical arc from angle `from` to `to` in degrees, anticlockwise when to > from.
Polyline Arc(float cx, float cy, float rx, float ry, float from, float to) {
  const int steps = std::max(2, int(std::ceil(std::fabs(to - from) / 7.5f)));
  Polyline line;
  for (int i = 0; i <= steps; ++i) {
    const float a = (from + (to - from) * float(i) / float(steps)) * 3.14159265f / 180.0f;
    line.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  return line;
}

// Joins polylines end to start, so a stroke with a straight part and a curve is one piece.
Polyline Join(Polyline a, const Polyline& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Polyline Dot(float x, float y) { return {{x, y}}; }

// The arch shared by n, h and m: up from the stem, over, and down the right side.
Polyline Arch(float left, float right) {
  const float r = (right - left) / 2;
  return Join(Arc(left + r, 3.0f, r, 2.0f, 180, 0), {{right, 0}});
}

// An S curve in a box: two stacked arcs meeting in the middle.
Polyline Ess(float width, float height) {
  const float rx = width / 2, ry = height / 4;
  return Join(Arc(rx, 3 * ry, rx, ry, 25, 270), Arc(rx, ry, rx, ry, 90, -155));
}

std::map<char, Glyph> BuildFont() {
  std::map<char, Glyph> f;
  f['V'] = {5.6f, {{{0, kCapHeight}, {2.8f, 0}, {5.6f, kCapHeight}}}};
  f['U'] = {4.6f, {Join(Line(0, kCapHeight, 0, 2.3f), Join(Arc(2.3f, 2.3f, 2.3f, 2.3f, 180, 360), {{4.6f, kCapHeight}}))}};
  f['S'] = {4.4f, {Ess(4.4f, kCapHeight)}};
  f['"'] = {1.4f, {Line(0, 7.2f, 0, 5.2f), Line(1.4f, 7.2f, 1.4f, 5.2f)}};
  f[' '] = {1.2f, {}};

  f['a'] = {4.2f, {Arc(2.1f, 2.5f, 2.1f, 2.5f, 0, 360), Line(4.2f, kXHeight, 4.2f, 0)}};
  f['e'] = {4.4f, {Join(Line(0.05f, 2.5f, 4.35f, 2.5f), Arc(2.2f, 2.5f, 2.15f, 2.5f, 0, 315))}};
  f['g'] = {4.2f, {Arc(2.1f, 2.5f, 2.1f, 2.5f, 0, 360),
                   Join(Line(4.2f, kXHeight, 4.2f, -0.4f), Arc(2.1f, -0.4f, 2.1f, 2.1f, 0, -155))}};
  f['h'] = {4.0f, {Line(0, kAscender, 0, 0), Arch(0, 4.0f)}};
  f['i'] = {0.0f, {Line(0, kXHeight, 0, 0), Dot(0, 6.6f)}};
  f['l'] = {0.0f, {Line(0, kAscender, 0, 0)}};
  f['m'] = {5.4f, {Line(0, kXHeight, 0, 0), Arch(0, 2.7f), Arch(2.7f, 5.4f)}};
  f['n'] = {4.0f, {Line(0, kXHeight, 0, 0), Arch(0, 4.0f)}};
  f['o'] = {4.6f, {Arc(2.3f, 2.5f, 2.3f, 2.5f, 0, 360)}};
  f['p'] = {4.4f, {Line(0, kXHeight, 0, kDescender), Arc(2.2f, 2.5f, 2.2f, 2.5f, 0, 360)}};
  f['r'] = {2.9f, {Line(0, kXHeight, 0, 0), Arc(2.4f, 2.6f, 2.4f, 2.4f, 180, 75)}};
  f['s'] = {3.6f, {Ess(3.6f, kXHeight)}};
  f['t'] = {2.6f, {Join(Line(0.9f, 6.6f, 0.9f, 1.0f), Arc(2.1f, 1.0f, 1.2f, 1.0f, 180, 290)),
                   Line(0, kXHeight, 2.6f, kXHeight)}};
  return f;
}

}  // namespace

const Glyph* FindGlyph(char c) {
  static const std::map<char, Glyph> font = BuildFont();
  const auto it = font.find(c);
  return it == font.end() ? nullptr : &it->second;
}
