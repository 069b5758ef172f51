// An in-memory folder tree that behaves as the Windows file search and current folder do.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "pictures/catalogue.h"

class MemoryFolders : public ScanPlatform {
public:
    // Folders are full paths with backslashes ("C:\pics\sub"); the root is "C:\".
    void AddFile(const std::string& folder, const std::string& name, int width = 640, int height = 480)
    {
        AddFolder(folder);
        entries_[folder].push_back({name, false});
        sizes_[folder + (folder.back() == '\\' ? "" : "\\") + name] = {width, height};
    }
    void AddFolder(const std::string& folder)
    {
        if (entries_.count(folder)) return;
        entries_[folder] = {{".", true}, {"..", true}};
        size_t cut = folder.find_last_of('\\');
        if (cut == std::string::npos || cut + 1 == folder.size()) return;
        std::string parent = cut == 2 ? folder.substr(0, 3) : folder.substr(0, cut);
        AddFolder(parent);
        entries_[parent].push_back({folder.substr(cut + 1), true});
    }

    int sizeQueries = 0;

    bool EnterFolder(const char* path) override
    {
        std::string target = path;
        if (target.empty()) return false;  // as the platform refuses an empty path
        if (target == "..") {
            size_t cut = current_.find_last_of('\\');
            target = cut <= 2 ? current_.substr(0, 3) : current_.substr(0, cut);
        } else if (target.size() < 2 || target[1] != ':') {
            target = current_ + (current_.back() == '\\' ? "" : "\\") + target;
        }
        if (target.size() > 3 && target.back() == '\\') target.pop_back();
        if (!entries_.count(target)) return false;
        current_ = target;
        return true;
    }

    bool CurrentFolder(char* buffer, int size) override
    {
        if (int(current_.size()) >= size) return false;
        current_.copy(buffer, current_.size());
        buffer[current_.size()] = '\0';
        return true;
    }

    std::unique_ptr<FolderSearch> Search() override
    {
        return std::make_unique<Listing>(entries_[current_]);
    }

    void PictureSize(const char* path, PictureKind, int& width, int& height) override
    {
        ++sizeQueries;
        auto it = sizes_.find(path);
        if (it != sizes_.end()) std::tie(width, height) = it->second;
    }

private:
    struct Entry {
        std::string name;
        bool isFolder;
    };
    class Listing : public FolderSearch {
    public:
        explicit Listing(std::vector<Entry> entries) : entries_(std::move(entries)) {}
        bool Next(FolderEntry& entry) override
        {
            if (next_ == entries_.size()) return false;
            entry = {entries_[next_].name.c_str(), entries_[next_].isFolder};
            ++next_;
            return true;
        }

    private:
        std::vector<Entry> entries_;
        size_t next_ = 0;
    };

    std::map<std::string, std::vector<Entry>> entries_;
    std::map<std::string, std::pair<int, int>> sizes_;
    std::string current_ = "C:\\";
};
