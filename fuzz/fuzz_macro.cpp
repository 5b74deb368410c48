// Button commands come from desktop files: any bytes must expand without a crash or hang.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/macro.h"
#include "shell/run_policy.h"

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
    bool log_off(bool) override { return false; }
    bool restart(bool) override { return false; }
    bool shut_down() override { return false; }
    void set_system_keys_locked(bool) override {}
};

// Every name exists, so the decision walks its longest paths; links lead back into the
// command's own text.
class AnyFileSystem : public vx::shell::LaunchFileSystem {
public:
    explicit AnyFileSystem(std::string link) : link_(std::move(link)) {}
    bool file_exists(const std::string&) override { return true; }
    bool directory_exists(const std::string&) override { return true; }
    std::string long_path(const std::string& path) override { return path + "~"; }
    std::optional<vx::shell::ShellLinkInfo> read_link(const std::string&) override {
        return vx::shell::ShellLinkInfo{link_, "", ""};
    }
    std::string current_directory() override { return "C:\\TOOLS"; }
    std::vector<std::string> search_folders() override { return {"C:\\VX", "D:"}; }
    std::vector<std::string> path_extensions() override { return {".COM", ".LNK"}; }
    std::string associated_program(const std::string& document) override { return document + ".LNK"; }

private:
    std::string link_;
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
    AnyFileSystem fs(command.substr(0, 40));
    vx::shell::RunRestrictions rules;
    rules.drive_levels[3] = 1;
    rules.forbidden_extensions = "BAT|";
    while (!command.empty()) {
        const std::string line = vx::shell::expand_next_line(command, state, env);
        vx::shell::decide_run(line, rules, fs);
        vx::shell::decide_file(line, rules, fs);
    }
    return 0;
}
