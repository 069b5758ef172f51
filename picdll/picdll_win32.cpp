// picdll.dll: the exported functions, thin wrappers around the portable decoders,
// resampler and quantiser.
#define PICDLL_BUILDING
#include "picdll/picdll.h"

#include <algorithm>

#include "picdll/allocation_faults.h"
#include "picdll/decode.h"
#include "picdll/imaging.h"

namespace {

HANDLE OpenForReading(const char* path, DWORD flags)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
}

HANDLE OpenForReading(const wchar_t* path, DWORD flags)
{
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
}

PICDLL_CALLBACK g_callback = nullptr;
int g_lastError = 0;
int g_showErrorBox = 0;

// The file's bytes, mapped read-only. Others may read it meanwhile but not change it.
class MappedFile {
public:
    template <class Char> explicit MappedFile(const Char* path)
    {
        if (!path) return;
        file_ = OpenForReading(path, FILE_FLAG_SEQUENTIAL_SCAN);
        if (file_ == INVALID_HANDLE_VALUE) return;
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file_, &size) || size.QuadPart <= 0 ||
            static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX / 2)
            return;
        if (picdll::AllocationFails(picdll::AllocationPoint::FileMapping)) return;
        mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (!mapping_) return;
        data_ = static_cast<const uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
        if (data_) size_ = static_cast<size_t>(size.QuadPart);
    }
    ~MappedFile()
    {
        if (data_) UnmapViewOfFile(data_);
        if (mapping_) CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// The start of a file, read as far as a size query asks: one block for most files, more
// only when the headers run on (a large EXIF block before the frame, say). Reading no more
// than that keeps a scan of a big folder with the minimal size on quick.
class FileStart {
public:
    template <class Char> explicit FileStart(const Char* path)
    {
        if (!path) return;
        file_ = OpenForReading(path, 0);
        if (file_ == INVALID_HANDLE_VALUE) return;
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file_, &size) || size.QuadPart <= 0) return;
        fileSize_ = static_cast<uint64_t>(size.QuadPart);
        Extend(sizeof first_);
    }
    ~FileStart()
    {
        if (more_) HeapFree(GetProcessHeap(), 0, more_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    FileStart(const FileStart&) = delete;
    FileStart& operator=(const FileStart&) = delete;

    // Reads on until at least the first `bytes` are at hand (the whole file when shorter);
    // false when nothing more can be had.
    bool Extend(size_t bytes)
    {
        const uint64_t wanted = std::min<uint64_t>(std::max<uint64_t>(bytes, 2 * uint64_t(size_)), fileSize_);
        if (wanted <= size_ || wanted > SIZE_MAX / 2) return false;
        const size_t target = static_cast<size_t>(wanted);
        if (target > sizeof first_) {
            void* grown = more_ ? HeapReAlloc(GetProcessHeap(), 0, more_, target)
                                : HeapAlloc(GetProcessHeap(), 0, target);
            if (!grown) return false;
            if (!more_) std::copy(first_, first_ + size_, static_cast<uint8_t*>(grown));
            more_ = static_cast<uint8_t*>(grown);
        }
        uint8_t* buffer = more_ ? more_ : first_;
        while (size_ < target) {
            DWORD read = 0;
            const DWORD ask = static_cast<DWORD>(std::min<size_t>(target - size_, 1u << 30));
            if (!ReadFile(file_, buffer + size_, ask, &read, nullptr) || read == 0) {
                fileSize_ = size_;  // the file is shorter than it said
                break;
            }
            size_ += read;
        }
        return true;
    }

    const uint8_t* data() const { return more_ ? more_ : first_; }
    size_t size() const { return size_; }
    uint64_t fileSize() const { return fileSize_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint64_t fileSize_ = 0;
    uint8_t first_[4096];
    uint8_t* more_ = nullptr;  // when more than the first block is wanted
    size_t size_ = 0;
};

// Decodes into a movable global block and asks the caller's callback, at most every few
// milliseconds of work, whether to go on: the callback dispatches messages, which is far
// dearer than a decoder step.
class GlobalTarget : public picdll::DecodeTarget {
public:
    GlobalTarget()
    {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&lastCall_);
        interval_ = frequency_.QuadPart / 250;  // 4 ms
    }
    ~GlobalTarget() override
    {
        if (pixels_) GlobalUnlock(block_);
        if (block_) GlobalFree(block_);
    }
    GlobalTarget(const GlobalTarget&) = delete;
    GlobalTarget& operator=(const GlobalTarget&) = delete;

    uint8_t* Allocate(int width, int height) override
    {
        if (block_ || !picdll::AcceptableSize(width, height)) return nullptr;
        unsigned long long bytes = 3ull * unsigned(width) * unsigned(height);
        if (bytes > SIZE_MAX || picdll::AllocationFails(picdll::AllocationPoint::RgbBlock)) return nullptr;
        block_ = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(bytes));
        if (!block_) return nullptr;
        pixels_ = static_cast<uint8_t*>(GlobalLock(block_));
        width_ = width;
        height_ = height;
        return pixels_;
    }

    bool KeepGoing() override
    {
        ++steps_;
        if (!g_callback) return true;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (now.QuadPart - lastCall_.QuadPart < interval_) return true;
        bool goOn = g_callback(steps_, 0) != 0;
        QueryPerformanceCounter(&lastCall_);
        return goOn;
    }

    // Hands the block over, unlocked, with its size.
    HGLOBAL Release(int* width, int* height)
    {
        if (pixels_) GlobalUnlock(block_);
        pixels_ = nullptr;
        HGLOBAL block = block_;
        block_ = nullptr;
        if (width) *width = width_;
        if (height) *height = height_;
        return block;
    }

private:
    HGLOBAL block_ = nullptr;
    uint8_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int steps_ = 0;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER lastCall_{};
    LONGLONG interval_ = 0;
};

using SizeQueryOfStart = picdll::SizeQuery (*)(const uint8_t*, size_t, uint64_t,
                                                picdll::Dimensions&, size_t&);

template <class Char> int GetDimensions(SizeQueryOfStart query, const Char* path, int* width, int* height)
{
    picdll::Dimensions dims;
    FileStart file(path);
    picdll::SizeQuery answer = picdll::SizeQuery::Failed;
    while (file.size() > 0) {
        size_t needed = 0;
        answer = query(file.data(), file.size(), file.fileSize(), dims, needed);
        if (answer != picdll::SizeQuery::NeedMore || !file.Extend(needed)) break;
    }
    const bool ok = answer == picdll::SizeQuery::Found;
    if (!ok) dims = picdll::Dimensions();
    if (width) *width = dims.width;
    if (height) *height = dims.height;
    return ok ? 1 : 0;
}

// `decode(data, size, target)` decodes the file's bytes into the target.
template <class Decode, class Char>
HGLOBAL Read(Decode decode, const Char* path, int* width, int* height)
{
    if (width) *width = 0;
    if (height) *height = 0;
    g_lastError = 1;
    MappedFile file(path);
    if (!file.data()) return nullptr;
    GlobalTarget target;
    switch (decode(file.data(), file.size(), target)) {
    case picdll::DecodeStatus::Ok:
        g_lastError = 0;
        return target.Release(width, height);
    case picdll::DecodeStatus::Stopped:
        // Stopped on request, not failed: the caller is ending and shows nothing.
        g_lastError = 0;
        return nullptr;
    case picdll::DecodeStatus::Failed:
        break;
    }
    return nullptr;
}

picdll::DecodeStatus DecodeJpegFile(const uint8_t* data, size_t size, picdll::DecodeTarget& target)
{
    return picdll::DecodeJpeg(data, size, target);
}

picdll::DecodeStatus DecodeBmpFile(const uint8_t* data, size_t size, picdll::DecodeTarget& target)
{
    return picdll::DecodeBmp(data, size, target);
}

}  // namespace

PICDLL_API int WINAPI PicDLLInitDLL(int version)
{
    g_lastError = 0;
    return version == PICDLL_INTERFACE_VERSION ? 1 : 0;
}

PICDLL_API int WINAPI PicDLLSetJPGErrorMsgBox(int show)
{
    g_showErrorBox = show;
    return 1;
}

PICDLL_API int WINAPI PicDLLSetCallback(PICDLL_CALLBACK callback)
{
    g_callback = callback;
    return 1;
}

PICDLL_API int WINAPI PicDLLGetJPGDimensions(const char* path, int* width, int* height)
{
    return GetDimensions(picdll::JpegDimensionsOfStart, path, width, height);
}

PICDLL_API int WINAPI PicDLLGetBMPDimensions(const char* path, int* width, int* height)
{
    return GetDimensions(picdll::BmpDimensionsOfStart, path, width, height);
}

PICDLL_API HGLOBAL WINAPI PicDLLReadRGBFromJPG(const char* path, int* width, int* height)
{
    return Read(DecodeJpegFile, path, width, height);
}

PICDLL_API HGLOBAL WINAPI PicDLLReadRGBFromBMP(const char* path, int* width, int* height)
{
    return Read(DecodeBmpFile, path, width, height);
}

PICDLL_API int WINAPI PicDLLGetJPGDimensionsW(const wchar_t* path, int* width, int* height)
{
    return GetDimensions(picdll::JpegDimensionsOfStart, path, width, height);
}

PICDLL_API int WINAPI PicDLLGetBMPDimensionsW(const wchar_t* path, int* width, int* height)
{
    return GetDimensions(picdll::BmpDimensionsOfStart, path, width, height);
}

PICDLL_API HGLOBAL WINAPI PicDLLReadRGBFromJPGW(const wchar_t* path, int* width, int* height)
{
    return Read(DecodeJpegFile, path, width, height);
}

PICDLL_API HGLOBAL WINAPI PicDLLReadRGBFromBMPW(const wchar_t* path, int* width, int* height)
{
    return Read(DecodeBmpFile, path, width, height);
}

PICDLL_API HGLOBAL WINAPI PicDLLReadScaledRGBFromJPGW(const wchar_t* path, int minWidth, int minHeight,
                                                      int* width, int* height, int* scale)
{
    int reduction = 1;
    HGLOBAL block = Read([&](const uint8_t* data, size_t size, picdll::DecodeTarget& target) {
        return picdll::DecodeJpegReduced(data, size, minWidth, minHeight, target, reduction);
    }, path, width, height);
    if (scale) *scale = block ? reduction : 0;
    return block;
}

PICDLL_API int WINAPI PicDLLGetLastError(void) { return g_lastError; }

PICDLL_API int WINAPI PicDLLResizeRGB2(const BYTE* source, int width, int height, BYTE* dest,
                                       int newWidth, int newHeight)
{
    if (!source || !dest || picdll::AllocationFails(picdll::AllocationPoint::Resize)) return 0;
    return picdll::ResizeRGB(source, width, height, dest, newWidth, newHeight) ? 1 : 0;
}

PICDLL_API int WINAPI PicDLLResizeReducedRGB(const BYTE* source, int width, int height, int scale, BYTE* dest,
                                             int newWidth, int newHeight)
{
    if (!source || !dest || scale < 1 || picdll::AllocationFails(picdll::AllocationPoint::Resize)) return 0;
    return picdll::ResizeRGB(source, width, height, dest, newWidth, newHeight, scale) ? 1 : 0;
}

PICDLL_API int WINAPI PicDLLQuantizeRGBTo8Bit(const BYTE* rgb, BYTE* dest, int width,
                                              int height, int colours, RGBQUAD* table)
{
    if (!rgb || !dest || !table || width <= 0 || height <= 0) return 0;
    if (picdll::AllocationFails(picdll::AllocationPoint::Quantise)) return 0;
    colours = std::clamp(colours, 1, 256);
    static_assert(sizeof(RGBQUAD) == sizeof(picdll::PaletteEntry), "colour table layout");
    return picdll::QuantiseRGB(rgb, width, height, dest, colours,
                               reinterpret_cast<picdll::PaletteEntry*>(table)) ? 1 : 0;
}

PICDLL_API HBITMAP WINAPI PicDLLRGBToHBITMAP(const BYTE* rgb, int width, int height, int flags)
{
    if (!rgb || flags != 0 || !picdll::AcceptableSize(width, height)) return nullptr;
    if (picdll::AllocationFails(picdll::AllocationPoint::ScreenBitmap)) return nullptr;
    HDC screen = GetDC(nullptr);
    if (!screen) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (bitmap) {
        // Converted to bottom-up BGR a strip at a time, so only a small buffer is needed
        // beside the caller's picture.
        const int stride = (width * 3 + 3) & ~3;
        const int stripRows = std::max(1, std::min(height, (1 << 20) / stride));
        BYTE* strip = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, size_t(stride) * stripRows));
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        for (int top = 0; strip && top < height; top += stripRows) {
            const int rows = std::min(stripRows, height - top);
            for (int r = 0; r < rows; ++r) {
                // Bottom-up: the strip's lowest row comes first.
                const BYTE* src = rgb + size_t(top + rows - 1 - r) * width * 3;
                BYTE* dst = strip + size_t(r) * stride;
                for (int x = 0; x < width; ++x, src += 3, dst += 3) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                }
            }
            SetDIBits(screen, bitmap, UINT(height - top - rows), UINT(rows), strip, &info,
                      DIB_RGB_COLORS);
        }
        if (strip) {
            HeapFree(GetProcessHeap(), 0, strip);
        } else {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
    }
    ReleaseDC(nullptr, screen);
    return bitmap;
}
