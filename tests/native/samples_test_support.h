#pragma once
// Shared by the artwork and sample tests: runs a generator tool and reads back the BMP
// files it writes and the PNM files djpeg decodes to. Readers are strict on purpose:
// the saver's own loader will see exactly these files.

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace tooltest {

namespace fs = std::filesystem;

inline std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An empty scratch directory private to this test process.
inline fs::path FreshDir(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("velmora-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

inline std::string Tool(const std::string& name) { return std::string(VELMORA_TOOLS_DIR) + "/" + name; }

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Exit status of a shell command, or -1 if it did not exit normally.
inline int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline bool HaveProgram(const std::string& name) {
  return RunCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}

using Colour = std::array<int, 3>;  // r, g, b

struct Bitmap {
  int width = 0, height = 0, bits = 0;
  uint32_t colorsUsed = 0;
  std::vector<Colour> palette;
  std::vector<uint8_t> indices;  // 8-bit pictures, top-down
  std::vector<Colour> pixels;    // every picture, top-down

  uint8_t Index(int x, int y) const { return indices[size_t(y) * size_t(width) + size_t(x)]; }
  Colour At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

inline uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + size_t(i)];
  return v;
}

// Accepts only what the writer promises: BI_RGB, bottom-up, 8 or 24 bits, 40-byte header.
// Returns an empty string on success, else what is wrong.
inline std::string ParseBmp(const std::vector<uint8_t>& b, Bitmap& bmp) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return "not a BMP";
  if (Le(b, 2, 4) != b.size()) return "file size field does not match";
  const uint32_t offset = Le(b, 10, 4);
  if (Le(b, 14, 4) != 40) return "info header is not 40 bytes";
  bmp.width = int(Le(b, 18, 4));
  bmp.height = int(int32_t(Le(b, 22, 4)));
  if (bmp.width <= 0 || bmp.height <= 0) return "not a bottom-up picture with a positive size";
  if (Le(b, 26, 2) != 1) return "planes is not 1";
  bmp.bits = int(Le(b, 28, 2));
  if (bmp.bits != 8 && bmp.bits != 24) return "unexpected bit depth";
  if (Le(b, 30, 4) != 0) return "compressed";
  bmp.colorsUsed = Le(b, 46, 4);
  const size_t entries = bmp.bits == 8 ? (bmp.colorsUsed ? bmp.colorsUsed : 256) : 0;
  if (entries > 256 || offset < 54 + 4 * entries) return "colour table does not fit";
  for (size_t i = 0; i < entries; ++i) {
    const size_t at = 54 + 4 * i;
    bmp.palette.push_back({b[at + 2], b[at + 1], b[at]});
  }
  const size_t stride = (size_t(bmp.width) * size_t(bmp.bits) + 31) / 32 * 4;
  if (offset + stride * size_t(bmp.height) != b.size()) return "pixel data size is wrong";
  if (Le(b, 34, 4) != 0 && Le(b, 34, 4) != stride * size_t(bmp.height)) return "biSizeImage is wrong";
  for (int y = 0; y < bmp.height; ++y) {
    const size_t row = offset + stride * size_t(bmp.height - 1 - y);
    for (int x = 0; x < bmp.width; ++x) {
      if (bmp.bits == 8) {
        const uint8_t index = b[row + size_t(x)];
        if (index >= entries) return "pixel index outside the colour table";
        bmp.indices.push_back(index);
        bmp.pixels.push_back(bmp.palette[index]);
      } else {
        const size_t at = row + 3 * size_t(x);
        bmp.pixels.push_back({b[at + 2], b[at + 1], b[at]});
      }
    }
  }
  return "";
}

inline std::string ReadBmp(const fs::path& path, Bitmap& bmp) { return ParseBmp(ReadAll(path), bmp); }

struct Pnm {
  int width = 0, height = 0, channels = 0;
  std::vector<uint8_t> samples;
};

// Binary PGM (P5) or PPM (P6) with maxval 255, as djpeg writes them.
inline bool ReadPnm(const fs::path& path, Pnm& pnm) {
  const std::vector<uint8_t> b = ReadAll(path);
  std::istringstream header(std::string(b.begin(), b.begin() + std::min<size_t>(b.size(), 64)));
  std::string magic;
  int maxval = 0;
  header >> magic >> pnm.width >> pnm.height >> maxval;
  if (!header || maxval != 255 || (magic != "P5" && magic != "P6")) return false;
  pnm.channels = magic == "P6" ? 3 : 1;
  const size_t start = size_t(header.tellg()) + 1;
  const size_t size = size_t(pnm.width) * size_t(pnm.height) * size_t(pnm.channels);
  if (b.size() != start + size) return false;
  pnm.samples.assign(b.begin() + long(start), b.end());
  return true;
}

}  // namespace tooltest
