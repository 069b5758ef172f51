// Baseline sequential JPEG (JFIF) encoder for the sample pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/image.h"

enum class JpegSampling {
  k420,  // chroma halved both ways, what cameras and most files use
  k444,  // full-resolution chroma
  kGrey  // a single luminance component
};

struct JpegOptions {
  int quality = 90;  // 1..100, scaling the standard's example tables
  JpegSampling sampling = JpegSampling::k420;
};

// Any size from 1x1 to 65535x65535; partial blocks are filled by repeating the edge pixels.
// Returns an empty vector if the size cannot be stored.
std::vector<uint8_t> EncodeJpeg(const RgbImage& image, const JpegOptions& options = {});
