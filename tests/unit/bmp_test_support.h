// Building small BMP files in memory, and a decode target that records what happened.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "picdll/decode.h"

namespace bmptest {

// The BMP Suite's folders in the shared test corpus.
inline std::filesystem::path SuiteDir() { return std::filesystem::path(VELMORA_CORPUS_DIR) / "bmp"; }

inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct BmpRecipe {
    uint32_t headerSize = 40;  // 12 writes an OS/2 1.x header
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks;  // after a 40-byte header, inside larger ones
    std::vector<Rgb> palette;
    std::vector<uint8_t> pixels;  // the stored pixel data, exactly as given
};

inline void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    out[at] = uint8_t(v);
    out[at + 1] = uint8_t(v >> 8);
}

inline void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    Put16(out, at, v);
    Put16(out, at + 2, v >> 16);
}

inline std::vector<uint8_t> BuildBmp(const BmpRecipe& s)
{
    const bool core = s.headerSize == 12;
    const size_t masksAfter = s.headerSize == 40 ? s.masks.size() * 4 : 0;
    const size_t entryBytes = core ? 3 : 4;
    const size_t pixelOffset = 14 + s.headerSize + masksAfter + s.palette.size() * entryBytes;
    std::vector<uint8_t> f(pixelOffset);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, uint32_t(pixelOffset + s.pixels.size()));
    Put32(f, 10, uint32_t(pixelOffset));
    Put32(f, 14, s.headerSize);
    if (core) {
        Put16(f, 18, uint32_t(s.width));
        Put16(f, 20, uint32_t(s.height));
        Put16(f, 22, s.planes);
        Put16(f, 24, s.bits);
    } else {
        Put32(f, 18, uint32_t(s.width));
        Put32(f, 22, uint32_t(s.height));
        Put16(f, 26, s.planes);
        Put16(f, 28, s.bits);
        if (s.headerSize >= 20) Put32(f, 30, s.compression);
        if (s.headerSize >= 36) Put32(f, 46, s.coloursUsed);
        for (size_t i = 0; i < s.masks.size(); ++i) Put32(f, 54 + 4 * i, s.masks[i]);
    }
    size_t at = 14 + s.headerSize + masksAfter;
    for (const Rgb& c : s.palette) {
        f[at] = c.b;
        f[at + 1] = c.g;
        f[at + 2] = c.r;
        at += entryBytes;
    }
    f.insert(f.end(), s.pixels.begin(), s.pixels.end());
    return f;
}

class RecordingTarget : public picdll::DecodeTarget {
public:
    explicit RecordingTarget(bool allocate = true, int rowsBeforeStop = -1)
        : allocate_(allocate), checksLeft_(rowsBeforeStop)
    {
    }

    uint8_t* Allocate(int width, int height) override
    {
        ++allocations;
        this->width = width;
        this->height = height;
        if (!allocate_) return nullptr;
        rgb.assign(size_t(width) * size_t(height) * 3, 0xAB);  // stale bytes show as 0xAB
        return rgb.data();
    }

    bool KeepGoing() override { return checksLeft_ < 0 || checksLeft_-- > 0; }

    Rgb At(int x, int y) const
    {
        const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }

    std::vector<uint8_t> rgb;
    int width = 0;
    int height = 0;
    int allocations = 0;

private:
    bool allocate_;
    int checksLeft_;
};

inline picdll::DecodeStatus Decode(const std::vector<uint8_t>& file, RecordingTarget& target,
                                   std::string* why = nullptr)
{
    return picdll::DecodeBmp(file.data(), file.size(), target, why);
}

}  // namespace bmptest
