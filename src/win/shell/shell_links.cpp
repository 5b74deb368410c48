#include "win/shell/shell_links.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shlobj.h>

#include <vector>

#include "win/util/com.h"
#include "win/util/text.h"

namespace vx::win::shell {

namespace {

ShowState show_from(int show_cmd) {
    switch (show_cmd) {
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
        case SW_MINIMIZE:
            return ShowState::Minimized;
        case SW_SHOWMAXIMIZED:
            return ShowState::Maximized;
        default:
            return ShowState::Normal;
    }
}

int show_cmd_of(ShowState show) {
    switch (show) {
        case ShowState::Minimized:
            return SW_SHOWMINNOACTIVE;
        case ShowState::Maximized:
            return SW_SHOWMAXIMIZED;
        case ShowState::Normal:
        case ShowState::Hidden:  // a link has no hidden state
            break;
    }
    return SW_SHOWNORMAL;
}

// Link strings may be long (arguments up to the command-line limit).
constexpr int kTextChars = 32768;

std::string text_of(const std::vector<wchar_t>& buffer) {
    return narrow(std::wstring_view(buffer.data()));
}

std::string hresult_text(const char* step, HRESULT hr) {
    char code[16];
    wsprintfA(code, "%08lX", static_cast<unsigned long>(hr));
    return std::string(step) + " failed (0x" + code + ")";
}

}  // namespace

std::optional<ShellLink> Win32ShellLinks::resolve(const std::string& link_path) {
    const std::wstring path = widen(link_path);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    ComScope com;
    if (!com.usable()) return std::nullopt;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return std::nullopt;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return std::nullopt;
    if (FAILED(file->Load(path.c_str(), STGM_READ))) return std::nullopt;

    ShellLink out;
    std::vector<wchar_t> buffer(kTextChars, L'\0');
    // The raw path keeps environment strings unexpanded; the plain one is what would start.
    if (link->GetPath(buffer.data(), kTextChars, nullptr, 0) == S_OK) out.target = text_of(buffer);
    buffer.assign(kTextChars, L'\0');
    if (SUCCEEDED(link->GetArguments(buffer.data(), kTextChars))) out.arguments = text_of(buffer);
    buffer.assign(kTextChars, L'\0');
    if (SUCCEEDED(link->GetWorkingDirectory(buffer.data(), kTextChars)))
        out.working_directory = text_of(buffer);
    buffer.assign(kTextChars, L'\0');
    if (SUCCEEDED(link->GetDescription(buffer.data(), kTextChars))) out.description = text_of(buffer);
    buffer.assign(kTextChars, L'\0');
    int icon_index = 0;
    if (SUCCEEDED(link->GetIconLocation(buffer.data(), kTextChars, &icon_index))) {
        out.icon_location = text_of(buffer);
        out.icon_index = out.icon_location.empty() ? 0 : icon_index;
    }
    int show_cmd = SW_SHOWNORMAL;
    if (SUCCEEDED(link->GetShowCmd(&show_cmd))) out.show = show_from(show_cmd);
    return out;
}

bool Win32ShellLinks::create(const std::string& link_path, const ShellLink& link, std::string& error) {
    ComScope com;
    if (!com.usable()) {
        error = "COM is not available on this thread";
        return false;
    }
    ComPtr<IShellLinkW> object;
    HRESULT hr =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, object.put_void());
    if (FAILED(hr)) {
        error = hresult_text("Creating the shell link", hr);
        return false;
    }
    object->SetPath(widen(link.target).c_str());
    object->SetArguments(widen(link.arguments).c_str());
    object->SetWorkingDirectory(widen(link.working_directory).c_str());
    object->SetDescription(widen(link.description).c_str());
    if (!link.icon_location.empty())
        object->SetIconLocation(widen(link.icon_location).c_str(), link.icon_index);
    object->SetShowCmd(show_cmd_of(link.show));

    ComPtr<IPersistFile> file;
    hr = object->QueryInterface(IID_IPersistFile, file.put_void());
    if (FAILED(hr)) {
        error = hresult_text("Saving the shell link", hr);
        return false;
    }
    // Saved beside the target name first and moved over it, so an old link is never lost to
    // a failed save.
    const std::wstring final_path = widen(link_path);
    const std::wstring temp_path = final_path + L".$$$";
    hr = file->Save(temp_path.c_str(), TRUE);
    if (FAILED(hr)) {
        DeleteFileW(temp_path.c_str());
        error = hresult_text("Saving the shell link", hr);
        return false;
    }
    if (!MoveFileExW(temp_path.c_str(), final_path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        DeleteFileW(temp_path.c_str());
        error = "Replacing the shell link failed (error " + std::to_string(code) + ")";
        return false;
    }
    return true;
}

}  // namespace vx::win::shell
