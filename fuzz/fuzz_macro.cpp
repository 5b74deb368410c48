// Button commands come from desktop files: any bytes must expand without a crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/macro.h"

namespace {

// Answers every question positively with a fixed text, so every macro path runs.
class YesPrompter : public vx::Prompter {
public:
    void alert(const std::string&, const std::string&) override {}
    bool ask_yes_no(const std::string&, const std::string&) override { return true; }
    bool ask_ok_cancel(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> ask_text(const std::string&, const std::string&, const std::string& initial,
                                        bool) override {
        return initial + "[A,x]";
    }
    std::optional<size_t> ask_choice(const std::string&, const std::string&,
                                     const std::vector<std::string>& choices) override {
        return choices.size() - 1;
    }
};

class NoSession : public vx::SessionApi {
public:
    bool log_off() override { return false; }
    bool restart() override { return false; }
    bool shut_down() override { return false; }
    void set_system_keys_locked(bool) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    YesPrompter prompter;
    NoSession session;
    vx::shell::MacroEnvironment env;
    env.program_dir = "C:\\VX";
    env.windows_dir = "C:\\WINDOWS";
    env.prompter = &prompter;
    env.session = &session;
    std::string command(reinterpret_cast<const char*>(data), size);
    vx::shell::LaunchState state;
    // Each call consumes at least the line and its CR, so this ends.
    while (!command.empty()) vx::shell::expand_next_line(command, state, env);
    return 0;
}
