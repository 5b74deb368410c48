#include "security/page_password.h"

#include "security/access.h"

namespace vx::security {

PagePasswordView page_password_view(const AdminData& data) {
    PagePasswordView v;
    v.show_level_panel = administrator_logged_in(data);
    for (const Group& g : data.groups)
        v.groups.push_back(g.name == kAllUsersGroup ? std::string(kAnyGroup) : g.name);
    return v;
}

}  // namespace vx::security
