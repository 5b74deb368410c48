#pragma once
// Who may do what: the access rule against the logged-in user's groups, and the password
// prompt that every guarded page, button and command goes through.
#include <cstdint>
#include <string_view>

#include "security/admin_data.h"

namespace vx {
class Prompter;
}

namespace vx::security {

inline constexpr std::string_view kPasswordCaption = "Password Required";
inline constexpr std::string_view kPasswordText =
    "As you know, in order to access this option you must first enter the correct password.";
inline constexpr std::string_view kWrongPasswordText = "That's not the correct password!";
inline constexpr std::string_view kWrongPasswordTitle = "Whoops!";

// False without a logged-in user; level 0 opens to everyone logged in. A group opens its own
// level, and every lower one when it has the access flag, is at 1000, or `hierarchical` is set
// (drive levels are always checked that way).
bool access_rule(const AdminData& data, SecurityLevel level, bool hierarchical = false);
// True when one of the user's groups is at `level` or above.
bool has_level_at_least(const AdminData& data, const User& user, SecurityLevel level);
// Whether the logged-in user is one of the administrators (a group at kAdministratorLevel):
// they see the pages marked invisible and the administrators' controls.
bool administrator_logged_in(const AdminData& data);

// The typed text opens a guard with `password` when it equals that password or the master
// password (guard 13), both without regard to case. Empty text opens nothing, so an unset
// master password is never a way in.
bool password_matches(const AdminData& data, std::string_view typed, std::string_view password);

// Grants at once when the access rule passes; otherwise asks for the password through the
// prompter (caption `prefix` + "Password Required") and, when the text is wrong, tells the
// user so. Cancel refuses.
bool password_prompt(const AdminData& data, Prompter& prompter, std::string_view prefix,
                     std::string_view password, SecurityLevel level);

}  // namespace vx::security
