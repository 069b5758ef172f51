#include "tools/jpeg_dct.h"

#include <cmath>

namespace {

// basis[u][x] = C(u)/2 * cos((2x+1)u*pi/16), so F = B * f * B^T.
struct Basis {
  float m[8][8];
  Basis() {
    const double pi = std::acos(-1.0);
    for (int u = 0; u < 8; ++u) {
      const double c = u == 0 ? std::sqrt(0.5) : 1.0;
      for (int x = 0; x < 8; ++x) m[u][x] = float(0.5 * c * std::cos((2 * x + 1) * u * pi / 16));
    }
  }
};

const Basis& TheBasis() {
  static const Basis basis;
  return basis;
}

}  // namespace

Block ForwardDct(const Block& f) {
  const auto& b = TheBasis().m;
  float rows[64];  // each row transformed along x
  for (int y = 0; y < 8; ++y) {
    for (int u = 0; u < 8; ++u) {
      float sum = 0;
      for (int x = 0; x < 8; ++x) sum += b[u][x] * f[y * 8 + x];
      rows[y * 8 + u] = sum;
    }
  }
  Block out;
  for (int v = 0; v < 8; ++v) {
    for (int u = 0; u < 8; ++u) {
      float sum = 0;
      for (int y = 0; y < 8; ++y) sum += b[v][y] * rows[y * 8 + u];
      out[v * 8 + u] = sum;
    }
  }
  return out;
}
