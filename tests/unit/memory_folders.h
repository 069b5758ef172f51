// An in-memory folder tree that behaves as the Windows file search and current folder do.
#pragma once
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "pictures/catalogue.h"

class MemoryFolders : public ScanPlatform {
public:
    // Folders are full paths with backslashes ("C:\pics\sub"); the root is "C:\".
    void AddFile(const std::string& folder, const std::string& name, int width = 640, int height = 480,
                 FileStamp stamp = {1000, 1})
    {
        AddFolder(folder);
        RemoveFile(folder, name);
        entries_[folder].push_back({name, false, stamp});
        sizes_[folder + (folder.back() == '\\' ? "" : "\\") + name] = {width, height};
    }
    void RemoveFile(const std::string& folder, const std::string& name)
    {
        auto& list = entries_[folder];
        for (auto it = list.begin(); it != list.end(); ++it)
            if (!it->isFolder && it->name == name) {
                list.erase(it);
                return;
            }
    }
    // The folder and all below it, as a deletion or a move elsewhere leaves its parent.
    void RemoveFolder(const std::string& folder)
    {
        size_t cut = folder.find_last_of('\\');
        auto& siblings = entries_[cut == 2 ? folder.substr(0, 3) : folder.substr(0, cut)];
        for (auto it = siblings.begin(); it != siblings.end(); ++it)
            if (it->isFolder && it->name == folder.substr(cut + 1)) {
                siblings.erase(it);
                break;
            }
        for (auto it = entries_.begin(); it != entries_.end();)
            it = it->first == folder || it->first.rfind(folder + "\\", 0) == 0 ? entries_.erase(it) : std::next(it);
    }
    void AddFolder(const std::string& folder)
    {
        if (entries_.count(folder)) return;
        entries_[folder] = {{".", true, {}}, {"..", true, {}}};
        size_t cut = folder.find_last_of('\\');
        if (cut == std::string::npos || cut + 1 == folder.size()) return;
        std::string parent = cut == 2 ? folder.substr(0, 3) : folder.substr(0, cut);
        AddFolder(parent);
        entries_[parent].push_back({folder.substr(cut + 1), true, {}});
    }

    int sizeQueries = 0;
    int searches = 0;

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

    bool CurrentFolder(std::string& path) override
    {
        path = current_;
        return true;
    }

    std::unique_ptr<FolderSearch> Search(const std::string& folder) override
    {
        ++searches;
        auto it = entries_.find(folder.size() == 2 ? folder + "\\" : folder);  // C: is the root
        if (it == entries_.end()) return nullptr;
        return std::make_unique<Listing>(it->second);
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
        FileStamp stamp;
    };
    class Listing : public FolderSearch {
    public:
        explicit Listing(std::vector<Entry> entries) : entries_(std::move(entries)) {}
        bool Next(FolderEntry& entry) override
        {
            if (next_ == entries_.size()) return false;
            entry = {entries_[next_].name.c_str(), entries_[next_].isFolder, entries_[next_].stamp};
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
