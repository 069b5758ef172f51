// The catalogue scan over a generated tree: the minimal-size filter off (time, and the
// catalogue's memory per picture), then on without and with the size cache.
//   scan_bench FOLDER COUNT SAMPLE.jpg [--off-only]
//   (makes FOLDER with COUNT pictures in 100 subfolders, once, unless it is there)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pictures/catalogue.h"
#include "pictures/catalogue_win32.h"
#include "pictures/size_cache_win32.h"

namespace {

double Milliseconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::vector<char> ReadAll(const char* path)
{
    std::vector<char> bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(file);
    }
    return bytes;
}

// Copies of one small JPEG, spread over 100 folders.
void MakeTree(const std::string& root, int count, const std::vector<char>& picture)
{
    CreateDirectoryA(root.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string folder = root + "\\f" + std::to_string(i % 100);
        if (i < 100) CreateDirectoryA(folder.c_str(), nullptr);
        const std::string path = folder + "\\p" + std::to_string(i) + ".jpg";
        if (FILE* file = std::fopen(path.c_str(), "wb")) {
            std::fwrite(picture.data(), 1, picture.size(), file);
            std::fclose(file);
        }
    }
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PagefileUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: scan_bench FOLDER COUNT SAMPLE.jpg\n");
        return 2;
    }
    const std::string root = argv[1];
    const int count = std::atoi(argv[2]);
    if (GetFileAttributesA((root + "\\f0").c_str()) == INVALID_FILE_ATTRIBUTES)
        MakeTree(root, count, ReadAll(argv[3]));
    ShowSettings.jpg = ShowSettings.bmp = ShowSettings.recurse = 1;
    ShowSettings.minsizex = ShowSettings.minsizey = 100;
    lstrcpynA(ShowSettings.dir, root.c_str(), kPathSize);
    const bool offOnly = argc > 4 && std::string(argv[4]) == "--off-only";
    // A cache of the bench's own, emptied first: the first scan with the filter on reads
    // every header, the second none.
    const std::wstring cacheFolder = std::wstring(root.begin(), root.end()) + L".cache";
    CreateDirectoryW(cacheFolder.c_str(), nullptr);
    DeleteFileW((cacheFolder + L"\\picture-sizes.cache").c_str());
    SetSizeCacheFolder(cacheFolder.c_str());
    const char* runs[] = {"off            ", "on, no cache   ", "on, with cache "};
    for (int run = 0; run < (offOnly ? 1 : 3); ++run) {
        ShowSettings.minsize = run > 0 ? 1 : 0;
        FreePictures();
        const SIZE_T before = PrivateBytes();
        const double start = Milliseconds();
        const int found = ScanPictures();
        const double elapsed = Milliseconds() - start;
        const SIZE_T after = PrivateBytes();
        const double perPicture = found ? double(CatalogueBytes()) / found : 0.0;
        const double committed = found && after > before ? double(after - before) / found : 0.0;
        std::printf("scan %7d files, minsize %s: %9.1f ms, %6.1f us per file (%d taken; catalogue %.0f bytes "
                    "a picture, process %.0f)\n",
                    count, runs[run], elapsed, elapsed * 1000.0 / count, found, perPicture, committed);
    }
    FreePictures();
    return 0;
}
