// Picture sizes remembered between scans, so that a scan with the minimal size on reads
// the headers of new and changed files only. The cache is only a hint: a file that fails
// any check is ignored whole, and a record answers only for the exact path, size and
// last-write time it was measured at, so a scan with it takes the files a scan without it
// takes (unless a file was replaced by another of the same size and time).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// What the folder search tells of a file for free.
struct FileStamp {
    uint64_t size = 0;
    uint64_t lastWrite = 0;
};

class SizeCache {
public:
    // A cache file larger than this is not read, and a rewrite stops short of it.
    static constexpr size_t kMaxBytes = size_t(192) << 20;
    // Records kept at most, those of the last scan first.
    static constexpr size_t kMaxRecords = 2000000;

    // `seed` keys the lookup's hash, so that no file can be made to collide on purpose.
    explicit SizeCache(uint64_t seed = 0) : seed_(seed) {}

    // Takes the bytes of a cache file; false, leaving the cache empty, unless they are one
    // whole, unchanged cache.
    bool Load(std::vector<uint8_t> bytes);
    // The size remembered for this path with this stamp.
    bool Find(std::string_view path, FileStamp stamp, int& width, int& height) const;

    // The scan's own findings, written with the next Serialise: a file it found (measured
    // now, or taken from the cache).
    void Keep(std::string_view path, FileStamp stamp, int width, int height, bool measured);
    // A folder whose entries the scan listed: remembered files in it that the scan did
    // not keep are gone.
    void Listed(std::string_view folder);
    // The folder the scan started from, when it walked all folders below it: remembered
    // files below it in folders the scan never listed are gone too.
    void WalkedBelow(std::string_view folder) { walkedRoot_.assign(folder.data(), folder.size()).push_back('\\'); }

    // Whether a rewrite would differ from what was loaded.
    bool Changed() const;
    // The cache file: the scan's files, then remembered files outside what it looked at,
    // within the limits above.
    std::vector<uint8_t> Serialise() const;

    size_t LoadedRecords() const { return loadedRecords_; }

private:
    struct Record {
        const uint8_t* at;  // the record's start in a serialised block
        FileStamp stamp;
        int32_t width, height;
        const char* path;
        uint32_t pathLength;
    };
    static bool ReadRecord(const uint8_t*& at, const uint8_t* end, Record& record);
    uint64_t Hash(const char* path, size_t length) const;
    // Whether a remembered record belongs to what this scan looked at (`parent`: room
    // for its folder).
    bool Superseded(const Record& record, std::string& parent) const;
    template <class Visit> void ForEachLoaded(Visit visit) const;

    uint64_t seed_;
    std::vector<uint8_t> loaded_;
    size_t loadedRecords_ = 0;
    std::vector<uint32_t> slots_;  // record offset + 1 in loaded_; 0: free

    std::vector<uint8_t> kept_;  // serialised records of this scan
    size_t keptRecords_ = 0;
    size_t measured_ = 0;
    size_t hits_ = 0;
    std::unordered_set<std::string> listed_;
    std::string walkedRoot_;
};
