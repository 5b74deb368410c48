// vxtool admin: reads an administration file through the shell's own reader and shows what the
// shell would take from it. The reader enciphers a plain file in place, so it works on a copy
// in a folder of its own and the file given stays exactly as it was.
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <random>
#include <stdexcept>

#include "port/clock.h"
#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/text_codec.h"
#include "security/admin_file.h"
#include "tool/command.h"
#include "tool/scratch_copy.h"
#include "util/file_io.h"

#ifdef _WIN32
#include "win/dialogs/win_file_system.h"
#endif

namespace vx::tool {
namespace {

using security::AdminData;

constexpr const char* kUsage =
    "vxtool admin check FILE [--json] [--date DATE] [--log-file PATH]\n"
    "    reads an administration file as the shell does; DATE (YYYY-MM-DD or the station's short\n"
    "    date) picks the month of the monthly log; entries read with care are reported";

std::string group_names(const AdminData& d, const security::User& u) {
    std::string out;
    for (size_t g : u.groups) out += (out.empty() ? "" : ", ") + d.groups[g].name;
    return out;
}

// Dates for scripts, whatever the station's formats.
std::string iso(DateTime dt) {
    static const PictureLocale kIso(LocalePictures{"yyyy-MM-dd", "HH:mm:ss"});
    return kIso.format_date(dt) + "T" + kIso.format_time(dt);
}

nlohmann::json to_json(const AdminData& d, const Locale& locale) {
    using nlohmann::json;
    const auto& s = d.settings;
    json j;
    j["security"] = {
        s.idle_lock_on,        s.idle_lock_time, s.usage_log_on, s.encryption_mark, s.validate_users,
        s.disable_system_keys, s.monthly_logs,   s.exit_time_on, s.exit_logs_off,   s.exit_time};
    j["groups"] = json::array();
    for (const auto& g : d.groups)
        j["groups"].push_back({{"name", g.name}, {"level", g.level}, {"access", g.access_lower}});
    j["users"] = json::array();
    for (size_t i : d.users_in_list_order()) {
        const auto& u = d.users[i];
        json groups = json::array();
        for (size_t g : u.groups) groups.push_back(d.groups[g].name);
        j["users"].push_back({{"name", u.name},
                              {"actual", u.actual},
                              {"password", u.password},
                              {"groups", groups},
                              {"start", locale.format_time(u.start)},
                              {"end", locale.format_time(u.end)},
                              {"expiry", locale.format_datetime(u.expiry)},
                              {"iso", {{"start", iso(u.start)}, {"end", iso(u.end)}, {"expiry", iso(u.expiry)}}},
                              {"launchDay", u.launch_days}});
    }
    j["guards"] = json::array();
    for (const auto& g : d.guards)
        j["guards"].push_back({{"password", g.password}, {"level", g.level}, {"visible", g.visible}});
    j["fileTypes"] = json::array();
    for (const auto& f : d.file_types) j["fileTypes"].push_back({{"ext", f.name}, {"level", f.level}});
    j["drives"] = d.drives;
    j["directories"] = json::array();
    for (const auto& r : d.directories) j["directories"].push_back({{"path", r.name}, {"level", r.level}});
    j["protectedFiles"] = json::array();
    for (const auto& r : d.protected_files)
        j["protectedFiles"].push_back({{"path", r.name}, {"level", r.level}});
    j["encryptionKey"] = d.encryption_key;
    j["logPath"] = d.log_path;
    j["warnings"] = json::array();
    for (const auto& w : d.warnings) j["warnings"].push_back({{"line", w.line}, {"text", w.text}});
    return j;
}

void print_text(const AdminData& d, const Locale& locale, std::ostream& out) {
    const auto& s = d.settings;
    out << "Settings:\n"
        << "  idle lock " << int(s.idle_lock_on) << ", time " << s.idle_lock_time << "\n"
        << "  usage log " << int(s.usage_log_on) << ", monthly " << int(s.monthly_logs) << ", path "
        << d.log_path << "\n"
        << "  encryption mark " << s.encryption_mark << ", key \"" << d.encryption_key << "\"\n"
        << "  validate users " << int(s.validate_users) << ", disable system keys "
        << int(s.disable_system_keys) << "\n"
        << "  exit time " << int(s.exit_time_on) << ", time " << s.exit_time << ", logs off "
        << int(s.exit_logs_off) << "\n";
    out << "Groups (" << d.groups.size() << "):\n";
    for (size_t i = 0; i < d.groups.size(); ++i)
        out << "  " << i << ": " << d.groups[i].name << ", level " << d.groups[i].level << ", access lower "
            << int(d.groups[i].access_lower) << "\n";
    out << "Users (" << d.users.size() << ", in list order):\n";
    for (size_t i : d.users_in_list_order()) {
        const auto& u = d.users[i];
        out << "  " << u.name << " (" << u.actual << "), password \"" << u.password << "\", groups ["
            << group_names(d, u) << "], " << locale.format_time(u.start) << " to "
            << locale.format_time(u.end) << ", launch days " << u.launch_days << ", expiry "
            << locale.format_datetime(u.expiry)
            << ((u.launch_days & security::kExpiryInForce) ? " (in force)" : " (not in force)") << "\n";
    }
    out << "Command guards:\n";
    for (size_t i = 0; i < d.guards.size(); ++i)
        out << "  " << i << ": password \"" << d.guards[i].password << "\", level " << d.guards[i].level
            << ", visible " << int(d.guards[i].visible) << "\n";
    out << "File types:";
    for (const auto& f : d.file_types) out << " " << f.name << "=" << f.level;
    out << "\nDrives:";
    for (size_t i = 0; i < d.drives.size(); ++i) out << " " << char('A' + i) << "=" << d.drives[i];
    out << "\nDirectories (" << d.directories.size() << "):\n";
    for (const auto& r : d.directories) out << "  " << r.name << ", level " << r.level << "\n";
    out << "Protected files (" << d.protected_files.size() << "):\n";
    for (const auto& r : d.protected_files) out << "  " << r.name << ", level " << r.level << "\n";
    if (!d.warnings.empty()) {
        out << "Read with care (" << d.warnings.size() << "):\n";
        for (const auto& w : d.warnings) out << "  line " << w.line << ": " << w.text << "\n";
    }
}

int admin_command(const Args& argv, std::ostream& out, std::ostream& err) {
    Args args = argv;
    const bool json = take_flag(args, "--json");
    std::string date_text, log_file;
    take_option(args, "--date", date_text);
    take_option(args, "--log-file", log_file);
    if (args.size() != 2 || args[0] != "check") {
        err << "usage: " << kUsage << "\n";
        return 2;
    }
    const std::string& file = args[1];
    if (!file_exists(file)) {
        err << "vxtool admin: " << file << ": no such file\n";
        return 1;
    }

    const Locale& locale = tool_locale();
    const Windows1252Codec codec;
    NoHooks hooks;
    DateTime today = SystemClock().now();
    static const PictureLocale kIsoDate(LocalePictures{"yyyy-MM-dd", "HH:mm:ss"});
    if (!date_text.empty() && !kIsoDate.parse_datetime(date_text, today) &&
        !locale.parse_datetime(date_text, today)) {
        err << "vxtool admin: '" << date_text << "' is not a valid date\n";
        return 2;
    }

    AdminData data;
    // Where the shell would start: the log file beside the administration file.
    data.log_path = log_file.empty() ? join_path(dir_of(file), "VX.LOG") : log_file;
    const ScratchCopy scratch(file, "ADMAN.ADM");
    const std::string& copy = scratch.path();
    int mark = 0;
    security::AdminReadContext ctx{locale, codec, hooks, today};
#ifdef _WIN32
    ctx.environment = win::system_environment();
#endif
    try {
        security::load_admin_file(copy, data, ctx, mark);
    } catch (const security::AdminFileError& e) {
        err << "vxtool admin: " << e.what() << " (line " << e.line() << ")\n";
        return 1;
    }
    for (const auto& w : data.warnings) err << "vxtool admin: line " << w.line << ": " << w.text << "\n";
    if (json)
        out << to_json(data, locale).dump(2) << "\n";
    else
        print_text(data, locale, out);
    return 0;
}

const Registration reg{{"admin", kUsage, admin_command}};

}  // namespace
}  // namespace vx::tool
