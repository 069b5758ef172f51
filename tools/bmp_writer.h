// Uncompressed Windows bitmaps (BITMAPFILEHEADER + BITMAPINFOHEADER, BI_RGB, bottom-up).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/image.h"

std::vector<uint8_t> EncodeBmp24(const RgbImage& image);

// Always writes all 256 colour-table entries, so readers never have to guess biClrUsed.
std::vector<uint8_t> EncodeBmp8(const IndexedImage& image);

// Little-endian 16- and 32-bit fields, as every Windows picture header stores them.
void Put16(std::vector<uint8_t>& out, uint32_t v);
void Put32(std::vector<uint8_t>& out, uint32_t v);

// Returns false (and leaves a message on stderr) if the file cannot be written completely.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
