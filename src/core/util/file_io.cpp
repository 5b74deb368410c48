#include "util/file_io.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

namespace vx {

namespace fs = std::filesystem;

fs::path path_from_utf8(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string path_to_utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

bool file_exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path_from_utf8(path), ec);
}

Bytes read_file(const std::string& path) {
    std::ifstream in(path_from_utf8(path), std::ios::binary);
    if (!in) throw FileError("Cannot open " + path);
    Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw FileError("Cannot read " + path);
    return data;
}

std::string read_text_file(const std::string& path) {
    const Bytes b = read_file(path);
    return std::string(b.begin(), b.end());
}

void write_file_atomic(const std::string& path, const void* data, size_t size) {
    static std::atomic<unsigned> counter{0};
    const fs::path target = path_from_utf8(path);
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path temp = target;
    temp += ".~" + std::to_string(stamp % 1000000) + "_" + std::to_string(counter++) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw FileError("Cannot create a temporary file beside " + path);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(temp, ec);
            throw FileError("Cannot write " + path);
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);  // an atomic replace on both platforms
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw FileError("Cannot replace " + path + ": " + ec.message());
    }
}

namespace {
size_t last_separator(std::string_view path) {
    return path.find_last_of("\\/");
}
}  // namespace

std::string dir_of(std::string_view path) {
    const size_t p = last_separator(path);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p));
}

std::string file_name_of(std::string_view path) {
    const size_t p = last_separator(path);
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string join_path(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    std::string out(dir);
    if (out.back() != '\\' && out.back() != '/') {
        // Keep the separator style the folder already uses.
        out += out.find('\\') != std::string::npos ? '\\' : '/';
    }
    out += name;
    return out;
}

}  // namespace vx
