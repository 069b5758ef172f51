#pragma once
// The installer's icon: a framed landscape picture with an arrow going down into place,
// as a .ico file holding a 32 x 32 and a 16 x 16 image with alpha.

#include <cstdint>
#include <vector>

constexpr int kInstallIconSizes[] = {32, 16};

struct RgbaImage {
  int size = 0;
  std::vector<uint8_t> rgba;  // top-down rows, 4 bytes a pixel
};

RgbaImage RenderInstallIcon(int size);
std::vector<uint8_t> EncodeIco(const std::vector<RgbaImage>& images);
