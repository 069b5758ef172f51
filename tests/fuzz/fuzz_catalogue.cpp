// libFuzzer target: the catalogue's path rules on any folder tree. Names may hold any
// bytes and make paths of any length; the scan takes only names of an accepted kind whose
// full path the platform could open, keeps them in one strict order, and scanning again
// gives the same catalogue.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pictures/catalogue.h"
#include "tests/unit/memory_folders.h"

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

int Sign(int v) { return (v > 0) - (v < 0); }

std::vector<std::string> Catalogue()
{
    std::vector<std::string> paths;
    for (int32_t i = 0; i < PictureCount; ++i) paths.push_back(PictureList[i]->path);
    return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    // Four bytes of settings, then one line per entry below the picture folder: a path
    // of names split by backslashes, a file unless it ends with one; the first byte of
    // a line gives the file's size for the minimal-size filter.
    Settings settings = Settings();
    settings.jpg = data[0] & 3;
    settings.bmp = (data[0] >> 2) & 3;
    settings.recurse = (data[0] >> 4) & 3;
    settings.minsize = (data[0] >> 6) & 1;
    settings.minsizex = data[1];
    settings.minsizey = data[2];
    const std::string root = data[3] & 1 ? "C:\\" : "C:\\pics";
    std::strcpy(settings.dir, root.c_str());

    MemoryFolders folders;
    folders.AddFolder(root);
    std::string input(reinterpret_cast<const char*>(data + 4), size - 4);
    input.erase(std::remove(input.begin(), input.end(), '\0'), input.end());
    size_t at = 0;
    while (at < input.size()) {
        size_t end = input.find('\n', at);
        if (end == std::string::npos) end = input.size();
        std::string line = input.substr(at, end - at);
        at = end + 1;
        if (line.size() < 2) continue;
        const int side = static_cast<unsigned char>(line[0]);
        std::string path = root + (root.back() == '\\' ? "" : "\\") + line.substr(1);
        while (path.find("\\\\") != std::string::npos) path.erase(path.find("\\\\"), 1);
        if (path.back() == '\\') {
            path.pop_back();
            if (path.size() > 3) folders.AddFolder(path);
            continue;
        }
        const size_t cut = path.find_last_of('\\');
        const std::string folder = cut == 2 ? path.substr(0, 3) : path.substr(0, cut);
        const std::string name = path.substr(cut + 1);
        folders.AddFile(folder, name, side, side);
        const PictureKind kind = CandidateKind(name.c_str(), settings);
        Check(kind == PictureKind::None || (name.size() > 4 && KindOfPath(name.c_str()) == kind));
    }

    const int32_t count = ScanPictures(folders, settings);
    Check(count == PictureCount);
    const std::vector<std::string> first = Catalogue();
    for (size_t i = 0; i < first.size(); ++i) {
        const std::string& path = first[i];
        Check(path.size() < size_t(kLongPathSize));
        const PictureKind kind = KindOfPath(path.c_str());
        Check((kind == PictureKind::Jpeg && settings.jpg == 1) || (kind == PictureKind::Bmp && settings.bmp == 1));
        Check(ComparePaths(path.c_str(), path.c_str()) == 0);
        if (i > 0) {
            const int order = ComparePaths(first[i - 1].c_str(), path.c_str());
            Check(order < 0);  // paths are unique and the order strict
            Check(Sign(ComparePaths(path.c_str(), first[i - 1].c_str())) == -Sign(order));
        }
    }
    Check(ScanPictures(folders, settings) == count && Catalogue() == first);
    FreePictures();
    return 0;
}
