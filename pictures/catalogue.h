// The picture catalogue: every accepted picture file below the picture folder, sorted.
// The walk is written against ScanPlatform so it runs on any file system.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/settings.h"
#include "pictures/path_order.h"
#include "pictures/size_cache.h"

// Room for any path the platform can open (32,767 UTF-16 units, up to three bytes each),
// terminator included.
constexpr int kLongPathSize = 32767 * 3 + 1;

// One accepted file: a link to the next node, then the full path (WTF-8, see
// wide_text.h), allocated to fit.
struct PictureEntry {
    PictureEntry* next;
    char path[1];
};

// References to the chain's nodes sorted by ComparePaths; exists only while the count
// is above 0.
extern PictureEntry** PictureList;
extern int32_t PictureCount;
// The full path chosen last by the picture order.
extern char CurrentPath[kLongPathSize];

enum class PictureKind { None, Jpeg, Bmp };

// ".jpg" or ".bmp" at the end of a path, in any letter case.
PictureKind KindOfPath(const char* path);
// A file the catalogue considers: a name longer than its 4-character ending, of a kind
// the settings accept.
PictureKind CandidateKind(const char* name, const Settings& settings = ShowSettings);

struct FolderEntry {
    const char* name;  // WTF-8
    bool isFolder;
    FileStamp stamp;  // a file's size and last-write time
};

// One search of a folder's entries; closed when destroyed.
class FolderSearch {
public:
    virtual ~FolderSearch() = default;
    // The next entry (the first one on the first call); false at the end. The name stays
    // valid until the next call.
    virtual bool Next(FolderEntry& entry) = 0;
};

// What the walk needs from the platform. Paths are WTF-8.
class ScanPlatform {
public:
    virtual ~ScanPlatform() = default;
    // Make the picture folder, as the settings give it, the current folder.
    virtual bool EnterFolder(const char* path) = 0;
    // The current folder's full path; false when it cannot be had.
    virtual bool CurrentFolder(std::string& path) = 0;
    // Searches a folder, given by its full path, for all its entries; none when no search
    // can be started.
    virtual std::unique_ptr<FolderSearch> Search(const std::string& folder) = 0;
    // The picture's size from its headers; 0 by 0 when unreadable.
    virtual void PictureSize(const char* path, PictureKind kind, int& width, int& height) = 0;
};

// Rebuilds the catalogue from the settings; returns the count. Leaves the current folder
// at the picture folder. With the minimal size on, `sizes` answers for the files it
// remembers unchanged and learns every picture file the walk lists.
int32_t ScanPictures(ScanPlatform& platform, const Settings& settings = ShowSettings,
                     SizeCache* sizes = nullptr);
void FreePictures();
// The memory the catalogue holds: its nodes and the sorted array.
size_t CatalogueBytes();
