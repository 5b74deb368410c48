#pragma once
// An in-memory drive set: entries keyed without regard to case, each with the real path the
// system would report (which differs for short names and links).
#include <map>
#include <set>
#include <string>

#include "dialogs/location.h"
#include "security/admin_data.h"

namespace vx::dialogs::testing {

struct FakeFileSystem : FileSystem {
    struct Entry {
        Kind kind;
        std::string real;
    };
    std::map<std::string, Entry> entries;
    std::set<char> drives;
    std::map<char, std::string> remotes;  // mapped network drives

    FakeFileSystem& dir(const std::string& path, std::string real = {}) {
        return add(path, Kind::kDirectory, std::move(real));
    }
    FakeFileSystem& file(const std::string& path, std::string real = {}) {
        return add(path, Kind::kFile, std::move(real));
    }
    FakeFileSystem& add(const std::string& path, Kind kind, std::string real) {
        entries[security::ansi_upper(path)] = {kind, real.empty() ? path : real};
        if (path.size() >= 3) drives.insert(path[0]);
        return *this;
    }

    Kind kind(const std::string& path) override {
        const auto it = entries.find(security::ansi_upper(path));
        return it == entries.end() ? Kind::kMissing : it->second.kind;
    }
    std::optional<std::string> real_path(const std::string& path) override {
        const auto it = entries.find(security::ansi_upper(path));
        if (it == entries.end()) return std::nullopt;
        return it->second.real;
    }
    bool is_drive(char letter) override { return drives.count(letter) != 0; }
    std::optional<std::string> remote_name(char letter) override {
        const auto it = remotes.find(letter);
        return it == remotes.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

}  // namespace vx::dialogs::testing
