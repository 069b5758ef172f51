#include "pictures/catalogue.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pictures/wide_text.h"

PictureEntry** PictureList = nullptr;
int32_t PictureCount = 0;
char CurrentPath[kLongPathSize];

namespace {

PictureEntry* g_first = nullptr;
PictureEntry* g_last = nullptr;

// The nodes are carved from large blocks: one allocation per block rather than per
// picture, and no allocator overhead beside each path, which counts at a million pictures.
struct NodeBlock {
    NodeBlock* next;
    size_t size;
    size_t used;
};
static_assert(sizeof(NodeBlock) % alignof(PictureEntry) == 0, "nodes follow the block header aligned");
NodeBlock* g_blocks = nullptr;
constexpr size_t kBlockBytes = size_t(256) << 10;

// Zero-filled room for a node of `bytes`; none when memory ran out.
void* NodeMemory(size_t bytes)
{
    bytes = (bytes + alignof(PictureEntry) - 1) / alignof(PictureEntry) * alignof(PictureEntry);
    if (!g_blocks || g_blocks->size - g_blocks->used < bytes) {
        const size_t size = std::max(kBlockBytes, bytes);
        auto* block = static_cast<NodeBlock*>(std::malloc(sizeof(NodeBlock) + size));
        if (!block) return nullptr;
        *block = {g_blocks, size, 0};
        g_blocks = block;
    }
    unsigned char* at = reinterpret_cast<unsigned char*>(g_blocks + 1) + g_blocks->used;
    g_blocks->used += bytes;
    return std::memset(at, 0, bytes);
}

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

void AppendPicture(const char* path, size_t length)
{
    auto* entry = static_cast<PictureEntry*>(NodeMemory(sizeof(PictureEntry) + length));
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
// The folder text grows by a name as the walk enters a folder, as the platform's own
// current folder would, and has no length limit of its own.
class Walk {
public:
    Walk(ScanPlatform& platform, const Settings& settings, SizeCache* sizes)
        : platform_(platform), settings_(settings), recurse_(SettingOn(&Settings::recurse, settings)),
          sizes_(SettingOn(&Settings::minsize, settings) ? sizes : nullptr) {}

    void Start()
    {
        if (!platform_.CurrentFolder(folder_) || folder_.empty()) return;
        // Without a trailing backslash unless it is all there is, so C:\ becomes C:.
        if (folder_.size() > 1 && folder_.back() == '\\') folder_.pop_back();
        ScanFolder(true);
    }

private:
    void ScanFolder(bool root = false)
    {
        std::unique_ptr<FolderSearch> search = platform_.Search(folder_);
        if (!search) return;
        // Only a walk that could start says what is gone below the picture folder.
        if (root && sizes_ && recurse_) sizes_->WalkedBelow(folder_);
        FolderEntry entry;
        while (search->Next(entry)) {
            if (entry.isFolder)
                VisitFolder(entry.name);
            else
                VisitFile(entry);
        }
        if (sizes_) sizes_->Listed(folder_);
    }

    void VisitFile(const FolderEntry& entry)
    {
        const PictureKind kind = CandidateKind(entry.name, settings_);
        if (kind == PictureKind::None) {
            KeepRemembered(entry);
            return;
        }
        if (!BuildPath(entry.name)) return;
        if (SettingOn(&Settings::minsize, settings_)) {
            int width = 0, height = 0;
            SizeOf(kind, entry.stamp, width, height);
            if (width < settings_.minsizex || height < settings_.minsizey) return;
        }
        AppendPicture(path_.data(), path_.size());
    }

    // The file's full path in path_; false for one the platform could not open anyway,
    // which is skipped rather than cut short.
    bool BuildPath(const char* name)
    {
        path_.assign(folder_).append(1, '\\').append(name);
        return Openable(path_);
    }

    // Within the platform's limit with room for the long-path prefix.
    static bool Openable(const std::string& path) { return Utf16Length(path.data(), path.size()) + 8 <= kMaxPathUnits; }

    // A picture file of a kind the settings leave out stays in the sizes when they know
    // it, so switching the kind back on costs nothing; it is never measured.
    void KeepRemembered(const FolderEntry& entry)
    {
        if (!sizes_ || std::strlen(entry.name) <= 4 || KindOfPath(entry.name) == PictureKind::None ||
            !BuildPath(entry.name))
            return;
        int width = 0, height = 0;
        if (sizes_->Find(path_, entry.stamp, width, height)) sizes_->Keep(path_, entry.stamp, width, height, false);
    }

    // The size of the picture in path_, remembered or read from its headers.
    void SizeOf(PictureKind kind, FileStamp stamp, int& width, int& height)
    {
        if (sizes_ && sizes_->Find(path_, stamp, width, height)) {
            sizes_->Keep(path_, stamp, width, height, false);
            return;
        }
        platform_.PictureSize(path_.c_str(), kind, width, height);
        if (sizes_) sizes_->Keep(path_, stamp, width, height, true);
    }

    void VisitFolder(const char* name)
    {
        if (name[0] == '.' || !recurse_) return;
        const size_t length = folder_.size();
        folder_.append(1, '\\').append(name);
        if (Openable(folder_)) ScanFolder();
        folder_.resize(length);
    }

    ScanPlatform& platform_;
    const Settings& settings_;
    const bool recurse_;
    SizeCache* sizes_;
    std::string folder_;
    std::string path_;
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

void FreePictures()
{
    while (g_blocks) {
        NodeBlock* next = g_blocks->next;
        std::free(g_blocks);
        g_blocks = next;
    }
    g_first = g_last = nullptr;
    std::free(PictureList);
    PictureList = nullptr;
    PictureCount = 0;
}

size_t CatalogueBytes()
{
    size_t bytes = size_t(PictureCount) * sizeof(PictureEntry*);
    for (const NodeBlock* block = g_blocks; block; block = block->next) bytes += sizeof(NodeBlock) + block->size;
    return bytes;
}

int32_t ScanPictures(ScanPlatform& platform, const Settings& settings, SizeCache* sizes)
{
    FreePictures();
    if (!platform.EnterFolder(settings.dir)) return 0;
    Walk(platform, settings, sizes).Start();
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
