// picdecode's library in the native build: the portable decoders and resampler.
#include <fstream>

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

// The whole file in one read.
bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0) return false;
    bytes.resize(size_t(size));
    in.seekg(0);
    return bool(in.read(reinterpret_cast<char*>(bytes.data()), size));
}

class PortableLibrary : public PictureLibrary {
public:
    bool Dimensions(const std::string& path, PictureFormat format, int& width, int& height) override
    {
        picdll::Dimensions dims;
        if (!Load(path)) return false;
        const bool ok = format == PictureFormat::Jpeg ? picdll::JpegDimensions(bytes_.data(), bytes_.size(), dims)
                                                      : picdll::BmpDimensions(bytes_.data(), bytes_.size(), dims);
        width = dims.width;
        height = dims.height;
        return ok;
    }

    bool Read(const std::string& path, PictureFormat format, std::vector<uint8_t>& rgb, int& width,
              int& height, std::string& why) override
    {
        if (!Load(path)) {
            why = "cannot open " + path;
            return false;
        }
        VectorTarget target(rgb);
        const picdll::DecodeStatus status =
            format == PictureFormat::Jpeg ? picdll::DecodeJpeg(bytes_.data(), bytes_.size(), target, &why)
                                          : picdll::DecodeBmp(bytes_.data(), bytes_.size(), target, &why);
        width = target.width_;
        height = target.height_;
        return status == picdll::DecodeStatus::Ok;
    }

    bool ReadReducedJpeg(const std::string& path, int minWidth, int minHeight, std::vector<uint8_t>& rgb, int& width,
                         int& height, int& reduction, std::string& why) override
    {
        if (!Load(path)) {
            why = "cannot open " + path;
            return false;
        }
        VectorTarget target(rgb);
        const picdll::DecodeStatus status =
            picdll::DecodeJpegReduced(bytes_.data(), bytes_.size(), minWidth, minHeight, target, reduction, &why);
        width = target.width_;
        height = target.height_;
        return status == picdll::DecodeStatus::Ok;
    }

    bool Resize(const uint8_t* source, int width, int height, int reduction, uint8_t* dest, int newWidth,
                int newHeight) override
    {
        return picdll::ResizeRGB(source, width, height, dest, newWidth, newHeight, reduction);
    }

private:
    // The file is read once, however many questions are asked of it.
    bool Load(const std::string& path)
    {
        if (path == loaded_) return true;
        loaded_.clear();
        if (!ReadFile(path, bytes_)) return false;
        loaded_ = path;
        return true;
    }

    std::string loaded_;
    std::vector<uint8_t> bytes_;
};

}  // namespace

PictureLibrary& ThisBuildsLibrary()
{
    static PortableLibrary library;
    return library;
}
