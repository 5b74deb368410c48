#include "shell/user_restrictions.h"

#include "security/access.h"

namespace vx::shell {

RunRestrictions run_restrictions(const security::AdminData& admin) {
    RunRestrictions r;
    r.drive_levels = admin.drives;
    r.forbidden_extensions = admin.forbidden_extensions;
    return r;
}

std::string restricted_folders(const security::AdminData& admin, const dialogs::Environment& environment) {
    std::string out;
    for (const auto& rule : admin.directories)
        if (!security::access_rule(admin, rule.level))
            out += dialogs::read_restricted_entry(rule.name, environment).pattern + "|";
    return out;
}

}  // namespace vx::shell
