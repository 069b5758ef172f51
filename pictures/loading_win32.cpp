#include "pictures/loading_win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/handles_win32.h"
#include "base/saver_window_win32.h"
#include "base/show_state.h"
#include "picdll/picdll.h"
#include "pictures/allocation_faults.h"
#include "pictures/catalogue.h"
#include "pictures/catalogue_win32.h"
#include "pictures/fit.h"

HPALETTE PicturePalette = nullptr;

namespace {

constexpr int kPictureColours = 236;

// The 8-bit bitmap description of the picture converted last, with the colour table the
// quantiser fills.
struct PictureBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[kPictureColours];
};
PictureBitmapInfo g_pictureInfo;

// A block of the library's RGB picture, locked while in use and freed at the end.
class DecodedPicture {
public:
    explicit DecodedPicture(HGLOBAL block) : block_(block) {}
    ~DecodedPicture() { Free(); }
    DecodedPicture(const DecodedPicture&) = delete;
    DecodedPicture& operator=(const DecodedPicture&) = delete;

    // The pixels, provided the block holds width x height RGB pixels.
    const BYTE* Lock(int width, int height)
    {
        if (!block_ || GlobalSize(block_) < SIZE_T(width) * SIZE_T(height) * 3) return nullptr;
        pixels_ = static_cast<const BYTE*>(GlobalLock(block_));
        return pixels_;
    }
    bool Held() const { return block_ != nullptr; }
    void Free()
    {
        if (pixels_) GlobalUnlock(block_);
        pixels_ = nullptr;
        if (block_) GlobalFree(block_);
        block_ = nullptr;
    }

private:
    HGLOBAL block_;
    const BYTE* pixels_ = nullptr;
};

void ShowLoadFailure(HWND window)
{
    // The saver's line goes on the monitor whose picture failed; the effects dialog's
    // preview control is reached through the screen.
    WindowDc dc(SaverWindow ? window : nullptr);
    RECT area = {};
    if (SaverWindow)
        GetClientRect(window, &area);
    else
        GetWindowRect(window, &area);
    SetTextColor(dc.Get(), RGB(0, 0, 0));
    // Wide, so the line names the file as the user does, whatever its letters.
    const std::wstring text = L"Could not load image : " + TextOf(CurrentPath);
    DrawTextW(dc.Get(), text.c_str(), int(text.size()), &area, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    MessageBeep(0xFFFFFFFF);
}

FittedSize FitToShowArea(int width, int height)
{
    return FitToArea(width, height, ShowArea.width, ShowArea.height, ShowArea.aspect,
                     SettingOn(&Settings::reduce), SettingOn(&Settings::enlarge));
}

// The size of a picture as read: smaller than the picture's when it was decoded reduced.
struct BlockSize {
    int width = 0, height = 0;
    int reduction = 1;
};

// Reads the picture; `width` x `height` is its full size. A JPEG that will be reduced to half
// its size or less is decoded reduced.
HGLOBAL ReadPicture(PictureKind kind, int& width, int& height, BlockSize& decoded)
{
    const std::wstring path = PlatformPathOf(CurrentPath);
    HGLOBAL block = nullptr;
    switch (kind) {
    case PictureKind::Jpeg: {
        PicDLLGetJPGDimensionsW(path.c_str(), &width, &height);
        const int reduction = FitReduction(FitToShowArea(width, height), width, height);
        if (reduction > 1)
            return PicDLLReadScaledRGBFromJPGW(path.c_str(), width / reduction, height / reduction,
                                               &decoded.width, &decoded.height, &decoded.reduction);
        block = PicDLLReadRGBFromJPGW(path.c_str(), &width, &height);
        break;
    }
    case PictureKind::Bmp:
        PicDLLGetBMPDimensionsW(path.c_str(), &width, &height);
        block = PicDLLReadRGBFromBMPW(path.c_str(), &width, &height);
        break;
    case PictureKind::None:
        break;
    }
    decoded = {width, height};
    return block;
}

// The picture of full size `width` x `height`, decoded at `size`, fitted to the screen as a
// device bitmap; none when memory for one of the steps ran out.
HBITMAP FitDecodedPicture(DecodedPicture& decoded, int width, int height, BlockSize size)
{
    const FittedSize fit = FitToShowArea(width, height);
    const BYTE* pixels = decoded.Lock(size.width, size.height);
    if (!pixels) return nullptr;
    if (!fit.scaled) return MakeScreenBitmap(pixels, size.width, size.height);

    BYTE* scaled = AllocationFails(PictureAllocation::ScaledBlock)
                       ? nullptr
                       : static_cast<BYTE*>(std::malloc(size_t(fit.width) * size_t(fit.height) * 3));
    if (!scaled) return nullptr;
    const bool resized =
        (size.reduction > 1
             ? PicDLLResizeReducedRGB(pixels, size.width, size.height, size.reduction, scaled, fit.width, fit.height)
             : PicDLLResizeRGB2(pixels, size.width, size.height, scaled, fit.width, fit.height)) != 0;
    decoded.Free();
    HBITMAP bitmap = resized ? MakeScreenBitmap(scaled, fit.width, fit.height) : nullptr;
    std::free(scaled);
    return bitmap;
}

}  // namespace

HBITMAP LoadAndFitPicture(HWND window)
{
    int width = 0, height = 0;
    BlockSize size;
    const PictureKind kind = KindOfPath(CurrentPath);
    DecodedPicture decoded(ReadPicture(kind, width, height, size));
    if (kind == PictureKind::None || PicDLLGetLastError() != 0) {
        decoded.Free();
        ShowLoadFailure(window);
        return nullptr;
    }
    // A read stopped without a failure: the saver is ending.
    if (QuitPending || !decoded.Held()) return nullptr;

    HBITMAP bitmap = FitDecodedPicture(decoded, width, height, size);
    // A picture too large for the memory at hand fails as an unreadable one does.
    if (!bitmap && !QuitPending) ShowLoadFailure(window);
    return bitmap;
}

HBITMAP MakeScreenBitmap(const BYTE* rgb, int width, int height)
{
    if (!PaletteDisplay()) return PicDLLRGBToHBITMAP(rgb, width, height, 0);

    const bool refused = AllocationFails(PictureAllocation::PaletteBlock);
    BYTE* indices = refused ? nullptr : static_cast<BYTE*>(std::malloc(size_t(width) * size_t(height)));
    const int stride = ((width * 8 + 31) / 32) * 4;
    BYTE* rows = refused ? nullptr : static_cast<BYTE*>(std::calloc(size_t(stride), size_t(height)));
    HBITMAP bitmap = nullptr;
    if (indices && rows &&
        PicDLLQuantizeRGBTo8Bit(rgb, indices, width, height, kPictureColours, g_pictureInfo.colours)) {
        BITMAPINFOHEADER& header = g_pictureInfo.header;
        header = {};
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = width;
        header.biHeight = -height;  // top row first
        header.biPlanes = 1;
        header.biBitCount = 8;
        header.biCompression = BI_RGB;
        header.biClrUsed = kPictureColours;
        header.biClrImportant = kPictureColours;

        WindowDc dc(SaverWindow);
        HPALETTE previous = PicturePalette;
        MakePicturePalette();
        SelectPalette(dc.Get(), PicturePalette, TRUE);
        RealizePalette(dc.Get());
        if (previous) DeleteObject(previous);

        for (int y = 0; y < height; ++y)
            std::memcpy(rows + size_t(y) * stride, indices + size_t(y) * width, size_t(width));
        if (!AllocationFails(PictureAllocation::PaletteBitmap))
            bitmap = CreateDIBitmap(dc.Get(), &header, CBM_INIT, rows,
                                    reinterpret_cast<const BITMAPINFO*>(&g_pictureInfo), DIB_RGB_COLORS);
    }
    std::free(rows);
    std::free(indices);
    return bitmap;
}

HPALETTE CreatePaletteFromColourTable(const RGBQUAD* table, int count)
{
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } palette;
    palette.version = 0x300;
    palette.count = WORD(count);
    for (int i = 0; i < count; ++i) palette.entries[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&palette));
}

void MakePicturePalette()
{
    PicturePalette = CreatePaletteFromColourTable(g_pictureInfo.colours, kPictureColours);
}

void DeletePicturePalette()
{
    if (PicturePalette) DeleteObject(PicturePalette);
    PicturePalette = nullptr;
}
