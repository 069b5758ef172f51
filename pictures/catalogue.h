// The picture catalogue: every accepted picture file below the picture folder, sorted.
// The walk is written against ScanPlatform so it runs on any file system.
#pragma once
#include <cstdint>
#include <memory>

#include "base/settings.h"

// One accepted file: a link to the next node, then the full path, allocated to fit.
struct PictureEntry {
    PictureEntry* next;
    char path[1];
};

// References to the chain's nodes sorted by ComparePaths; exists only while the count
// is above 0.
extern PictureEntry** PictureList;
extern int32_t PictureCount;
// The full path built last by the scan, and chosen last by the picture order.
extern char CurrentPath[kPathSize];

enum class PictureKind { None, Jpeg, Bmp };

// ".jpg" or ".bmp" at the end of a path, in any letter case.
PictureKind KindOfPath(const char* path);
// A file the catalogue considers: a name longer than its 4-character ending, of a kind
// the settings accept.
PictureKind CandidateKind(const char* name, const Settings& settings = ShowSettings);

// Path order: byte by byte, A-Z folded to a-z, the shorter path first.
int ComparePaths(const char* a, const char* b);

struct FolderEntry {
    const char* name;
    bool isFolder;
};

// One search of a folder's entries; closed when destroyed.
class FolderSearch {
public:
    virtual ~FolderSearch() = default;
    // The next entry (the first one on the first call); false at the end. The name stays
    // valid until the next call.
    virtual bool Next(FolderEntry& entry) = 0;
};

// What the walk needs from the platform.
class ScanPlatform {
public:
    virtual ~ScanPlatform() = default;
    // Make `path` the current folder ("..": the parent).
    virtual bool EnterFolder(const char* path) = 0;
    // The current folder into buffer; false when it does not fit.
    virtual bool CurrentFolder(char* buffer, int size) = 0;
    // Searches the current folder for "*.*"; none when no search can be started.
    virtual std::unique_ptr<FolderSearch> Search() = 0;
    // The picture's size from its headers; 0 by 0 when unreadable.
    virtual void PictureSize(const char* path, PictureKind kind, int& width, int& height) = 0;
};

// Rebuilds the catalogue from the settings; returns the count. Leaves the current folder
// at the picture folder.
int32_t ScanPictures(ScanPlatform& platform, const Settings& settings = ShowSettings);
void FreePictures();
