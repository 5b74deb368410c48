#include "win/security/login_ports.h"

#include <windows.h>

#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::security {

void Win32DirectoryAttributes::set_hidden(const std::string& path, bool hidden) {
    const std::wstring wide = widen(path);
    const DWORD now = GetFileAttributesW(wide.c_str());
    if (now == INVALID_FILE_ATTRIBUTES) {
        log_error("protected directory " + path + ": " + last_error_text());
        return;
    }
    const DWORD wanted = hidden ? (now | FILE_ATTRIBUTE_HIDDEN) : (now & ~FILE_ATTRIBUTE_HIDDEN);
    if (wanted == now) return;
    // SetFileAttributesW takes only the settable bits; the directory bit itself is implied.
    constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;
    DWORD settable = wanted & kSettable;
    if (!settable) settable = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileAttributesW(wide.c_str(), settable))
        log_error("protected directory " + path + ": " + last_error_text());
}

}  // namespace vx::win::security
