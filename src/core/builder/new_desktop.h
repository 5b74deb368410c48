#pragma once
// The questions a new desktop starts with: whether to build it from the Windows desktop, which
// file it goes to and, for a file that exists, whether to lose what it holds. The window layer
// lends the file selector; the answers decide what is made.
#include <functional>
#include <optional>
#include <string>

#include "port/prompter.h"
#include "shell/run_policy.h"

namespace vx::builder {

inline constexpr const char* kNewDesktopCaption = "New Desktop";
inline constexpr const char* kBuildQuestion =
    "Do you want Vantora! to build a new interface based on your\rexisting Windows desktop? If you "
    "select NO you will have to\rmanually add controls for launching applications. You can make\rchanges "
    "to the desktop at any time, by using the Modify menu option.";
inline constexpr const char* kOverwriteQuestion =
    "This file already exists, do you wish Vantora! to continue?\rAny existing information contained in "
    "this file will be lost.";
inline constexpr const char* kNewDesktopFileTitle = "Select a New Desktop File";
inline constexpr const char* kDesktopMask = "*.DTP";

struct NewDesktopPlan {
    std::string file;
    bool from_windows = false;  // "Yes": built from the Windows desktop and Start menu
};

struct NewDesktopQuestions {
    Prompter& prompter;
    // The restricted file selector in `directory`, proposing `proposed`; nullopt on Cancel. A
    // file the user may not have (a forbidden type, a barred drive) never comes back.
    std::function<std::optional<std::string>(const std::string& directory, const std::string& proposed)>
        choose_file;
    std::function<bool(const std::string& path)> file_exists;
};

// Nullopt when the person cancelled the selector or declined to overwrite: nothing changes then.
std::optional<NewDesktopPlan> ask_new_desktop(const NewDesktopQuestions& q, const std::string& current_file);

// Why the user may not have `path` as the new desktop file (a barred drive, a forbidden
// extension), as the message tells it; empty when he may.
std::string new_desktop_file_refusal(const std::string& path, const shell::RunRestrictions& restrictions);

}  // namespace vx::builder
