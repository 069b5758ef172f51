// The catalogue scan through the platform's wide file search and the ANSI folder functions.
#include "pictures/catalogue_win32.h"

#include <windows.h>

#include <cwchar>
#include <initializer_list>

#include "picdll/picdll.h"
#include "pictures/ansi_names.h"
#include "pictures/catalogue.h"

namespace {

class Win32Search : public FolderSearch {
public:
    Win32Search() : handle_(FindFirstFileW(L"*.*", &data_)) {}
    ~Win32Search() override
    {
        if (Valid()) FindClose(handle_);
    }
    Win32Search(const Win32Search&) = delete;
    Win32Search& operator=(const Win32Search&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

    bool Next(FolderEntry& entry) override
    {
        for (;;) {
            if (!first_ && !FindNextFileW(handle_, &data_)) return false;
            first_ = false;
            if (AnsiName()) break;
        }
        entry.name = name_;
        entry.isFolder = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return true;
    }

private:
    // The entry's name as the ANSI functions take it. A name with characters outside the
    // ANSI code page would come back altered ('?' or a look-alike letter) and name no
    // file; its short name still reaches it. Without one, the entry is passed over.
    bool AnsiName()
    {
        const unsigned codePage = GetACP();
        for (const wchar_t* wide : {data_.cFileName, data_.cAlternateFileName})
            if (wide[0] && NarrowFileName(wide, codePage, name_, sizeof name_)) return true;
        return false;
    }

    WIN32_FIND_DATAW data_ = {};
    HANDLE handle_;
    bool first_ = true;
    char name_[MAX_PATH * 3] = {};  // room for a long name in UTF-8
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

bool NarrowFileName(const wchar_t* wide, unsigned codePage, char* out, int size)
{
    if (NameCheckFor(codePage) == NameCheck::PlatformFlags) {
        BOOL replaced = FALSE;
        const int length =
            WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, -1, out, size, nullptr, &replaced);
        return length > 0 && !replaced;
    }
    if (WideCharToMultiByte(codePage, 0, wide, -1, out, size, nullptr, nullptr) <= 0) return false;
    wchar_t back[MAX_PATH + 1];
    const int length = MultiByteToWideChar(codePage, 0, out, -1, back, MAX_PATH + 1);
    return length > 0 && std::wcscmp(back, wide) == 0;
}

int32_t ScanPictures()
{
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    Win32ScanPlatform platform;
    int32_t count = ScanPictures(platform);
    SetCursor(previous);
    return count;
}
