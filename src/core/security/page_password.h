#pragma once
// What the page password editor offers: the level and group panel only to administrators, and
// the groups in file order with the all-users group under a friendlier name.
#include <string>
#include <string_view>
#include <vector>

#include "security/admin_data.h"

namespace vx::security {

inline constexpr std::string_view kPagePasswordCaption = "Set Page Password";
inline constexpr size_t kPagePasswordMax = 100;
inline constexpr std::string_view kAllUsersGroup = "Master User List";
inline constexpr std::string_view kAnyGroup = "Any Group";

struct PagePasswordView {
    bool show_level_panel = false;    // only for a logged-in administrator
    std::vector<std::string> groups;  // file order; the stored group index selects one
};

PagePasswordView page_password_view(const AdminData& data);

}  // namespace vx::security
