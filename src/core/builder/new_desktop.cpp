#include "builder/new_desktop.h"

#include <cctype>

#include "util/file_io.h"

namespace vx::builder {

std::optional<NewDesktopPlan> ask_new_desktop(const NewDesktopQuestions& q, const std::string& current_file) {
    NewDesktopPlan plan;
    plan.from_windows = q.prompter.ask_yes_no(kNewDesktopCaption, kBuildQuestion);
    const auto chosen = q.choose_file(dir_of(current_file), file_name_of(current_file));
    if (!chosen || chosen->empty()) return std::nullopt;
    if (q.file_exists(*chosen) && !q.prompter.ask_yes_no(kNewDesktopCaption, kOverwriteQuestion))
        return std::nullopt;
    plan.file = *chosen;
    return plan;
}

std::string new_desktop_file_refusal(const std::string& path, const shell::RunRestrictions& restrictions) {
    std::string why;
    if (path.size() >= 2 && path[1] == ':' && restrictions.drive_barred(path[0])) {
        why = std::string("drive ") + static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))) +
              ": is barred";
    } else if (const std::string ext = shell::extension_of(path); restrictions.extension_forbidden(ext)) {
        why = "extension " + ext + " is forbidden";
    }
    return why.empty() ? why : "You may not create " + path + ": " + why;
}

}  // namespace vx::builder
