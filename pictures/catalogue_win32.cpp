#include "pictures/catalogue_win32.h"

#include <windows.h>

#include <cstring>

#include "picdll/picdll.h"
#include "pictures/catalogue.h"

namespace {

class Win32Search : public FolderSearch {
public:
    Win32Search() : handle_(FindFirstFileA("*.*", &data_)) {}
    ~Win32Search() override
    {
        if (Valid()) FindClose(handle_);
    }
    Win32Search(const Win32Search&) = delete;
    Win32Search& operator=(const Win32Search&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

    bool Next(FolderEntry& entry) override
    {
        if (!first_ && !FindNextFileA(handle_, &data_)) return false;
        first_ = false;
        entry.name = UsableName();
        entry.isFolder = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return true;
    }

private:
    // A name with characters outside the ANSI code page comes back with '?' in their
    // place, which no file name may hold; its short name still reaches the file.
    const char* UsableName() const
    {
        if (std::strchr(data_.cFileName, '?') && data_.cAlternateFileName[0])
            return data_.cAlternateFileName;
        return data_.cFileName;
    }

    WIN32_FIND_DATAA data_ = {};
    HANDLE handle_;
    bool first_ = true;
};

class Win32ScanPlatform : public ScanPlatform {
public:
    bool EnterFolder(const char* path) override { return SetCurrentDirectoryA(path) != 0; }

    bool CurrentFolder(char* buffer, int size) override
    {
        DWORD length = GetCurrentDirectoryA(DWORD(size), buffer);
        return length > 0 && length < DWORD(size);
    }

    std::unique_ptr<FolderSearch> Search() override
    {
        auto search = std::make_unique<Win32Search>();
        if (!search->Valid()) return nullptr;
        return search;
    }

    void PictureSize(const char* path, PictureKind kind, int& width, int& height) override
    {
        if (kind == PictureKind::Jpeg)
            PicDLLGetJPGDimensions(path, &width, &height);
        else if (kind == PictureKind::Bmp)
            PicDLLGetBMPDimensions(path, &width, &height);
    }
};

}  // namespace

int32_t ScanPictures()
{
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    Win32ScanPlatform platform;
    int32_t count = ScanPictures(platform);
    SetCursor(previous);
    return count;
}
