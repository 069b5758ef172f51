// picdecode's library in the native build: the portable decoders and resampler.
#include <fstream>
#include <iterator>

#include "picdll/decode.h"
#include "picdll/imaging.h"
#include "tools/picdecode.h"

namespace {

class VectorTarget : public picdll::DecodeTarget {
public:
    explicit VectorTarget(std::vector<uint8_t>& pixels) : pixels_(pixels) {}
    uint8_t* Allocate(int width, int height) override
    {
        width_ = width;
        height_ = height;
        pixels_.assign(size_t(width) * size_t(height) * 3, 0);
        return pixels_.data();
    }
    bool KeepGoing() override { return true; }
    int width_ = 0, height_ = 0;

private:
    std::vector<uint8_t>& pixels_;
};

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

class PortableLibrary : public PictureLibrary {
public:
    bool Dimensions(const std::string& path, PictureFormat format, int& width, int& height) override
    {
        std::vector<uint8_t> bytes;
        picdll::Dimensions dims;
        if (!ReadFile(path, bytes)) return false;
        const bool ok = format == PictureFormat::Jpeg ? picdll::JpegDimensions(bytes.data(), bytes.size(), dims)
                                                      : picdll::BmpDimensions(bytes.data(), bytes.size(), dims);
        width = dims.width;
        height = dims.height;
        return ok;
    }

    bool Read(const std::string& path, PictureFormat format, std::vector<uint8_t>& rgb, int& width,
              int& height, std::string& why) override
    {
        std::vector<uint8_t> bytes;
        if (!ReadFile(path, bytes)) {
            why = "cannot open " + path;
            return false;
        }
        VectorTarget target(rgb);
        const picdll::DecodeStatus status =
            format == PictureFormat::Jpeg ? picdll::DecodeJpeg(bytes.data(), bytes.size(), target, &why)
                                          : picdll::DecodeBmp(bytes.data(), bytes.size(), target, &why);
        width = target.width_;
        height = target.height_;
        return status == picdll::DecodeStatus::Ok;
    }

    void Resize(const uint8_t* source, int width, int height, uint8_t* dest, int newWidth, int newHeight) override
    {
        picdll::ResizeRGB(source, width, height, dest, newWidth, newHeight);
    }
};

}  // namespace

PictureLibrary& ThisBuildsLibrary()
{
    static PortableLibrary library;
    return library;
}
