#include "security/admin_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "dialogs/location.h"
#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/text_codec.h"
#include "util/file_io.h"

namespace vx::security {

namespace {

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Hand-written files gain stray blanks around numbers, so those are allowed; anything else
// that is not a 32-bit decimal integer is the conversion error.
int32_t to_int(std::string_view text, int line) {
    std::string_view s = trim_blanks(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || s.front() == '+')
        throw AdminFileError("'" + std::string(text) + "' is not a valid integer value", line);
    return value;
}

DateTime to_datetime(std::string_view text, const Locale& locale, int line) {
    DateTime dt = 0;
    if (!locale.parse_datetime(text, dt))
        throw AdminFileError("'" + std::string(text) + "' is not a valid date and time", line);
    return dt;
}

// The settings line: ten integers separated by single blanks, the last running to the end.
AdminSettings parse_settings(std::string_view value, int line) {
    std::array<int32_t, 10> n{};
    std::string_view rest = value;
    for (size_t i = 0; i < n.size(); ++i) {
        std::string_view field = rest;
        if (i + 1 < n.size()) {
            const size_t blank = rest.find(' ');
            field = blank == std::string_view::npos ? std::string_view{} : rest.substr(0, blank);
            rest = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);
        }
        n[i] = to_int(field, line);
    }
    AdminSettings s;
    s.idle_lock_on = static_cast<uint8_t>(n[0]);
    s.idle_lock_time = n[1];
    s.usage_log_on = static_cast<uint8_t>(n[2]);
    s.encryption_mark = n[3];
    s.validate_users = static_cast<uint8_t>(n[4]);
    s.disable_system_keys = static_cast<uint8_t>(n[5]);
    s.monthly_logs = static_cast<uint8_t>(n[6]);
    s.exit_time_on = static_cast<uint8_t>(n[7]);
    s.exit_logs_off = static_cast<uint8_t>(n[8]);
    s.exit_time = n[9];
    return s;
}

void arm_hooks(const AdminSettings& s, HooksApi& hooks) {
    if (s.idle_lock_on || s.exit_time_on) {
        hooks.set_hook_proc(true);
        if (s.idle_lock_on) hooks.set_lock_time(s.idle_lock_time);
        if (s.exit_time_on) hooks.set_exit_time(s.exit_time);
    } else {
        hooks.set_hook_proc(false);
    }
}

// Splits at CR LF, LF or a lone CR.
template <typename F>
void for_each_line(std::string_view text, F&& f) {
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        f(text.substr(pos, end - pos));
        if (end == text.size()) break;
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }
}

// One reading. "Current" records belong to this reading: a key that refers to one before any
// exists is ignored.
class Reader {
public:
    Reader(AdminData& data, const AdminReadContext& ctx) : d_(data), ctx_(ctx) {}

    void line(std::string_view ansi, int number) {
        line_ = number;
        const size_t eq = ansi.find('=');
        if (eq == std::string_view::npos) return;
        const std::string_view key = ansi.substr(0, eq + 1);
        const std::string value = ctx_.codec.to_utf8(ansi.substr(eq + 1));
        dispatch(key, value);
    }

private:
    int number(const std::string& v) const { return to_int(v, line_); }
    DateTime date(const std::string& v) const { return to_datetime(v, ctx_.locale, line_); }
    User* user() { return user_ != kNone ? &d_.users[user_] : nullptr; }
    Group* group() { return group_ != kNone ? &d_.groups[group_] : nullptr; }

    void dispatch(std::string_view key, const std::string& v) {
        if (key == "Security=") {
            d_.settings = parse_settings(v, line_);
            if (ctx_.encryption_mark) *ctx_.encryption_mark = d_.settings.encryption_mark;
            arm_hooks(d_.settings, ctx_.hooks);
        } else if (key == "LogFile=") {
            d_.log_path = v;
        } else if (key == "FileType=") {
            d_.file_types.push_back({ansi_upper(v), 0});
            file_type_ = d_.file_types.size() - 1;
        } else if (key == "FileTypeSecurity=") {
            const int n = number(v);
            if (file_type_ != kNone) d_.file_types[file_type_].level = n;
        } else if (key == "Group=") {
            group_ = d_.find_group(v).value_or(kNone);
            if (group_ == kNone) {
                d_.groups.push_back({v, 0, 0});
                group_ = d_.groups.size() - 1;
            }
        } else if (key == "GroupSecurity=") {
            const int n = number(v);
            if (group()) group()->level = n;
        } else if (key == "GroupAccess=") {
            const int n = number(v);
            if (group()) group()->access_lower = static_cast<uint8_t>(n);
        } else if (key == "User=") {
            user_ = d_.find_user(v).value_or(kNone);
            if (user_ == kNone) {
                d_.users.push_back(User{});
                d_.users.back().name = v;
                user_ = d_.users.size() - 1;
            }
        } else if (key == "Actual=") {
            if (user()) user()->actual = v;
        } else if (key == "Password=") {
            if (user()) user()->password = v;
        } else if (key == "StartTime=" || key == "EndTime=" || key == "Date=") {
            const DateTime dt = date(v);
            if (User* u = user())
                (key == "StartTime=" ? u->start : key == "EndTime=" ? u->end : u->expiry) = dt;
        } else if (key == "LaunchDay=") {
            const int n = number(v);
            if (user()) user()->launch_days = static_cast<uint16_t>(n);
        } else if (key == "UserGroup=") {
            const int n = number(v);
            User* u = user();
            if (u && n >= 0 && static_cast<size_t>(n) < d_.groups.size() &&
                std::find(u->groups.begin(), u->groups.end(), static_cast<size_t>(n)) == u->groups.end())
                u->groups.insert(u->groups.begin(), static_cast<size_t>(n));
        } else if (key == "Encryption=") {
            d_.encryption_key = v;
        } else if (key == "Drive=") {
            const int n = number(v);
            if (drive_ < kDriveCount) d_.drives[drive_] = n;
            ++drive_;
        } else if (key == "MenuPassword=") {
            if (guard_ < kGuardCount) d_.guards[guard_].password = v;
        } else if (key == "MenuSecurity=") {
            const int n = number(v);
            if (guard_ < kGuardCount) d_.guards[guard_].level = n;
        } else if (key == "MenuVisible=") {
            const int n = number(v);
            if (guard_ < kGuardCount) d_.guards[guard_].visible = static_cast<uint8_t>(n);
            ++guard_;
        } else if (key == "DirName=") {
            d_.directories.insert(d_.directories.begin(), {v, 0});
            have_dir_ = true;
            const auto reading = dialogs::read_restricted_entry(v, ctx_.environment);
            if (!reading.note.empty())
                d_.warnings.push_back({line_, "The restricted directory \"" + v + "\" is not a full path (" +
                                                  reading.note + ")."});
        } else if (key == "DirSecurity=") {
            const int n = number(v);
            if (have_dir_) d_.directories.front().level = n;
        } else if (key == "FileName=") {
            d_.protected_files.push_back({v, 0});
            have_file_ = true;
        } else if (key == "FileSecurity=") {
            const int n = number(v);
            if (have_file_) d_.protected_files.back().level = n;
        }
    }

    AdminData& d_;
    const AdminReadContext& ctx_;
    int line_ = 0;
    // Positions of this reading's current records; kNone until one exists.
    static constexpr size_t kNone = static_cast<size_t>(-1);
    size_t user_ = kNone, group_ = kNone, file_type_ = kNone;
    bool have_dir_ = false, have_file_ = false;
    size_t drive_ = 0, guard_ = 0;
};

}  // namespace

void read_admin_text(std::string_view ansi_text, AdminData& data, const AdminReadContext& ctx) {
    data.guards.fill(CommandGuard{});
    data.drives.fill(0);
    data.file_types.clear();
    data.directories.clear();
    data.protected_files.clear();
    data.warnings.clear();
    if (!ctx.log_file.empty()) data.log_path = ctx.log_file;

    Reader reader(data, ctx);
    int number = 0;
    for_each_line(ansi_text, [&](std::string_view line) { reader.line(line, ++number); });

    if (data.settings.monthly_logs) data.log_path = monthly_log_path(data.log_path, date_of(ctx.today).month);
}

std::string admin_warning_text(const std::vector<AdminWarning>& warnings) {
    if (warnings.empty()) return {};
    std::string text = "The administration file was read with care:";
    for (const AdminWarning& w : warnings)
        text += "\n" + (w.line > 0 ? "Line " + std::to_string(w.line) + ": " : std::string()) + w.text;
    return text;
}

std::string admin_file_path(std::string_view admin_dir) {
    return join_path(admin_dir, kAdminFileName);
}

std::string monthly_log_path(std::string_view log_path, int month) {
    static constexpr std::array<std::string_view, 12> kNames = {
        "VXJan.Log",  "VXFeb.Log",    "VXMarch.Log", "VXApril.Log", "VXMay.Log", "VXJune.Log",
        "VXJuly.Log", "VXAugust.Log", "VXSept.Log",  "VXOct.Log",   "VXNov.Log", "VXDec.Log"};
    if (month < 1 || month > 12) return std::string(log_path);
    return join_path(dir_of(log_path), kNames[static_cast<size_t>(month - 1)]);
}

}  // namespace vx::security
