#pragma once
// A file tree in memory: a path ending in '\' in `add` is a directory, anything else a file
// with the given bytes. Listing order is the order of adding, as a real directory keeps its own.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "builder/folders.h"

namespace vx::testing {

class FakeFolders : public builder::FolderSource {
public:
    FakeFolders& add(const std::string& path, std::string bytes = {}) {
        const bool dir = !path.empty() && path.back() == '\\';
        const std::string p = dir ? path.substr(0, path.size() - 1) : path;
        if (dir) dirs_[p];
        else files_[p] = std::move(bytes);
        const size_t cut = p.rfind('\\');
        if (cut != std::string::npos) {
            const std::string parent = p.substr(0, cut);
            if (!dirs_.count(parent) && parent.find('\\') != std::string::npos) add(parent + "\\");
            dirs_[parent].push_back({p.substr(cut + 1), dir});
        }
        return *this;
    }
    std::optional<std::vector<builder::DirEntry>> list(const std::string& directory) override {
        const auto it = dirs_.find(directory);
        if (it == dirs_.end()) return std::nullopt;
        return it->second;
    }
    std::optional<std::string> read(const std::string& path, size_t limit) override {
        const auto it = files_.find(path);
        if (it == files_.end()) return std::nullopt;
        return it->second.substr(0, limit);
    }

private:
    std::map<std::string, std::vector<builder::DirEntry>> dirs_;
    std::map<std::string, std::string> files_;
};

}  // namespace vx::testing
