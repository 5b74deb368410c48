#pragma once
// "Add Program Group": the program groups of the Start menu in a sorted list that shows each
// group's name; OK hands back the chosen one.
#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "builder/import.h"

namespace vx::win::builder {

inline constexpr int kAddProgramGroupHelpTopic = 314;
inline constexpr int kAddProgramGroupHelpContext = 766;
inline constexpr int kGroupRowHeight = 15;

// The index into `entries` of the group chosen; nothing on Cancel or without a selection.
// "&Help" calls `help` with the dialog's topic, F1 with the form's help context.
std::optional<size_t> show_add_program_group(HWND owner,
                                             const std::vector<vx::builder::GroupListEntry>& entries,
                                             std::function<void(int topic)> help);

}  // namespace vx::win::builder
