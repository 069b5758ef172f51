// picdecode's library in the Windows build: picdll.dll, through its exports.
#include <cstring>

#include "picdll/picdll.h"
#include "tools/picdecode.h"

namespace {

class DllLibrary : public PictureLibrary {
public:
    DllLibrary()
    {
        PicDLLInitDLL(PICDLL_INTERFACE_VERSION);
        PicDLLSetJPGErrorMsgBox(0);
    }

    bool Dimensions(const std::string& path, PictureFormat format, int& width, int& height) override
    {
        if (format == PictureFormat::Jpeg) return PicDLLGetJPGDimensions(path.c_str(), &width, &height) != 0;
        return PicDLLGetBMPDimensions(path.c_str(), &width, &height) != 0;
    }

    bool Read(const std::string& path, PictureFormat format, std::vector<uint8_t>& rgb, int& width,
              int& height, std::string& why) override
    {
        HGLOBAL block = format == PictureFormat::Jpeg ? PicDLLReadRGBFromJPG(path.c_str(), &width, &height)
                                                      : PicDLLReadRGBFromBMP(path.c_str(), &width, &height);
        return TakeBlock(block, rgb, width, height, why);
    }

    bool ReadReducedJpeg(const std::string& path, int minWidth, int minHeight, std::vector<uint8_t>& rgb, int& width,
                         int& height, int& reduction, std::string& why) override
    {
        // The reduced read takes a wide path; the command line's is in the ANSI code page.
        std::wstring wide(path.size() + 1, L'\0');
        wide.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], int(wide.size())));
        HGLOBAL block = wide.empty() ? nullptr
                                     : PicDLLReadScaledRGBFromJPGW(wide.c_str(), minWidth, minHeight, &width,
                                                                   &height, &reduction);
        return TakeBlock(block, rgb, width, height, why);
    }

    bool Resize(const uint8_t* source, int width, int height, int reduction, uint8_t* dest, int newWidth,
                int newHeight) override
    {
        return PicDLLResizeReducedRGB(source, width, height, reduction, dest, newWidth, newHeight) != 0;
    }

private:
    // Copies the library's block into `rgb` and frees it.
    static bool TakeBlock(HGLOBAL block, std::vector<uint8_t>& rgb, int width, int height, std::string& why)
    {
        if (PicDLLGetLastError() != 0 || !block) {
            if (block) GlobalFree(block);
            why = "the library reports a failed read";
            return false;
        }
        const size_t bytes = size_t(width) * size_t(height) * 3;
        const void* pixels = GlobalLock(block);
        if (pixels && GlobalSize(block) >= bytes) {
            rgb.resize(bytes);
            std::memcpy(rgb.data(), pixels, bytes);
        }
        GlobalUnlock(block);
        GlobalFree(block);
        if (rgb.size() != bytes) why = "the library returned a short block";
        return rgb.size() == bytes;
    }
};

}  // namespace

PictureLibrary& ThisBuildsLibrary()
{
    static DllLibrary library;
    return library;
}
