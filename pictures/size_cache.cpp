#include "pictures/size_cache.h"

#include <cstring>

// The file: the 8-byte mark, the record count (64 bits), the records, and a 64-bit check
// of everything before it. A record: size and last-write time (64 bits each), width and
// height (32 bits each), the path's length in bytes (32 bits) and the path (UTF-8, no
// terminator). Numbers are little-endian.

namespace {

constexpr uint8_t kMark[8] = {'V', 'l', 'm', 'S', 'i', 'z', 'e', 1};
constexpr size_t kHeaderBytes = 16;
constexpr size_t kCheckBytes = 8;
constexpr size_t kRecordFixedBytes = 28;
// The longest path the platform has (32,767 UTF-16 units), at three bytes a unit.
constexpr uint32_t kMaxPathBytes = 32767 * 3;
// A lookup gives up after this many slots: a miss costs only a header read.
constexpr size_t kMaxProbes = 32;

uint64_t Read64(const uint8_t* p)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

uint32_t Read32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

void Put64(std::vector<uint8_t>& out, uint64_t v)
{
    for (int i = 0; i < 8; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// FNV-1a: not a defence, only a check that the file is the one that was written.
uint64_t Check(const uint8_t* data, size_t size)
{
    uint64_t h = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001b3ull;
    return h;
}

void PutRecord(std::vector<uint8_t>& out, const char* path, uint32_t length, FileStamp stamp, int32_t width,
               int32_t height)
{
    Put64(out, stamp.size);
    Put64(out, stamp.lastWrite);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put32(out, length);
    out.insert(out.end(), path, path + length);
}

}  // namespace

bool SizeCache::ReadRecord(const uint8_t*& at, const uint8_t* end, Record& record)
{
    if (size_t(end - at) < kRecordFixedBytes) return false;
    record.at = at;
    record.stamp.size = Read64(at);
    record.stamp.lastWrite = Read64(at + 8);
    record.width = int32_t(Read32(at + 16));
    record.height = int32_t(Read32(at + 20));
    record.pathLength = Read32(at + 24);
    at += kRecordFixedBytes;
    if (record.width < 0 || record.height < 0 || record.pathLength == 0 || record.pathLength > kMaxPathBytes ||
        record.pathLength > size_t(end - at))
        return false;
    record.path = reinterpret_cast<const char*>(at);
    if (std::memchr(record.path, 0, record.pathLength)) return false;
    at += record.pathLength;
    return true;
}

template <class Visit> void SizeCache::ForEachLoaded(Visit visit) const
{
    if (loaded_.empty()) return;
    const uint8_t* at = loaded_.data() + kHeaderBytes;
    const uint8_t* end = loaded_.data() + loaded_.size() - kCheckBytes;
    Record record;
    for (size_t i = 0; i < loadedRecords_ && ReadRecord(at, end, record); ++i) visit(record);
}

uint64_t SizeCache::Hash(const char* path, size_t length) const
{
    uint64_t h = 0xcbf29ce484222325ull ^ seed_;
    for (size_t i = 0; i < length; ++i) h = (h ^ uint8_t(path[i])) * 0x100000001b3ull;
    // The multiplication leaves the low bits weak; mix the high ones down.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

bool SizeCache::Load(std::vector<uint8_t> bytes)
{
    loaded_.clear();
    slots_.clear();
    loadedRecords_ = 0;
    const size_t size = bytes.size();
    if (size < kHeaderBytes + kCheckBytes || size > kMaxBytes) return false;
    if (std::memcmp(bytes.data(), kMark, sizeof kMark) != 0) return false;
    if (Read64(bytes.data() + size - kCheckBytes) != Check(bytes.data(), size - kCheckBytes)) return false;
    const uint64_t count = Read64(bytes.data() + 8);
    if (count > (size - kHeaderBytes - kCheckBytes) / kRecordFixedBytes) return false;

    // Every record must parse and the last must end where the check begins.
    const uint8_t* at = bytes.data() + kHeaderBytes;
    const uint8_t* end = bytes.data() + size - kCheckBytes;
    Record record;
    for (uint64_t i = 0; i < count; ++i)
        if (!ReadRecord(at, end, record)) return false;
    if (at != end) return false;

    loaded_ = std::move(bytes);
    loadedRecords_ = size_t(count);
    size_t capacity = 16;
    while (capacity < 2 * loadedRecords_) capacity *= 2;
    slots_.assign(capacity, 0);
    ForEachLoaded([this, capacity](const Record& r) {
        size_t slot = size_t(Hash(r.path, r.pathLength)) & (capacity - 1);
        for (size_t probe = 0; probe < kMaxProbes; ++probe, slot = (slot + 1) & (capacity - 1)) {
            if (slots_[slot] == 0) {
                slots_[slot] = uint32_t(r.at - loaded_.data()) + 1;
                return;
            }
        }
    });
    return true;
}

bool SizeCache::Find(std::string_view path, FileStamp stamp, int& width, int& height) const
{
    if (slots_.empty()) return false;
    const size_t mask = slots_.size() - 1;
    size_t slot = size_t(Hash(path.data(), path.size())) & mask;
    for (size_t probe = 0; probe < kMaxProbes && slots_[slot] != 0; ++probe, slot = (slot + 1) & mask) {
        const uint8_t* at = loaded_.data() + slots_[slot] - 1;
        Record record;
        ReadRecord(at, loaded_.data() + loaded_.size() - kCheckBytes, record);
        if (record.pathLength != path.size() || std::memcmp(record.path, path.data(), path.size()) != 0) continue;
        if (record.stamp.size != stamp.size || record.stamp.lastWrite != stamp.lastWrite) return false;
        width = record.width;
        height = record.height;
        return true;
    }
    return false;
}

void SizeCache::Keep(std::string_view path, FileStamp stamp, int width, int height, bool measured)
{
    if (path.empty() || path.size() > kMaxPathBytes || width < 0 || height < 0) return;
    if (keptRecords_ >= kMaxRecords ||
        kHeaderBytes + kept_.size() + kRecordFixedBytes + path.size() + kCheckBytes > kMaxBytes)
        return;
    PutRecord(kept_, path.data(), uint32_t(path.size()), stamp, width, height);
    ++keptRecords_;
    if (measured)
        ++measured_;
    else
        ++hits_;
}

void SizeCache::Listed(std::string_view folder) { listed_.emplace(folder); }

bool SizeCache::Superseded(const Record& record, std::string& parent) const
{
    const size_t rootLength = walkedRoot_.size();
    if (rootLength && record.pathLength > rootLength && std::memcmp(record.path, walkedRoot_.data(), rootLength) == 0)
        return true;
    const void* cut = nullptr;
    for (uint32_t i = record.pathLength; i-- > 0;)
        if (record.path[i] == '\\') {
            cut = record.path + i;
            break;
        }
    if (!cut) return false;
    parent.assign(record.path, static_cast<const char*>(cut));
    return listed_.count(parent) != 0;
}

bool SizeCache::Changed() const
{
    if (measured_ > 0) return true;
    size_t superseded = 0;
    std::string parent;
    ForEachLoaded([&](const Record& r) { superseded += Superseded(r, parent) ? 1 : 0; });
    return superseded != hits_;
}

std::vector<uint8_t> SizeCache::Serialise() const
{
    std::vector<uint8_t> out(kMark, kMark + sizeof kMark);
    Put64(out, 0);  // the count, filled in below
    out.insert(out.end(), kept_.begin(), kept_.end());
    size_t records = keptRecords_;
    std::string parent;
    ForEachLoaded([&](const Record& r) {
        if (records >= kMaxRecords || Superseded(r, parent)) return;
        const size_t bytes = kRecordFixedBytes + r.pathLength;
        if (out.size() + bytes + kCheckBytes > kMaxBytes) return;
        out.insert(out.end(), r.at, r.at + bytes);
        ++records;
    });
    for (int i = 0; i < 8; ++i) out[8 + i] = uint8_t(uint64_t(records) >> (8 * i));
    Put64(out, Check(out.data(), out.size()));
    return out;
}
