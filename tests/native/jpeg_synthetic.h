// Photo-like test pictures for the JPEG tests and benchmark: smooth gradients and
// shapes with fine texture and noise, so that every coefficient band carries energy.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace jpeg_test {

struct Rgb {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // packed RGB, top row first
};

inline Rgb SyntheticPhoto(int width, int height, uint32_t seed = 1)
{
    Rgb img{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    uint32_t state = seed;
    auto clamp = [](double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int y = 0; y < height; ++y) {
        double fy = double(y) / height;
        for (int x = 0; x < width; ++x) {
            double fx = double(x) / width;
            state = state * 1664525u + 1013904223u;
            double noise = double(int(state >> 24) - 128);
            double texture = 30 * std::sin(x * 0.31) * std::cos(y * 0.23);
            bool tile = ((x / 48) + (y / 48)) % 2 != 0;
            uint8_t* p = &img.pixels[(size_t(y) * width + x) * 3];
            p[0] = clamp(120 + 90 * std::sin(fx * 9 + fy * 4) + texture + noise / 6);
            p[1] = clamp(40 + 170 * fx * (1 - fy) + 0.5 * texture + noise / 8);
            p[2] = clamp(210 - 160 * fy + (tile ? 35 : 0) + noise / 5);
        }
    }
    return img;
}

inline bool WritePpm(const std::string& path, const Rgb& img)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", img.width, img.height);
    bool ok = std::fwrite(img.pixels.data(), 1, img.pixels.size(), f) == img.pixels.size();
    return std::fclose(f) == 0 && ok;
}

// A binary PPM with a maxval of 255, as djpeg writes it.
inline bool ReadPpm(const std::string& path, Rgb& img)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    int maxval = 0;
    bool ok = std::fscanf(f, "P6 %d %d %d", &img.width, &img.height, &maxval) == 3 && maxval == 255 &&
              std::fgetc(f) != EOF && img.width > 0 && img.height > 0;
    if (ok) {
        img.pixels.resize(size_t(img.width) * img.height * 3);
        ok = std::fread(img.pixels.data(), 1, img.pixels.size(), f) == img.pixels.size();
    }
    std::fclose(f);
    return ok;
}

inline std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::vector<uint8_t> data;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return data;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    if (size > 0) {
        data.resize(size_t(size));
        if (std::fread(data.data(), 1, data.size(), f) != data.size()) data.clear();
    }
    std::fclose(f);
    return data;
}

}  // namespace jpeg_test
