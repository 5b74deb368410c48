#pragma once
// Processes and top-level windows, as the launcher and the usage tracking see them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx {

using WindowId = std::uintptr_t;  // an opaque top-level window handle; 0 = none

// Hidden is last so that existing values keep their meaning.
enum class ShowState { Normal, Minimized, Maximized, Hidden };

struct StartRequest {
    std::string command_line;       // program and arguments, as process creation splits them
    std::string working_directory;  // empty: the caller's
    ShowState show = ShowState::Normal;
};

class ProcessApi {
public:
    virtual ~ProcessApi() = default;
    // Starts a new process; false when it could not be started (error text in `error`).
    virtual bool start_process(const StartRequest& request, std::string& error) = 0;
    // The shell's "open" verb on a document or address; false on failure.
    virtual bool shell_open(const std::string& target, const std::string& directory, ShowState show,
                            std::string& error) = 0;
    // The program associated with a document; empty when there is none.
    virtual std::string find_executable(const std::string& document) = 0;
    virtual std::vector<WindowId> top_level_windows() = 0;
    virtual WindowId foreground_window() = 0;
    virtual WindowId owner_of(WindowId window) = 0;
    virtual std::string window_title(WindowId window) = 0;
    virtual std::uint32_t window_thread(WindowId window) = 0;
    virtual bool window_exists(WindowId window) = 0;
    virtual void activate(WindowId window) = 0;

    // Added for the launcher, with defaults so that existing adapters and fakes still build.
    // Starts like start_process and gives the new process's identifier (0 when unknown).
    virtual bool launch_process(const StartRequest& request, std::uint32_t& process_id, std::string& error) {
        process_id = 0;
        return start_process(request, error);
    }
    // Waits until a started process is ready for input (or gives up after the adapter's limit).
    virtual void wait_for_input_idle(std::uint32_t /*process_id*/) {}
    // The identifier of the process that owns a window; 0 when unknown.
    virtual std::uint32_t window_process(WindowId /*window*/) { return 0; }
    virtual bool window_visible(WindowId /*window*/) { return true; }
    // The "open" verb with parameters; by default only targets without parameters open.
    virtual bool shell_open_with(const std::string& target, const std::string& parameters,
                                 const std::string& directory, ShowState show, std::string& error) {
        if (!parameters.empty()) {
            error = "parameters are not supported";
            return false;
        }
        return shell_open(target, directory, show, error);
    }
};

}  // namespace vx
