// The catalogue scan on a real folder tree, through the platform's file search.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pictures/catalogue.h"
#include "pictures/catalogue_win32.h"

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
    Touch(L"\x5199\x771f.jpg");           // two CJK characters
    Touch(L"\x03a9mega\\plain.jpg");      // a folder with a Greek letter
    ASSERT_EQ(ScanPictures(), 2);
    for (int i = 0; i < PictureCount; ++i) {
        HANDLE file = CreateFileA(PictureList[i]->path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << PictureList[i]->path;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
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

TEST_F(CatalogueOnDisk, PathsLongerThanTheBufferAreLeftOut)
{
    std::wstring deep;
    for (int level = 0; level < 8; ++level) deep += std::wstring(40, L'a' + level) + L"\\";
    Touch(deep + L"far.jpg");
    Touch(std::wstring(250, L'n') + L".jpg");
    Touch(L"near.jpg");
    ASSERT_EQ(ScanPictures(), 1);
    EXPECT_EQ(std::string(PictureList[0]->path), root_ + "\\near.jpg");
}

}  // namespace
