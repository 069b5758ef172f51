// The catalogue scan through the platform's wide file search, on full paths of any length.
#include "pictures/catalogue_win32.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "base/settings_win32.h"
#include "picdll/picdll.h"
#include "pictures/ansi_names.h"
#include "pictures/catalogue.h"
#include "pictures/size_cache_win32.h"
#include "pictures/wide_text.h"

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

void AppendWide(std::string& out, const wchar_t* text)
{
    AppendUtf8(out, reinterpret_cast<const char16_t*>(text), std::wcslen(text));
}

class Win32Search : public FolderSearch {
public:
    explicit Win32Search(const std::string& folder)
    {
        const std::u16string pattern = PlatformPath((folder + "\\*").c_str());
        // The basic search skips the short names, which nothing here needs; platforms
        // before it refuse the level, and get the plain search.
        handle_ = FindFirstFileExW(Wide(pattern), FindExInfoBasic, &data_, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
        if (handle_ == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
            handle_ = FindFirstFileW(Wide(pattern), &data_);
    }
    ~Win32Search() override
    {
        if (Valid()) FindClose(handle_);
    }
    Win32Search(const Win32Search&) = delete;
    Win32Search& operator=(const Win32Search&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

    bool Next(FolderEntry& entry) override
    {
        if (!first_ && !FindNextFileW(handle_, &data_)) return false;
        first_ = false;
        name_.clear();
        AppendWide(name_, data_.cFileName);
        entry.name = name_.c_str();
        entry.isFolder = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.stamp.size = uint64_t(data_.nFileSizeHigh) << 32 | data_.nFileSizeLow;
        entry.stamp.lastWrite = uint64_t(data_.ftLastWriteTime.dwHighDateTime) << 32 | data_.ftLastWriteTime.dwLowDateTime;
        return true;
    }

private:
    WIN32_FIND_DATAW data_ = {};
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool first_ = true;
    std::string name_;
};

class Win32ScanPlatform : public ScanPlatform {
public:
    bool EnterFolder(const char* path) override
    {
        return path[0] && SetCurrentDirectoryW(FolderOfSetting(path).c_str()) != 0;
    }

    bool CurrentFolder(std::string& path) override
    {
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            const DWORD length = GetCurrentDirectoryW(DWORD(buffer.size()), buffer.data());
            if (length == 0) return false;
            if (length < buffer.size()) break;
            buffer.resize(length + 1);
        }
        path.clear();
        AppendWide(path, buffer.data());
        return true;
    }

    std::unique_ptr<FolderSearch> Search(const std::string& folder) override
    {
        auto search = std::make_unique<Win32Search>(folder);
        if (!search->Valid()) return nullptr;
        return search;
    }

    void PictureSize(const char* path, PictureKind kind, int& width, int& height) override
    {
        const std::u16string wide = PlatformPath(path);
        if (kind == PictureKind::Jpeg)
            PicDLLGetJPGDimensionsW(Wide(wide), &width, &height);
        else if (kind == PictureKind::Bmp)
            PicDLLGetBMPDimensionsW(Wide(wide), &width, &height);
    }
};

// The ANSI code page's spelling of each character, asked of the platform once per
// character and remembered (characters of the Basic Multilingual Plane; the others are
// rare enough to ask each time).
class AnsiCodePage : public AnsiSpelling {
public:
    explicit AnsiCodePage(unsigned codePage) : codePage_(codePage) {}

    int Spell(uint32_t c, unsigned char (&out)[4]) override
    {
        if (c < 0x80) {
            out[0] = static_cast<unsigned char>(c);
            return 1;
        }
        if (c < 0x10000) {
            if (known_.empty()) known_.assign(0x10000, kUnknown);
            uint32_t& memo = known_[c];
            if (memo == kUnknown) memo = Ask(c);
            if (memo != kTooLong) {
                const int length = int(memo >> 24);
                for (int i = 0; i < length; ++i) out[i] = static_cast<unsigned char>(memo >> (8 * i));
                return length;
            }
        }
        return AskBytes(c, out);
    }

private:
    static constexpr uint32_t kUnknown = 0xFFFFFFFF;
    static constexpr uint32_t kTooLong = 0xFEFFFFFF;  // four bytes: asked each time

    uint32_t Ask(uint32_t c)
    {
        unsigned char bytes[4];
        const int length = AskBytes(c, bytes);
        if (length > 3) return kTooLong;
        uint32_t memo = uint32_t(length) << 24;
        for (int i = 0; i < length; ++i) memo |= uint32_t(bytes[i]) << (8 * i);
        return memo;
    }

    int AskBytes(uint32_t c, unsigned char (&out)[4])
    {
        std::u16string one;
        if (c >= 0x10000) {
            one += char16_t(0xD800 + ((c - 0x10000) >> 10));
            one += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            one += char16_t(c);
        }
        char bytes[16];
        if (!NarrowFileName(Wide(one), codePage_, bytes, sizeof bytes)) return 0;
        const size_t length = std::strlen(bytes);
        if (length == 0 || length > 4) return 0;
        std::memcpy(out, bytes, length);
        return int(length);
    }

    unsigned codePage_;
    std::vector<uint32_t> known_;
};

AnsiCodePage g_ansiCodePage(GetACP());

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

std::wstring PlatformPathOf(const char* path)
{
    const std::u16string wide = PlatformPath(path);
    return std::wstring(Wide(wide), wide.size());
}

std::wstring TextOf(const char* path)
{
    const std::u16string wide = Utf16Of(path);
    return std::wstring(Wide(wide), wide.size());
}

int32_t ScanPictures()
{
    SetPathSpelling(&g_ansiCodePage);
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    Win32ScanPlatform platform;
    int32_t count = 0;
    if (SettingOn(&Settings::minsize)) {
        // The sizes measured by earlier scans, of this process or another.
        SizeCache sizes(uint64_t(GetTickCount()) << 32 ^ GetCurrentProcessId() ^ uint64_t(uintptr_t(&sizes)));
        ReadSizeCache(sizes);
        count = ScanPictures(platform, ShowSettings, &sizes);
        if (sizes.Changed()) WriteSizeCache(sizes);
    } else {
        count = ScanPictures(platform);
    }
    SetCursor(previous);
    return count;
}
