#pragma once
// Security levels: what pages, buttons, command guards, drives and groups carry, and what the
// access rule compares. One signed 32-bit type throughout: the administration file stores
// them as signed integers and the access rule compares them as such, so a page's level and a
// group's level never meet through a conversion.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vx::security {

using SecurityLevel = int32_t;

inline constexpr SecurityLevel kOpenLevel = 0;  // every logged-in user
// The administrators' level: it opens every level and shows the administrators' controls.
inline constexpr SecurityLevel kAdministratorLevel = 1000;

// The level each drive A..Z asks of the user; 0 lets everyone use it. The administration file,
// the selectors and the Run Program check share this one table.
inline constexpr std::size_t kDriveCount = 26;
using DriveLevels = std::array<SecurityLevel, kDriveCount>;

inline constexpr std::string_view kLevelRangeText = "The security level must be a number from 0 to 1000.";

// A level typed by the administrator: a whole decimal number from 0 to 1000, nothing else.
std::optional<SecurityLevel> parse_security_level(std::string_view text);

}  // namespace vx::security
