#include "tools/jpeg_writer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "picdll/jpeg/zigzag.h"
#include "tools/jpeg_dct.h"
#include "tools/jpeg_entropy.h"
#include "tools/jpeg_tables.h"

namespace {

struct Component {
  uint8_t id;
  int h, v;       // sampling factors
  int table;      // 0 = luminance tables, 1 = chrominance tables
};

void Put16(std::vector<uint8_t>& out, int v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

void Marker(std::vector<uint8_t>& out, uint8_t code, int payloadLength) {
  out.push_back(0xFF);
  out.push_back(code);
  Put16(out, payloadLength + 2);
}

void WriteJfifHeader(std::vector<uint8_t>& out) {
  Marker(out, 0xE0, 14);
  for (char c : {'J', 'F', 'I', 'F', '\0'}) out.push_back(uint8_t(c));
  out.push_back(1);  // version 1.01
  out.push_back(1);
  out.push_back(0);  // no density units: square pixels
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(0);  // no thumbnail
  out.push_back(0);
}

void WriteQuantTables(std::vector<uint8_t>& out, const std::vector<std::array<uint8_t, 64>>& tables) {
  Marker(out, 0xDB, int(tables.size()) * 65);
  for (size_t t = 0; t < tables.size(); ++t) {
    out.push_back(uint8_t(t));  // 8-bit precision, table t
    for (int i = 0; i < 64; ++i) out.push_back(tables[t][picdll::jpeg::kZigzag[i]]);
  }
}

void WriteFrameHeader(std::vector<uint8_t>& out, const RgbImage& image,
                      const std::vector<Component>& comps) {
  Marker(out, 0xC0, 6 + 3 * int(comps.size()));
  out.push_back(8);
  Put16(out, image.height);
  Put16(out, image.width);
  out.push_back(uint8_t(comps.size()));
  for (const Component& c : comps) {
    out.push_back(c.id);
    out.push_back(uint8_t(c.h << 4 | c.v));
    out.push_back(uint8_t(c.table));
  }
}

void WriteHuffmanTable(std::vector<uint8_t>& out, uint8_t classAndId, const HuffmanTable& table) {
  Marker(out, 0xC4, 17 + int(table.symbols.size()));
  out.push_back(classAndId);
  out.insert(out.end(), table.counts.begin(), table.counts.end());
  out.insert(out.end(), table.symbols.begin(), table.symbols.end());
}

void WriteScanHeader(std::vector<uint8_t>& out, const std::vector<Component>& comps) {
  Marker(out, 0xDA, 4 + 2 * int(comps.size()));
  out.push_back(uint8_t(comps.size()));
  for (const Component& c : comps) {
    out.push_back(c.id);
    out.push_back(uint8_t(c.table << 4 | c.table));
  }
  out.push_back(0);   // all 64 coefficients in this one scan, no successive approximation
  out.push_back(63);
  out.push_back(0);
}

// One band of MCU rows, converted to the component planes at full resolution and then
// reduced to each component's sampling grid.
class McuBand {
 public:
  McuBand(const RgbImage& image, const std::vector<Component>& comps, int hmax, int vmax)
      : image_(image), comps_(comps), hmax_(hmax), vmax_(vmax) {
    const int mcusX = (image.width + 8 * hmax - 1) / (8 * hmax);
    width_ = mcusX * 8 * hmax;
    height_ = 8 * vmax;
    for (size_t i = 0; i < comps.size(); ++i) full_[i].resize(size_t(width_) * size_t(height_));
    for (size_t i = 0; i < comps.size(); ++i) {
      planes_[i].resize(size_t(width_ / (hmax / comps[i].h)) * size_t(height_ / (vmax / comps[i].v)));
    }
  }

  void Load(int mcuRow) {
    const bool grey = comps_.size() == 1;
    for (int y = 0; y < height_; ++y) {
      const int sy = std::min(mcuRow * height_ + y, image_.height - 1);
      for (int x = 0; x < width_; ++x) {
        const Rgb& p = image_.at(std::min(x, image_.width - 1), sy);
        const size_t i = size_t(y) * size_t(width_) + size_t(x);
        const float r = p.r, g = p.g, b = p.b;
        full_[0][i] = 0.299f * r + 0.587f * g + 0.114f * b - 128;
        if (grey) continue;
        full_[1][i] = -0.168736f * r - 0.331264f * g + 0.5f * b;
        full_[2][i] = 0.5f * r - 0.418688f * g - 0.081312f * b;
      }
    }
    for (size_t c = 0; c < comps_.size(); ++c) Reduce(c);
  }

  // Block (bx, by) of component c within the band, in that component's own grid.
  Block BlockAt(size_t c, int bx, int by) const {
    const int planeWidth = width_ / (hmax_ / comps_[c].h);
    Block block;
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        block[size_t(y * 8 + x)] = planes_[c][size_t(by * 8 + y) * size_t(planeWidth) + size_t(bx * 8 + x)];
      }
    }
    return block;
  }

 private:
  // Box filter over the pixels each subsampled value stands for.
  void Reduce(size_t c) {
    const int fx = hmax_ / comps_[c].h, fy = vmax_ / comps_[c].v;
    const int pw = width_ / fx, ph = height_ / fy;
    const float scale = 1.0f / float(fx * fy);
    for (int y = 0; y < ph; ++y) {
      for (int x = 0; x < pw; ++x) {
        float sum = 0;
        for (int dy = 0; dy < fy; ++dy) {
          for (int dx = 0; dx < fx; ++dx) sum += full_[c][size_t(y * fy + dy) * size_t(width_) + size_t(x * fx + dx)];
        }
        planes_[c][size_t(y) * size_t(pw) + size_t(x)] = sum * scale;
      }
    }
  }

  const RgbImage& image_;
  const std::vector<Component>& comps_;
  int hmax_, vmax_;
  int width_ = 0, height_ = 0;
  std::array<std::vector<float>, 3> full_;
  std::array<std::vector<float>, 3> planes_;
};

std::array<int, 64> Quantise(const Block& coefficients, const std::array<uint8_t, 64>& table) {
  std::array<int, 64> zz{};
  for (size_t i = 0; i < 64; ++i) {
    const size_t natural = picdll::jpeg::kZigzag[i];
    const int limit = i == 0 ? 2047 : 1023;  // largest values baseline Huffman tables can carry
    const int q = int(std::lround(coefficients[natural] / float(table[natural])));
    zz[i] = std::clamp(q, -limit, limit);
  }
  return zz;
}

std::vector<Component> ComponentsFor(JpegSampling sampling) {
  const int luma = sampling == JpegSampling::k420 ? 2 : 1;
  std::vector<Component> comps(1, Component{1, luma, luma, 0});
  if (sampling != JpegSampling::kGrey) {
    comps.push_back(Component{2, 1, 1, 1});
    comps.push_back(Component{3, 1, 1, 1});
  }
  return comps;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const RgbImage& image, const JpegOptions& options) {
  if (image.width < 1 || image.height < 1 || image.width > 65535 || image.height > 65535) return {};

  const std::vector<Component> comps = ComponentsFor(options.sampling);
  const int hmax = comps[0].h, vmax = comps[0].v;
  const bool colour = comps.size() > 1;

  std::vector<std::array<uint8_t, 64>> quant = {ScaleQuantTable(kLuminanceQuant, options.quality)};
  if (colour) quant.push_back(ScaleQuantTable(kChrominanceQuant, options.quality));

  std::vector<uint8_t> out = {0xFF, 0xD8};
  WriteJfifHeader(out);
  WriteQuantTables(out, quant);
  WriteFrameHeader(out, image, comps);
  WriteHuffmanTable(out, 0x00, kLuminanceDc);
  WriteHuffmanTable(out, 0x10, kLuminanceAc);
  if (colour) {
    WriteHuffmanTable(out, 0x01, kChrominanceDc);
    WriteHuffmanTable(out, 0x11, kChrominanceAc);
  }
  WriteScanHeader(out, comps);

  const HuffmanEncoder dc[2] = {HuffmanEncoder(kLuminanceDc), HuffmanEncoder(kChrominanceDc)};
  const HuffmanEncoder ac[2] = {HuffmanEncoder(kLuminanceAc), HuffmanEncoder(kChrominanceAc)};
  BitWriter bits(out);
  int predictors[3] = {0, 0, 0};

  const int mcusX = (image.width + 8 * hmax - 1) / (8 * hmax);
  const int mcusY = (image.height + 8 * vmax - 1) / (8 * vmax);
  McuBand band(image, comps, hmax, vmax);
  for (int my = 0; my < mcusY; ++my) {
    band.Load(my);
    for (int mx = 0; mx < mcusX; ++mx) {
      for (size_t c = 0; c < comps.size(); ++c) {
        const Component& comp = comps[c];
        for (int by = 0; by < comp.v; ++by) {
          for (int bx = 0; bx < comp.h; ++bx) {
            const Block coefficients = ForwardDct(band.BlockAt(c, mx * comp.h + bx, by));
            EncodeBlock(bits, Quantise(coefficients, quant[size_t(comp.table)]), predictors[c],
                        dc[comp.table], ac[comp.table]);
          }
        }
      }
    }
  }
  bits.Flush();
  out.push_back(0xFF);
  out.push_back(0xD9);
  return out;
}
