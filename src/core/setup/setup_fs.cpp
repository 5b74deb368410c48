#include "setup/setup_fs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vx::setup {
namespace {

namespace fs = std::filesystem;

fs::path to_path(const std::string& utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

bool is_sep(char c) {
    return c == '\\' || c == '/';
}

class StdReader : public SetupFs::Reader {
public:
    explicit StdReader(std::ifstream in) : in_(std::move(in)) {}
    bool read(uint8_t* buf, size_t cap, size_t& got) override {
        in_.read(reinterpret_cast<char*>(buf), static_cast<std::streamsize>(cap));
        got = static_cast<size_t>(in_.gcount());
        if (in_.bad()) return false;
        if (in_.eof()) in_.clear(std::ios::eofbit);
        return true;
    }
    bool seek(uint64_t offset) override {
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        return static_cast<bool>(in_);
    }

private:
    std::ifstream in_;
};

class StdWriter : public SetupFs::Writer {
public:
    explicit StdWriter(std::ofstream out) : out_(std::move(out)) {}
    bool write(const uint8_t* data, size_t size) override {
        out_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return static_cast<bool>(out_);
    }
    bool close() override {
        if (!out_.is_open()) return true;
        out_.flush();
        const bool ok = static_cast<bool>(out_);
        out_.close();
        return ok && !out_.fail();
    }

private:
    std::ofstream out_;
};

}  // namespace

bool StdSetupFs::exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(to_path(path), ec);
}

std::unique_ptr<SetupFs::Reader> StdSetupFs::open_read(const std::string& path) {
    std::ifstream in(to_path(path), std::ios::binary);
    if (!in) return nullptr;
    return std::make_unique<StdReader>(std::move(in));
}

std::unique_ptr<SetupFs::Writer> StdSetupFs::create(const std::string& path) {
    std::ofstream out(to_path(path), std::ios::binary | std::ios::trunc);
    if (!out) return nullptr;
    return std::make_unique<StdWriter>(std::move(out));
}

std::unique_ptr<SetupFs::Writer> StdSetupFs::open_write_shared(const std::string& path) {
    // The standard library has no sharing modes; a plain second attempt is all there is.
    return create(path);
}

bool StdSetupFs::remove(const std::string& path) {
    std::error_code ec;
    return fs::remove(to_path(path), ec);
}

bool StdSetupFs::truncate(const std::string& path, uint64_t size) {
    std::error_code ec;
    fs::resize_file(to_path(path), size, ec);
    return !ec;
}

bool StdSetupFs::make_dirs(const std::string& path) {
    std::error_code ec;
    fs::create_directories(to_path(path), ec);
    return fs::is_directory(to_path(path), ec);
}

SetupFs::Replaced StdSetupFs::replace(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(to_path(from), to_path(to), ec);
    return ec ? Replaced::Failed : Replaced::Now;
}

std::string join_path(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (!out.empty() && !is_sep(out.back())) {
        // Keep to the separator the folder already uses.
        if (out.find('\\') != std::string::npos) {
            out += '\\';
        } else if (out.find('/') != std::string::npos) {
            out += '/';
        } else {
            out += static_cast<char>(std::filesystem::path::preferred_separator);
        }
    }
    out += name;
    return out;
}

std::string file_name_of(std::string_view path) {
    const size_t cut = path.find_last_of("\\/:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string extension_of(std::string_view path) {
    const std::string name = file_name_of(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string with_extension(std::string_view path, std::string_view ext) {
    const std::string old = extension_of(path);
    std::string out(path.substr(0, path.size() - old.size()));
    out += ext;
    return out;
}

std::string staging_path(std::string_view path) {
    // The whole name is kept, so that two files of one stem ("Vantorx.Exe", "Vantorx.Cnt")
    // never share a staging file.
    return std::string(path) + ".$$$";
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace vx::setup
