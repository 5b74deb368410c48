#include "setup/record.h"

#include <algorithm>

#include "setup/setup_fs.h"

namespace vx::setup {

bool shell_value_is(std::string_view value, std::string_view program) {
    auto trim = [](std::string_view v) {
        while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
        while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
        return v;
    };
    value = trim(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = trim(value.substr(1, value.size() - 2));
    return !value.empty() && iequals(value, program);
}

InstallRecord merge_records(const InstallRecord& earlier, InstallRecord now, std::string_view program) {
    if (earlier.shell) {
        now.shell = true;
        now.previous_shell = earlier.previous_shell;
    }
    if (shell_value_is(now.previous_shell, program)) now.previous_shell.clear();
    now.taskman = now.taskman || earlier.taskman;
    if (now.shortcut.empty()) now.shortcut = earlier.shortcut;
    for (const auto& f : earlier.files)
        if (std::none_of(now.files.begin(), now.files.end(),
                         [&](const std::string& g) { return iequals(f, g); }))
            now.files.push_back(f);
    return now;
}

}  // namespace vx::setup
