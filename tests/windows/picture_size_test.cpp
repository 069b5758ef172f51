// The library's size query on files, which it reads only as far as the headers reach: a
// frame far into the file behind a large EXIF block, or a file cut short before it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "picdll/picdll.h"

namespace {

std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "velmora-size-" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return path;
}

void Put16(std::vector<uint8_t>& out, unsigned v, bool little = false)
{
    out.push_back(uint8_t(little ? v : v >> 8));
    out.push_back(uint8_t(little ? v >> 8 : v));
}

// SOI, an EXIF block of about `exifBytes` saying `orientation`, a frame, a scan header.
std::vector<uint8_t> JpegHeaders(unsigned width, unsigned height, unsigned orientation, size_t exifBytes)
{
    std::vector<uint8_t> exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0};
    for (unsigned v : {0x0112u, 3u, 1u, 0u, orientation, 0u, 0u, 0u, 0u, 0u}) Put16(exif, v, true);
    exif.resize(std::max(exif.size(), exifBytes));
    std::vector<uint8_t> f = {0xFF, 0xD8, 0xFF, 0xE1};
    Put16(f, unsigned(exif.size() + 2));
    f.insert(f.end(), exif.begin(), exif.end());
    for (unsigned v : {0xFFC0u, 11u}) Put16(f, v);
    f.push_back(8);
    Put16(f, height);
    Put16(f, width);
    f.insert(f.end(), {1, 1, 0x11, 0, 0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0, 0x12, 0x34, 0xFF, 0xD9});
    return f;
}

struct Size {
    int result, width, height;
};

Size JpegSize(const std::string& path)
{
    Size s{-1, -1, -1};
    s.result = PicDLLGetJPGDimensions(path.c_str(), &s.width, &s.height);
    return s;
}

TEST(PictureSizeQuery, JpegFrameBehindExifBlocksOfAnySize)
{
    for (size_t exif : {40, 5000, 65000}) {
        const std::vector<uint8_t> file = JpegHeaders(300, 200, 6, exif);
        Size s = JpegSize(Write("exif.jpg", file));
        // Orientation 6 turns the picture a quarter: the upright size swaps the sides.
        EXPECT_EQ(s.result, 1) << exif;
        EXPECT_EQ(s.width, 200) << exif;
        EXPECT_EQ(s.height, 300) << exif;
        // Cut inside the EXIF block, before the frame: no size.
        s = JpegSize(Write("cut.jpg", std::vector<uint8_t>(file.begin(), file.begin() + long(exif / 2))));
        EXPECT_EQ(s.result, 0) << exif;
        EXPECT_EQ(s.width, 0) << exif;
        EXPECT_EQ(s.height, 0) << exif;
    }
    // Stray bytes before the first marker, as in a damaged file, are stepped over however
    // many there are (the file is read on in growing steps, not two bytes at a time).
    std::vector<uint8_t> file = JpegHeaders(300, 200, 1, 40);
    file.insert(file.begin() + 2, 300000, 0x55);
    const Size s = JpegSize(Write("stray.jpg", file));
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.width, 300);
}

// The wide exports open what the ANSI ones cannot name: letters outside the code page, and
// paths past MAX_PATH given with the \\?\ prefix.
TEST(PictureSizeQuery, WideExportsReachAnyName)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = L"\\\\?\\" + std::wstring(temp) + L"velmora-\x03a6\x03c9\x03c4\x03bf";
    std::vector<std::wstring> made = {folder};
    CreateDirectoryW(folder.c_str(), nullptr);
    while (folder.size() < 300) {
        folder += L"\\" + std::wstring(60, L'\x5199');
        CreateDirectoryW(folder.c_str(), nullptr);
        made.push_back(folder);
    }
    // A 2 by 1 picture of 24 bits: a red pixel, then a blue one.
    std::vector<uint8_t> bmp = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,
                                1, 0, 24, 0};
    bmp.resize(54);
    bmp.insert(bmp.end(), {0, 0, 255, 255, 0, 0, 0, 0});
    const std::vector<uint8_t> jpeg = JpegHeaders(640, 480, 1, 40);
    const std::wstring bmpPath = folder + L"\\\xd83d\xde00.bmp", jpegPath = folder + L"\\\x0416.jpg";
    for (const auto& [path, bytes] : {std::make_pair(bmpPath, bmp), std::make_pair(jpegPath, jpeg)}) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    int width = 0, height = 0;
    EXPECT_EQ(PicDLLGetJPGDimensionsW(jpegPath.c_str(), &width, &height), 1);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(640, 480));
    EXPECT_EQ(PicDLLGetBMPDimensionsW(bmpPath.c_str(), &width, &height), 1);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(2, 1));
    HGLOBAL block = PicDLLReadRGBFromBMPW(bmpPath.c_str(), &width, &height);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(PicDLLGetLastError(), 0);
    const auto* rgb = static_cast<const uint8_t*>(GlobalLock(block));
    EXPECT_EQ(std::vector<uint8_t>(rgb, rgb + 6), (std::vector<uint8_t>{255, 0, 0, 0, 0, 255}));
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(PicDLLReadRGBFromJPGW((folder + L"\\missing.jpg").c_str(), &width, &height), nullptr);
    EXPECT_NE(PicDLLGetLastError(), 0);
    DeleteFileW(bmpPath.c_str());
    DeleteFileW(jpegPath.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
}

}  // namespace

