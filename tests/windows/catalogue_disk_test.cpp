// The catalogue scan on a real folder tree, through the platform's file search.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pictures/catalogue.h"
#include "pictures/catalogue_win32.h"
#include "pictures/size_cache_win32.h"

namespace {

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class CatalogueOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "velmora-catalogue-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(root_.c_str(), nullptr);
        ShowSettings = Settings();
        ShowSettings.jpg = ShowSettings.bmp = ShowSettings.recurse = 1;
        lstrcpynA(ShowSettings.dir, root_.c_str(), kPathSize);
    }
    void TearDown() override
    {
        FreePictures();
        SetCurrentDirectoryA("C:\\");
        std::wstring from = L"\\\\?\\" + Widen(root_) + L'\0';
        Remove(from.c_str());
    }
    static void Remove(const wchar_t* folder)
    {
        WIN32_FIND_DATAW data;
        std::wstring pattern = std::wstring(folder) + L"\\*";
        HANDLE search = FindFirstFileW(pattern.c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring path = std::wstring(folder) + L"\\" + name;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(path.c_str());
                else
                    DeleteFileW(path.c_str());
            } while (FindNextFileW(search, &data));
            FindClose(search);
        }
        RemoveDirectoryW(folder);
    }
    // Creates a file (and its folders) below the root; the relative path may hold any
    // characters and be of any length.
    void Touch(const std::wstring& relative)
    {
        std::wstring path = L"\\\\?\\" + Widen(root_);
        size_t start = 0;
        for (size_t cut; (cut = relative.find(L'\\', start)) != std::wstring::npos; start = cut + 1)
            CreateDirectoryW((path + L"\\" + relative.substr(0, cut)).c_str(), nullptr);
        HANDLE file = CreateFileW((path + L"\\" + relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    std::string root_;
};

TEST_F(CatalogueOnDisk, FindsPicturesInTheTreeInPathOrder)
{
    Touch(L"b.jpg");
    Touch(L"A.BMP");
    Touch(L"sub\\c.jpg");
    Touch(L".old\\hidden.jpg");
    Touch(L"readme.txt");
    ASSERT_EQ(ScanPictures(), 3);
    EXPECT_EQ(std::string(PictureList[0]->path), root_ + "\\A.BMP");
    EXPECT_EQ(std::string(PictureList[2]->path), root_ + "\\sub\\c.jpg");
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current), root_);
}

TEST_F(CatalogueOnDisk, NamesOutsideTheCodePageStillReachTheirFiles)
{
    Touch(L"\x5199\x771f.jpg");                 // two CJK characters
    Touch(L"\x03a9mega\\plain.jpg");            // a folder with a Greek letter
    Touch(L"\xd83d\xde00 smile.bmp");           // an emoji, beyond the 16-bit characters
    Touch(L"\x0645\x0635\x0631\\\x05d0.jpg");   // Arabic and Hebrew
    Touch(L"\x0928\x0926\x0940 \x0e19\x0e49\x0e33.jpg");  // Devanagari and Thai
    ASSERT_EQ(ScanPictures(), 5);
    for (int i = 0; i < PictureCount; ++i) {
        HANDLE file = CreateFileW(PlatformPathOf(PictureList[i]->path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << PictureList[i]->path;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    EXPECT_EQ(TextOf(PictureList[PictureCount - 1]->path), Widen(root_) + L"\\\xd83d\xde00 smile.bmp");
}

TEST(NarrowFileName, ExactOnEveryKindOfCodePage)
{
    char out[MAX_PATH * 3];
    // UTF-8 takes every script; an unpaired surrogate has no exact form there.
    ASSERT_TRUE(NarrowFileName(L"\x5199\x771f.jpg", 65001, out, sizeof out));
    EXPECT_STREQ(out, "\xe5\x86\x99\xe7\x9c\x9f.jpg");
    EXPECT_FALSE(NarrowFileName(L"a\xd800.jpg", 65001, out, sizeof out));
    // A double-byte page takes its own script.
    ASSERT_TRUE(NarrowFileName(L"\x5199\x771f.jpg", 932, out, sizeof out));
    EXPECT_STREQ(out, "\x8e\xca\x90\x5e.jpg");
    // Western European: e acute has its byte; CJK has none, and a-macron only a look-alike.
    ASSERT_TRUE(NarrowFileName(L"caf\xe9.jpg", 1252, out, sizeof out));
    EXPECT_STREQ(out, "caf\xe9.jpg");
    EXPECT_FALSE(NarrowFileName(L"\x5199.jpg", 1252, out, sizeof out));
    EXPECT_FALSE(NarrowFileName(L"\x0101.jpg", 1252, out, sizeof out));
    EXPECT_FALSE(NarrowFileName(L"abcdef.jpg", 65001, out, 4));
}

TEST_F(CatalogueOnDisk, PathsPastTheClassicLimitAreFoundAndOpened)
{
    std::wstring deep;
    for (int level = 0; level < 8; ++level) deep += std::wstring(40, L'a' + level) + L"\\";
    Touch(deep + L"far.jpg");
    Touch(std::wstring(250, L'n') + L".jpg");
    Touch(L"near.jpg");
    ASSERT_EQ(ScanPictures(), 3);
    std::string farFolder = root_;
    for (int level = 0; level < 8; ++level) farFolder += "\\" + std::string(40, 'a' + level);
    EXPECT_EQ(std::string(PictureList[0]->path), farFolder + "\\far.jpg");
    for (int i = 0; i < PictureCount; ++i) {
        HANDLE file = CreateFileW(PlatformPathOf(PictureList[i]->path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << i;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
}

// The user's size cache, kept in a folder of the test's own: written after a scan that
// measured something, put in place whole, and a damaged one changes nothing.
TEST_F(CatalogueOnDisk, SizeCacheIsWrittenWholeAndOnlyHints)
{
    const std::wstring cacheFolder = L"\\\\?\\" + Widen(root_) + L"\\.cache";
    CreateDirectoryW(cacheFolder.c_str(), nullptr);
    SetSizeCacheFolder(cacheFolder.c_str());
    const std::wstring cacheFile = cacheFolder + L"\\picture-sizes.cache";
    Touch(L"a.jpg");  // empty: no size, so left out by the minimal size
    ShowSettings.minsize = 1;
    ShowSettings.minsizex = ShowSettings.minsizey = 1;
    auto cacheBytes = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        return GetFileAttributesExW(cacheFile.c_str(), GetFileExInfoStandard, &data) ? LONG(data.nFileSizeLow) : -1L;
    };
    EXPECT_EQ(ScanPictures(), 0);
    const LONG written = cacheBytes();
    EXPECT_GT(written, 24);
    // No leftovers beside it.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((cacheFolder + L"\\*.part").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    // Nothing new: nothing written. A damaged file is ignored and replaced.
    EXPECT_EQ(ScanPictures(), 0);
    HANDLE file = CreateFileW(cacheFile.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetFilePointer(file, 20, nullptr, FILE_BEGIN);
    DWORD done = 0;
    WriteFile(file, "\xff\xff", 2, &done, nullptr);
    CloseHandle(file);
    EXPECT_EQ(ScanPictures(), 0);
    EXPECT_EQ(cacheBytes(), written);
    SetSizeCacheFolder(nullptr);
}

}  // namespace

