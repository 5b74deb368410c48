#pragma once
// The ProcessApi port on the system: process creation, the shell's "open" verb, associations
// and the top-level windows.
#include <windows.h>

#include <cstdint>

#include "port/process_api.h"
#include "win/util/handle.h"

namespace vx::win::shell {

class Win32ProcessApi final : public ProcessApi {
public:
    // How long wait_for_input_idle waits for a program that never becomes ready: the shell's
    // window does not answer while it waits, so it must not wait for ever.
    explicit Win32ProcessApi(DWORD input_idle_limit_ms = 15000) : input_idle_limit_ms_(input_idle_limit_ms) {}

    bool start_process(const StartRequest& request, std::string& error) override;
    // A new console (so a console program never shares or takes over the shell's) at normal
    // priority, with the start-up window state.
    bool launch_process(const StartRequest& request, std::uint32_t& process_id, std::string& error) override;
    void wait_for_input_idle(std::uint32_t process_id) override;
    bool shell_open(const std::string& target, const std::string& directory, ShowState show,
                    std::string& error) override;
    bool shell_open_with(const std::string& target, const std::string& parameters,
                         const std::string& directory, ShowState show, std::string& error) override;
    std::string find_executable(const std::string& document) override;
    std::vector<WindowId> top_level_windows() override;
    WindowId foreground_window() override;
    WindowId owner_of(WindowId window) override;
    std::string window_title(WindowId window) override;
    std::uint32_t window_thread(WindowId window) override;
    std::uint32_t window_process(WindowId window) override;
    bool window_exists(WindowId window) override;
    bool window_visible(WindowId window) override;
    // Restores a minimised window and brings it to the front.
    void activate(WindowId window) override;

    static int show_command(ShowState show);

    // What the launcher's check needs to find the program a command would really start.
    // The path with every short (8.3) part in its long form; the path itself when unknown.
    static std::string long_path(const std::string& path);
    // The folders process creation searches for a name without a folder, in its order: this
    // program's folder, the current folder, the system folder, the 16-bit system folder, the
    // Windows folder, then PATH.
    static std::vector<std::string> search_folders();
    // PATHEXT, each with its dot, in capitals; the system's default list when it is unset.
    static std::vector<std::string> path_extensions();

private:
    DWORD input_idle_limit_ms_;
    // The last process started, held until the launcher has waited for it, so the wait never
    // meets another process that reused the identifier.
    std::uint32_t last_process_id_ = 0;
    unique_kernel_handle last_process_;
};

}  // namespace vx::win::shell
