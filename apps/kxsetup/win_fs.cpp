#include "win_fs.h"

#include <windows.h>

#include <iterator>

#include "win_text.h"

namespace kx {
namespace {

class HandleReader : public vx::setup::SetupFs::Reader {
public:
    explicit HandleReader(HANDLE h) : h_(h) {}
    ~HandleReader() override { CloseHandle(h_); }
    HandleReader(const HandleReader&) = delete;
    HandleReader& operator=(const HandleReader&) = delete;
    bool read(uint8_t* buf, size_t cap, size_t& got) override {
        DWORD n = 0;
        const BOOL ok = ReadFile(h_, buf, static_cast<DWORD>(cap), &n, nullptr);
        got = n;
        return ok != FALSE;
    }
    bool seek(uint64_t offset) override {
        LARGE_INTEGER li;
        li.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(h_, li, nullptr, FILE_BEGIN) != FALSE;
    }

private:
    HANDLE h_;
};

class HandleWriter : public vx::setup::SetupFs::Writer {
public:
    explicit HandleWriter(HANDLE h) : h_(h) {}
    ~HandleWriter() override { close(); }
    HandleWriter(const HandleWriter&) = delete;
    HandleWriter& operator=(const HandleWriter&) = delete;
    bool write(const uint8_t* data, size_t size) override {
        DWORD n = 0;
        return WriteFile(h_, data, static_cast<DWORD>(size), &n, nullptr) && n == size;
    }
    bool close() override {
        if (h_ == INVALID_HANDLE_VALUE) return true;
        const BOOL ok = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE h_;
};

}  // namespace

bool WinSetupFs::exists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::unique_ptr<vx::setup::SetupFs::Reader> WinSetupFs::open_read(const std::string& path) {
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HandleReader>(h);
}

std::unique_ptr<vx::setup::SetupFs::Writer> WinSetupFs::create(const std::string& path) {
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HandleWriter>(h);
}

std::unique_ptr<vx::setup::SetupFs::Writer> WinSetupFs::open_write_shared(const std::string& path) {
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    SetEndOfFile(h);
    return std::make_unique<HandleWriter>(h);
}

bool WinSetupFs::remove(const std::string& path) {
    return DeleteFileW(widen(path).c_str()) != FALSE;
}

bool WinSetupFs::truncate(const std::string& path, uint64_t size) {
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(h, li, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    return CloseHandle(h) && ok;
}

bool WinSetupFs::make_dirs(const std::string& path) {
    std::wstring w = widen(path);
    while (!w.empty() && (w.back() == L'\\' || w.back() == L'/')) w.pop_back();
    for (size_t i = 3; i <= w.size(); ++i) {
        if (i == w.size() || w[i] == L'\\' || w[i] == L'/') {
            const std::wstring part = w.substr(0, i);
            if (GetFileAttributesW(part.c_str()) == INVALID_FILE_ATTRIBUTES &&
                !CreateDirectoryW(part.c_str(), nullptr))
                return false;
        }
    }
    const DWORD a = GetFileAttributesW(w.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WinSetupFs::short_path(const std::string& path) {
    const std::wstring w = widen(path);
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetShortPathNameW(w.c_str(), buf, static_cast<DWORD>(std::size(buf)));
    // A file that does not exist yet has no short name; its long one is the best there is.
    if (n == 0 || n >= std::size(buf)) return path;
    return narrow(std::wstring_view(buf, n));
}

std::wstring windows_dir() {
    wchar_t buf[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
    std::wstring w(buf, n < MAX_PATH ? n : 0);
    if (!w.empty() && w.back() != L'\\') w += L'\\';
    return w;
}

std::wstring module_dir() {
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
    std::wstring w(buf, n);
    return w.substr(0, w.find_last_of(L"\\/") + 1);
}

}  // namespace kx
