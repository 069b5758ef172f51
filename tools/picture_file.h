// Saving a painted picture as one of the file kinds the samples come in.
#pragma once

#include <string>

#include "tools/image.h"
#include "tools/jpeg_writer.h"

struct PictureFormat {
  enum class Kind { kJpeg, kBmp } kind = Kind::kJpeg;
  JpegOptions jpeg;
  int bmpBits = 24;  // 24, or 8 for a palette picture
};

bool SavePicture(const std::string& path, const RgbImage& image, const PictureFormat& format);
