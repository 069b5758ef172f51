#include "tools/picture_file.h"

#include "tools/bmp_writer.h"
#include "tools/palette_quantise.h"

bool SavePicture(const std::string& path, const RgbImage& image, const PictureFormat& format) {
  if (format.kind == PictureFormat::Kind::kJpeg) {
    const std::vector<uint8_t> bytes = EncodeJpeg(image, format.jpeg);
    return !bytes.empty() && WriteFileBytes(path, bytes);
  }
  if (format.bmpBits == 8) return WriteFileBytes(path, EncodeBmp8(Quantise(image)));
  return WriteFileBytes(path, EncodeBmp24(image));
}
