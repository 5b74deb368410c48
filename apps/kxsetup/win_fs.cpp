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

vx::setup::SetupFs::Replaced WinSetupFs::replace(const std::string& from, const std::string& to) {
    const std::wstring target = widen(to);
    if (MoveFileExW(widen(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Replaced::Now;
    switch (GetLastError()) {
        // What a loaded program or library, or a file another program holds open, gives.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES ? Replaced::InUse
                                                                                 : Replaced::Failed;
        default:
            return Replaced::Failed;
    }
}

bool WinSetupFs::replace_at_restart(const std::string& from, const std::string& to) {
    if (is_windows_nt())
        return MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                           MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != FALSE;
    return write_rename_section({{short_path(to), short_path(from)}});
}

std::string WinSetupFs::short_path(const std::string& path) {
    const std::wstring w = widen(path);
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetShortPathNameW(w.c_str(), buf, static_cast<DWORD>(std::size(buf)));
    // A file that does not exist yet has no short name; its long one is the best there is.
    if (n == 0 || n >= std::size(buf)) return path;
    return narrow(std::wstring_view(buf, n));
}

bool is_windows_nt() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&v)) return true;
#pragma GCC diagnostic pop
    return v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool write_rename_section(const std::vector<vx::setup::RenameLine>& lines) {
    if (lines.empty()) return true;
    const std::wstring path = windows_dir() + L"WinInit.Ini";
    std::string existing;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) existing.append(buf, n);
        CloseHandle(h);
    }
    // The file is in the ANSI code page; the core speaks UTF-8.
    std::vector<vx::setup::RenameLine> ansi;
    for (const auto& l : lines)
        ansi.push_back({narrow(widen(l.target), CP_ACP), narrow(widen(l.replacement), CP_ACP)});
    const std::string merged = vx::setup::merge_rename_section(existing, ansi);
    // Write beside and replace, so a failure leaves the old file whole.
    const std::wstring temp = path + L".new";
    h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const bool wrote =
        WriteFile(h, merged.data(), static_cast<DWORD>(merged.size()), &n, nullptr) && n == merged.size();
    const bool closed = CloseHandle(h);
    if (!wrote || !closed ||
        !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
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
