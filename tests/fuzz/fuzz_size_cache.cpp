// libFuzzer target: any bytes as the picture-size cache file (resealed with a valid check
// when the first byte is odd, so the structure itself gets fuzzed). Whatever it holds, a
// cache that does not load changes nothing of the catalogue, what a scan writes reads back
// whole, and a scan with that answers every file without reading a header.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pictures/catalogue.h"
#include "pictures/size_cache.h"
#include "tests/unit/memory_folders.h"

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

std::vector<std::string> Catalogue()
{
    std::vector<std::string> paths;
    for (int32_t i = 0; i < PictureCount; ++i) paths.push_back(PictureList[i]->path);
    return paths;
}

void Reseal(std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 8) return;
    uint64_t h = 0xcbf29ce484222325ull;
    for (size_t i = 0; i + 8 < bytes.size(); ++i) h = (h ^ bytes[i]) * 0x100000001b3ull;
    for (int i = 0; i < 8; ++i) bytes[bytes.size() - 8 + i] = uint8_t(h >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    std::vector<uint8_t> bytes(data + 1, data + size);
    if (data[0] & 1) Reseal(bytes);

    Settings settings = Settings();
    settings.jpg = settings.bmp = settings.recurse = settings.minsize = 1;
    settings.minsizex = settings.minsizey = 100;
    std::strcpy(settings.dir, "C:\\p");
    MemoryFolders folders;
    folders.AddFile("C:\\p", "a.jpg", 100, 100, {1, 1});
    folders.AddFile("C:\\p", "b.bmp", 99, 300, {2, 1});
    folders.AddFile("C:\\p\\s", "c.jpg", 400, 400, {3, 1});
    folders.AddFile("C:\\q", "d.jpg", 400, 400, {4, 1});
    ScanPictures(folders, settings);
    const std::vector<std::string> plain = Catalogue();

    SizeCache fuzzed(data[0]);
    const bool loaded = fuzzed.Load(bytes);
    ScanPictures(folders, settings, &fuzzed);
    const std::vector<std::string> withFuzzed = Catalogue();
    if (!loaded) Check(withFuzzed == plain);

    SizeCache again(7);
    Check(again.Load(fuzzed.Serialise()));
    folders.sizeQueries = 0;
    ScanPictures(folders, settings, &again);
    Check(folders.sizeQueries == 0 && Catalogue() == withFuzzed && !again.Changed());
    FreePictures();
    return 0;
}
