// picdecode: decodes a picture as the saver does, through one of two libraries: the
// portable decoders (native build) or picdll.dll's exports (Windows build).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class PictureFormat { Jpeg, Bmp };

class PictureLibrary {
public:
    virtual ~PictureLibrary() = default;
    // The dimension query: header only.
    virtual bool Dimensions(const std::string& path, PictureFormat format, int& width, int& height) = 0;
    // The read; on failure `why` says why in one line.
    virtual bool Read(const std::string& path, PictureFormat format, std::vector<uint8_t>& rgb,
                      int& width, int& height, std::string& why) = 0;
    // The JPEG read of a picture to be fitted: decoded reduced to no less than
    // minWidth x minHeight; `reduction` receives the factor used.
    virtual bool ReadReducedJpeg(const std::string& path, int minWidth, int minHeight, std::vector<uint8_t>& rgb,
                                 int& width, int& height, int& reduction, std::string& why) = 0;
    // `source` was read reduced by `reduction`. False when memory for the work ran out.
    virtual bool Resize(const uint8_t* source, int width, int height, int reduction, uint8_t* dest, int newWidth,
                        int newHeight) = 0;
};

// The library this build uses.
PictureLibrary& ThisBuildsLibrary();
