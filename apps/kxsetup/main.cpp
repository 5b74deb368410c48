// kxsetup: puts Vantora! on a machine from the volumes beside this program, page by page.
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "backdrop.h"
#include "pages.h"
#include "setup/install.h"
#include "setup/payload.h"
#include "system.h"
#include "win_fs.h"
#include "win_text.h"

namespace {

using vx::setup::StepResult;

// The directory sits at the end of this very program.
vx::setup::Trailer read_own_trailer() {
    wchar_t self[MAX_PATH * 2];
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    HANDLE h = CreateFileW(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw vx::setup::PayloadError("The Setup program cannot read its own file.");
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    const auto file_size = static_cast<uint64_t>(size.QuadPart);
    const size_t tail = static_cast<size_t>(std::min<uint64_t>(file_size, vx::setup::kMaxTrailerSize));
    vx::setup::Bytes bytes(tail);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(file_size - tail);
    DWORD got = 0;
    const bool ok = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
                    ReadFile(h, bytes.data(), static_cast<DWORD>(tail), &got, nullptr) && got == tail;
    CloseHandle(h);
    if (!ok) throw vx::setup::PayloadError("The Setup program cannot read its own file.");
    vx::setup::Trailer t = vx::setup::parse_trailer(bytes.data(), bytes.size(), file_size);
    for (auto& e : t.entries) e.name = kx::narrow(kx::widen(e.name, CP_ACP));
    return t;
}

// The core talks to one SetupUi for the whole run; each progress page brings its own window.
struct RelayUi : vx::setup::SetupUi {
    vx::setup::SetupUi* target = nullptr;
    bool ok_cancel(const std::string& t) override { return target && target->ok_cancel(t); }
    void message(const std::string& t) override {
        if (target) target->message(t);
    }
    void progress(int p) override {
        if (target) target->progress(p);
    }
    bool cancelled() override { return target && target->cancelled(); }
};

void say(HWND owner, const std::wstring& text, UINT icon = MB_ICONINFORMATION) {
    MessageBoxW(owner, text.c_str(), kx::kProduct, MB_OK | icon);
}

bool ask(HWND owner, const std::wstring& text) {
    return MessageBoxW(owner, text.c_str(), kx::kProduct, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

int run(HINSTANCE instance) {
    HWND backdrop = kx::create_backdrop(instance);
    vx::setup::Trailer trailer;
    try {
        trailer = read_own_trailer();
    } catch (const vx::setup::PayloadError& e) {
        say(backdrop, kx::widen(e.what()), MB_ICONSTOP);
        return 1;
    }
    bool taskman_offered = false;
    for (const auto& e : trailer.entries) taskman_offered |= vx::setup::iequals(e.name, "TaskMan.Exe");

    kx::WinSetupFs fs;
    std::unique_ptr<vx::setup::PayloadInstaller> installer;
    std::wstring error;
    auto abort_run = [&] {
        if (installer) installer->abort_cleanup();
        if (!error.empty()) say(backdrop, error, MB_ICONSTOP);
        say(backdrop, L"The Installation process has been terminated.");
        return 1;
    };

    if (!kx::license_page(backdrop)) return abort_run();
    std::wstring dest = kx::widen(vx::setup::kDefaultDestination);
    if (!kx::destination_page(backdrop, dest)) return abort_run();
    const std::wstring help = kx::windows_dir() + L"Help";
    RelayUi relay;
    installer = std::make_unique<vx::setup::PayloadInstaller>(fs, relay, kx::narrow(kx::module_dir()),
                                                              kx::narrow(dest), kx::narrow(help));
    auto step = [&](const wchar_t* page, auto body) {
        const StepResult r = kx::progress_page(backdrop, page, [&](vx::setup::SetupUi& ui) {
            relay.target = &ui;
            const StepResult inner = body();
            relay.target = nullptr;
            return inner;
        });
        if (r == StepResult::Failed) error = kx::widen(installer->error());
        return r == StepResult::Done;
    };
    if (!step(L"IPROGRESS", [&] { return installer->join_volumes(); })) return abort_run();
    if (!step(L"PROGRESS", [&] { return installer->decompress(trailer); })) return abort_run();

    std::wstring dest_slash = dest;
    if (dest_slash.back() != L'\\') dest_slash += L'\\';
    const std::wstring program = dest_slash + L"Vantorx.Exe";
    vx::setup::InstallRecord record;
    record.destination = kx::narrow(dest);
    record.files.push_back(installer->program_path());
    for (const auto& f : installer->placed()) record.files.push_back(f);
    std::vector<std::string> waiting = installer->at_restart();

    std::wstring group = kx::kProduct;
    if (kx::group_page(backdrop, group)) {
        record.shortcut = kx::narrow(kx::create_shortcut(group, program, dest));
        if (record.shortcut.empty())
            say(backdrop, L"The Start menu entry could not be created.", MB_ICONEXCLAMATION);
    }
    bool shell = false, taskman = false;
    const bool replace_ok = kx::replace_page(backdrop, taskman_offered, shell, taskman);
    const bool system_changed = replace_ok && (shell || taskman);
    if (system_changed && taskman) {
        const vx::setup::TaskManagerSwap swap =
            vx::setup::swap_task_manager(fs, kx::narrow(kx::windows_dir()), kx::narrow(dest));
        if (!swap.error.empty()) say(backdrop, kx::widen(swap.error), MB_ICONEXCLAMATION);
        record.taskman = swap.original_kept;
        // With no task manager of the system's to put back, ours is the uninstaller's to remove.
        if (swap.done && !swap.original_kept) record.files.push_back(swap.installed);
        waiting.insert(waiting.end(), swap.at_restart.begin(), swap.at_restart.end());
    }
    if (system_changed && shell) {
        std::wstring why, previous;
        record.shell = kx::set_shell(program, previous, why);
        record.previous_shell = kx::narrow(previous);
        if (!record.shell) say(backdrop, why, MB_ICONEXCLAMATION);
    }
    if (!kx::register_uninstaller(
            vx::setup::merge_records(kx::read_uninstall_record(), record, kx::narrow(program))))
        say(backdrop, L"The uninstall entry could not be written.", MB_ICONEXCLAMATION);

    const vx::setup::ClosingQuestion closing = vx::setup::closing_question(waiting, system_changed);
    if (ask(backdrop, kx::widen(closing.text))) {
        if (closing.restart) {
            kx::restart_windows();
        } else {
            kx::start_program(dest);
        }
        return 0;
    }
    if (closing.then_offer_run && ask(backdrop, L"Do you wish to run " + std::wstring(kx::kProduct) + L"?"))
        kx::start_program(dest);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    CoInitialize(nullptr);
    const int rc = run(instance);
    CoUninitialize();
    return rc;
}
