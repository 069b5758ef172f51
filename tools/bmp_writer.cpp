#include "tools/bmp_writer.h"

#include <cstdio>

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dpi, what paint programs write by default

// Rows are padded to a multiple of four bytes.
uint32_t RowStride(int width, int bitsPerPixel) {
  return ((uint32_t(width) * uint32_t(bitsPerPixel) + 31) / 32) * 4;
}

std::vector<uint8_t> Headers(int width, int height, int bitsPerPixel, uint32_t paletteEntries) {
  const uint32_t imageSize = RowStride(width, bitsPerPixel) * uint32_t(height);
  const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + paletteEntries * 4;
  std::vector<uint8_t> out;
  out.reserve(pixelOffset + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, pixelOffset + imageSize);
  Put32(out, 0);  // two reserved words
  Put32(out, pixelOffset);

  Put32(out, kInfoHeaderSize);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));  // positive: bottom-up
  Put16(out, 1);                 // planes
  Put16(out, uint32_t(bitsPerPixel));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, kPixelsPerMetre);
  Put32(out, kPixelsPerMetre);
  Put32(out, paletteEntries);
  Put32(out, 0);  // all colours important
  return out;
}

void PadRow(std::vector<uint8_t>& out, uint32_t written, uint32_t stride) {
  out.insert(out.end(), stride - written, uint8_t(0));
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const RgbImage& image) {
  std::vector<uint8_t> out = Headers(image.width, image.height, 24, 0);
  const uint32_t stride = RowStride(image.width, 24);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb& p = image.at(x, y);
      out.push_back(p.b);
      out.push_back(p.g);
      out.push_back(p.r);
    }
    PadRow(out, uint32_t(image.width) * 3, stride);
  }
  return out;
}

std::vector<uint8_t> EncodeBmp8(const IndexedImage& image) {
  std::vector<uint8_t> out = Headers(image.width, image.height, 8, 256);
  for (const Rgb& c : image.palette) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  const uint32_t stride = RowStride(image.width, 8);
  for (int y = image.height - 1; y >= 0; --y) {
    const uint8_t* row = &image.indices[size_t(y) * size_t(image.width)];
    out.insert(out.end(), row, row + image.width);
    PadRow(out, uint32_t(image.width), stride);
  }
  return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "cannot create %s\n", path.c_str());
    return false;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}
