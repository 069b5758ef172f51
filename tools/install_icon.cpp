#include "tools/install_icon.h"

#include <cmath>

#include "tools/bmp_writer.h"
#include "tools/procedural.h"

namespace {

struct Paint {
  Colour colour;
  float alpha = 0;  // coverage of this sample: 0 or 1
};

bool InRoundedBox(float x, float y, float left, float top, float right, float bottom, float radius) {
  const float cx = std::fmax(left + radius, std::fmin(x, right - radius));
  const float cy = std::fmax(top + radius, std::fmin(y, bottom - radius));
  return x >= left && x <= right && y >= top && y <= bottom &&
         (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

// The arrow: a shaft and a head pointing down, in the lower right corner.
bool InArrow(float x, float y, float grow) {
  const bool shaft = x >= 0.66f - grow && x <= 0.84f + grow && y >= 0.46f - grow && y <= 0.74f;
  const float half = 0.22f + grow * 1.4f - (y - (0.72f - grow)) * 0.9f;
  const bool head = y >= 0.72f - grow && std::fabs(x - 0.75f) <= half && half > 0;
  return shaft || head;
}

// The icon at one point; coordinates run 0..1 across and down.
Paint SampleAt(float x, float y) {
  if (InArrow(x, y, 0.0f)) return {Hex(0x2E9E3E), 1};
  if (InArrow(x, y, 0.06f)) return {Hex(0xFFFFFF), 1};
  if (InRoundedBox(x, y, 0.16f, 0.16f, 0.84f, 0.78f, 0.0f)) {
    const float sunX = 0.62f, sunY = 0.34f;
    if ((x - sunX) * (x - sunX) + (y - sunY) * (y - sunY) < 0.09f * 0.09f) return {Hex(0xFFD23C), 1};
    const float hill = 0.62f + 0.10f * std::cos((x - 0.30f) * 5.0f);
    if (y > hill) return {Mix(Hex(0x4FAF45), Hex(0x2F7A2E), (y - hill) / 0.2f), 1};
    return {Mix(Hex(0x9ED4FF), Hex(0x3D8BE0), (0.78f - y) / 0.62f), 1};
  }
  if (InRoundedBox(x, y, 0.06f, 0.06f, 0.94f, 0.88f, 0.08f)) {
    const bool inner = InRoundedBox(x, y, 0.10f, 0.10f, 0.90f, 0.84f, 0.05f);
    return {inner ? Hex(0xC8903C) : Hex(0x6B4418), 1};
  }
  return {};
}

// One icon image: a 32-bit bottom-up bitmap of twice the height (colour, then mask).
std::vector<uint8_t> IconImage(const RgbaImage& image) {
  const int n = image.size;
  const uint32_t maskStride = ((uint32_t(n) + 31) / 32) * 4;
  std::vector<uint8_t> out;
  Put32(out, 40);
  Put32(out, uint32_t(n));
  Put32(out, uint32_t(n * 2));
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, uint32_t(n * n * 4) + maskStride * uint32_t(n));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int y = n - 1; y >= 0; --y) {
    for (int x = 0; x < n; ++x) {
      const uint8_t* p = &image.rgba[(size_t(y) * size_t(n) + size_t(x)) * 4];
      out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskStride, 0);
    for (int x = 0; x < n; ++x) {
      if (image.rgba[(size_t(y) * size_t(n) + size_t(x)) * 4 + 3] == 0) row[size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

RgbaImage RenderInstallIcon(int size) {
  constexpr int kSamples = 8;
  RgbaImage image{size, std::vector<uint8_t>(size_t(size) * size_t(size) * 4)};
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      Colour sum;
      float coverage = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Paint p = SampleAt((float(px) + (float(sx) + 0.5f) / kSamples) / float(size),
                                   (float(py) + (float(sy) + 0.5f) / kSamples) / float(size));
          sum = sum + p.colour * p.alpha;
          coverage += p.alpha;
        }
      }
      const Rgb rgb = coverage > 0 ? ToRgb(sum * (1.0f / coverage)) : Rgb{};
      const uint8_t alpha = uint8_t(std::lround(coverage * 255.0f / float(kSamples * kSamples)));
      uint8_t* out = &image.rgba[(size_t(py) * size_t(size) + size_t(px)) * 4];
      out[0] = rgb.r;
      out[1] = rgb.g;
      out[2] = rgb.b;
      out[3] = alpha;
    }
  }
  return image;
}

std::vector<uint8_t> EncodeIco(const std::vector<RgbaImage>& images) {
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, uint32_t(images.size()));
  std::vector<std::vector<uint8_t>> bodies;
  for (const RgbaImage& image : images) bodies.push_back(IconImage(image));
  uint32_t offset = 6 + 16 * uint32_t(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(uint8_t(images[i].size));
    out.push_back(uint8_t(images[i].size));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, uint32_t(bodies[i].size()));
    Put32(out, offset);
    offset += uint32_t(bodies[i].size());
  }
  for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
  return out;
}
