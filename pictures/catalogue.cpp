#include "pictures/catalogue.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

PictureEntry** PictureList = nullptr;
int32_t PictureCount = 0;
char CurrentPath[kPathSize];

namespace {

PictureEntry* g_first = nullptr;
PictureEntry* g_last = nullptr;

unsigned char Folded(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

bool EndsWith(const char* text, size_t length, const char* ending)
{
    if (length < 4) return false;
    const char* tail = text + length - 4;
    for (int i = 0; i < 4; ++i)
        if (Folded(static_cast<unsigned char>(tail[i])) != static_cast<unsigned char>(ending[i]))
            return false;
    return true;
}

void AppendPicture(const char* path)
{
    size_t length = std::strlen(path);
    auto* entry = static_cast<PictureEntry*>(std::calloc(1, sizeof(PictureEntry) + length));
    if (!entry) return;
    std::memcpy(entry->path, path, length);
    if (g_last)
        g_last->next = entry;
    else
        g_first = entry;
    g_last = entry;
    ++PictureCount;
}

// One walk of the picture folder and, where the settings say so, the folders below it.
class Walk {
public:
    Walk(ScanPlatform& platform, const Settings& settings)
        : platform_(platform), settings_(settings) {}

    void Start()
    {
        ReadFolderText();
        ScanFolder();
    }

private:
    // The scan folder text, without a trailing backslash unless it is all there is.
    // A folder whose name does not fit the buffer contributes nothing.
    void ReadFolderText()
    {
        folderKnown_ = platform_.CurrentFolder(folderText_, sizeof folderText_);
        if (!folderKnown_) return;
        size_t length = std::strlen(folderText_);
        if (length > 1 && folderText_[length - 1] == '\\') folderText_[length - 1] = '\0';
    }

    void ScanFolder()
    {
        std::unique_ptr<FolderSearch> search = platform_.Search();
        if (!search) return;
        FolderEntry entry;
        while (search->Next(entry)) {
            if (entry.isFolder)
                VisitFolder(entry.name);
            else
                VisitFile(entry.name);
        }
    }

    void VisitFile(const char* name)
    {
        PictureKind kind = CandidateKind(name, settings_);
        if (kind == PictureKind::None || !folderKnown_) return;
        int length = std::snprintf(CurrentPath, sizeof CurrentPath, "%s\\%s", folderText_, name);
        // A path the platform could not open anyway is skipped rather than cut short.
        if (length < 0 || length >= kPathSize) return;
        if (SettingOn(&Settings::minsize, settings_)) {
            int width = 0, height = 0;
            platform_.PictureSize(CurrentPath, kind, width, height);
            if (width < settings_.minsizex || height < settings_.minsizey) return;
        }
        AppendPicture(CurrentPath);
    }

    void VisitFolder(const char* name)
    {
        if (name[0] == '.' || !SettingOn(&Settings::recurse, settings_) || !folderKnown_) return;
        if (!platform_.EnterFolder(name)) return;
        ReadFolderText();
        ScanFolder();
        platform_.EnterFolder("..");
        ReadFolderText();
    }

    ScanPlatform& platform_;
    const Settings& settings_;
    char folderText_[kPathSize] = {};
    bool folderKnown_ = false;
};

}  // namespace

PictureKind KindOfPath(const char* path)
{
    size_t length = std::strlen(path);
    if (EndsWith(path, length, ".jpg")) return PictureKind::Jpeg;
    if (EndsWith(path, length, ".bmp")) return PictureKind::Bmp;
    return PictureKind::None;
}

PictureKind CandidateKind(const char* name, const Settings& settings)
{
    size_t length = std::strlen(name);
    if (length <= 4) return PictureKind::None;
    if (SettingOn(&Settings::jpg, settings) && EndsWith(name, length, ".jpg")) return PictureKind::Jpeg;
    if (SettingOn(&Settings::bmp, settings) && EndsWith(name, length, ".bmp")) return PictureKind::Bmp;
    return PictureKind::None;
}

int ComparePaths(const char* a, const char* b)
{
    const auto* p = reinterpret_cast<const unsigned char*>(a);
    const auto* q = reinterpret_cast<const unsigned char*>(b);
    for (;; ++p, ++q) {
        unsigned char x = Folded(*p), y = Folded(*q);
        if (x != y || x == 0) return int(x) - int(y);
    }
}

void FreePictures()
{
    while (g_first) {
        PictureEntry* next = g_first->next;
        std::free(g_first);
        g_first = next;
    }
    g_last = nullptr;
    std::free(PictureList);
    PictureList = nullptr;
    PictureCount = 0;
}

int32_t ScanPictures(ScanPlatform& platform, const Settings& settings)
{
    FreePictures();
    if (!platform.EnterFolder(settings.dir)) return 0;
    Walk(platform, settings).Start();
    if (PictureCount > 0) {
        PictureList = static_cast<PictureEntry**>(std::calloc(size_t(PictureCount), sizeof(PictureEntry*)));
        if (!PictureList) {
            FreePictures();
            return 0;
        }
        int i = 0;
        for (PictureEntry* entry = g_first; entry; entry = entry->next) PictureList[i++] = entry;
        std::sort(PictureList, PictureList + PictureCount, [](const PictureEntry* x, const PictureEntry* y) {
            return ComparePaths(x->path, y->path) < 0;
        });
    }
    return PictureCount;
}
