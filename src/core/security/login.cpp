#include "security/login.h"

#include "port/hooks_api.h"
#include "port/session_api.h"
#include "security/access.h"

namespace vx::security {

int week_of_month(DateTime day) {
    const int d = date_of(day).day;
    const int weekday = day_of_week(day) + 1;  // 1 = Sunday
    return (d + weekday) % 7 != 0 ? d / 7 + 1 : d / 7;
}

LoginResult check_login(AdminData& data, std::string_view name, std::string_view password, DateTime now) {
    LoginResult r;
    // Every close request of the dialog runs this check, with whatever the edits hold: empty
    // fields must not match a record left without a name or password.
    const auto found = name.empty() ? std::nullopt : data.find_user(name);
    if (!found) return {LoginFailure::UnknownUser, std::nullopt};
    const User& u = data.users[*found];
    if (password.empty() || ansi_upper(u.password) != ansi_upper(password))
        return {LoginFailure::WrongPassword, found};
    if (data.logged_in && *data.logged_in != *found && !has_level_at_least(data, u, kAdministratorLevel))
        return {LoginFailure::NeedsAdministrator, found};

    const int t = seconds_of_day(now);
    if (t < seconds_of_day(u.start) || t > seconds_of_day(u.end)) return {LoginFailure::OutsideHours, found};
    if (!(u.launch_days & weekday_bit(day_of_week(now) + 1))) return {LoginFailure::NotToday, found};
    const int week = week_of_month(now);
    if (week >= 1 && week <= 5 && !(u.launch_days & week_bit(week)))
        return {LoginFailure::NotThisWeek, found};
    if ((u.launch_days & kExpiryInForce) && date_only(now) > date_only(u.expiry))
        return {LoginFailure::Expired, found};

    if (!data.logged_in) data.logged_in = found;
    r.user = found;
    return r;
}

bool LoginLockout::record_failure(DateTime now) {
    if (locked(now)) return false;
    if (++failures_ < kFailuresToLock) return false;
    locked_since_ = now;
    return true;
}

bool LoginLockout::locked(DateTime now) {
    if (!locked_since_) return false;
    // A clock set back must not stretch the lock: count the minute from the earlier reading.
    if (now < *locked_since_) locked_since_ = now;
    if ((now - *locked_since_) * 86400.0 < kLockSeconds - 0.0005) return true;
    record_success();
    return false;
}

MenuVisibility apply_user_guards(AdminData& data) {
    MenuVisibility m;
    for (size_t i = 0; i < kGuardCount; ++i)
        m.slot[i] = data.guards[i].visible || access_rule(data, data.guards[i].level);
    m.separator_before_run = m.slot[kGuardRun];
    m.help_separator_after_run = m.slot[kGuardRun];
    m.separator_before_exit = m.slot[kGuardExit];
    m.separator_before_setup = m.slot[kGuardSetup] && (m.slot[kGuardNew] || m.slot[kGuardOpen]);

    for (int32_t& level : data.drives)
        if (access_rule(data, level, true)) level = 0;

    data.forbidden_extensions.clear();
    for (const LevelRule& rule : data.file_types)
        if (!access_rule(data, rule.level)) data.forbidden_extensions += rule.name + "|";
    return m;
}

bool login_timed_exit(const AdminData& data, HooksApi& hooks, SessionApi& session) {
    if (!data.settings.exit_time_on || !hooks.update_exit_time()) return false;
    session.set_system_keys_locked(false);
    if (data.settings.exit_logs_off)
        session.log_off(true);
    else
        session.restart(true);
    return true;
}

}  // namespace vx::security
