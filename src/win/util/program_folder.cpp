#include "win/util/program_folder.h"

#include <windows.h>

#include "win/util/text.h"

namespace vx::win {

std::string program_path() {
    // A path longer than MAX_PATH is cut to the buffer: grow until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return narrow(std::wstring_view(buffer.data(), n));
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string program_folder() {
    const std::string exe = program_path();
    const size_t slash = exe.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

}  // namespace vx::win
