#include "security/access.h"

#include <string>

#include "port/prompter.h"

namespace vx::security {

bool access_rule(const AdminData& data, SecurityLevel level, bool hierarchical) {
    const User* user = data.current_user();
    if (!user) return false;
    if (level == kOpenLevel) return true;
    for (size_t g : user->groups) {
        const Group& group = data.groups[g];
        if (group.level == level) return true;
        if (group.level >= level &&
            (group.access_lower || hierarchical || group.level == kAdministratorLevel))
            return true;
    }
    return false;
}

bool has_level_at_least(const AdminData& data, const User& user, SecurityLevel level) {
    for (size_t g : user.groups)
        if (data.groups[g].level >= level) return true;
    return false;
}

bool administrator_logged_in(const AdminData& data) {
    const User* user = data.current_user();
    return user && has_level_at_least(data, *user, kAdministratorLevel);
}

bool password_matches(const AdminData& data, std::string_view typed, std::string_view password) {
    if (typed.empty()) return false;
    const std::string upper = ansi_upper(typed);
    if (upper == ansi_upper(password)) return true;
    const std::string& master = data.guards[kGuardMaster].password;
    return !master.empty() && upper == ansi_upper(master);
}

bool password_prompt(const AdminData& data, Prompter& prompter, std::string_view prefix,
                     std::string_view password, SecurityLevel level) {
    if (access_rule(data, level)) return true;
    PasswordQuestion question;
    question.caption = std::string(prefix) + std::string(kPasswordCaption);
    question.prompt = std::string(kPasswordText);
    question.wrong_title = std::string(kWrongPasswordTitle);
    question.wrong_text = std::string(kWrongPasswordText);
    question.accepts = [&](std::string_view typed) { return password_matches(data, typed, password); };
    return prompter.ask_password(question) == PasswordAnswer::Granted;
}

}  // namespace vx::security
