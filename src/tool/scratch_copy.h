#pragma once
// A copy of a file in a temporary folder of its own, removed with the folder at the end. The
// administration file's reader enciphers the file it reads; the tool reads a copy so that the
// site's file is never changed by looking at it.
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "util/file_io.h"

namespace vx::tool {

class ScratchCopy {
public:
    // The copy is named `name` inside the new folder.
    ScratchCopy(const std::string& file, const std::string& name) {
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() /
               ("vxtool-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
        path_ = path_to_utf8(dir_ / name);
        write_file_atomic(path_, read_file(file));
    }
    ~ScratchCopy() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ScratchCopy(const ScratchCopy&) = delete;
    ScratchCopy& operator=(const ScratchCopy&) = delete;
    const std::string& path() const { return path_; }

private:
    std::filesystem::path dir_;
    std::string path_;
};

}  // namespace vx::tool
