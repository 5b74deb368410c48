#pragma once
// File access for core, with UTF-8 path strings. Every file the program rewrites goes
// through write_file_atomic: a temporary file in the same folder, then an atomic replace,
// so a failure at any step leaves the old file whole.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

using Bytes = std::vector<uint8_t>;

// A file operation failed; what() names the file and the reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::filesystem::path path_from_utf8(std::string_view utf8);
std::string path_to_utf8(const std::filesystem::path& p);

bool file_exists(const std::string& path);
// Throws FileError when the file cannot be opened or read.
Bytes read_file(const std::string& path);
std::string read_text_file(const std::string& path);

// Writes `data` to a temporary file beside `path` and replaces `path` with it. On failure
// the temporary file is removed, `path` is as it was, and FileError is thrown.
void write_file_atomic(const std::string& path, const void* data, size_t size);
inline void write_file_atomic(const std::string& path, const Bytes& data) {
    write_file_atomic(path, data.data(), data.size());
}
inline void write_file_atomic(const std::string& path, std::string_view data) {
    write_file_atomic(path, data.data(), data.size());
}

// The folder part and the file part of a path; both separators count.
std::string dir_of(std::string_view path);
std::string file_name_of(std::string_view path);
std::string join_path(std::string_view dir, std::string_view name);

}  // namespace vx
