// vxtool log: the usage log as the viewer lists it, for administrators without the shell.
#include <cstdio>
#include <ostream>

#include "port/locale.h"
#include "port/text_codec.h"
#include "security/usage_log.h"
#include "security/usage_log_view.h"
#include "tool/command.h"
#include "util/file_io.h"

namespace vx::tool {
namespace {

using security::UsageSort;

constexpr const char* kUsage =
    "vxtool log dump FILE [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--user NAME]\n"
    "       [--program FILTER] [--sort date|program|user] [--csv]\n"
    "    lists the usage log's records as the log viewer does: the six columns joined by \"|\"\n"
    "    and the total line; without --from/--to every record. FILTER \"*text\" matches text\n"
    "    anywhere in the program name, else a prefix, without regard to case; --user ALL or an\n"
    "    exact user name. --csv: one record per line (start,end,program,user,minutes), dates\n"
    "    as YYYY-MM-DD HH:MM:SS, end empty while running.";

bool parse_iso_date(const std::string& text, DateTime& out) {
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
    if (!valid_date(y, m, d)) return false;
    out = make_datetime(CivilDate{y, m, d});
    return true;
}

std::string iso_datetime(DateTime dt) {
    const CivilDate d = date_of(dt);
    const CivilTime t = time_of(dt);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, t.hour, t.minute,
                  t.second);
    return buf;
}

std::string csv_field(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

int usage_error(std::ostream& err, const std::string& message) {
    err << "vxtool log: " << message << "\nusage: " << kUsage << '\n';
    return 2;
}

int dump(Args args, std::ostream& out, std::ostream& err) {
    security::UsageQuery query;
    std::string value;
    if (take_option(args, "--from", value)) {
        DateTime d = 0;
        if (!parse_iso_date(value, d))
            return usage_error(err, "--from wants a date YYYY-MM-DD, not '" + value + "'");
        query.first_day = d;
    }
    if (take_option(args, "--to", value)) {
        DateTime d = 0;
        if (!parse_iso_date(value, d))
            return usage_error(err, "--to wants a date YYYY-MM-DD, not '" + value + "'");
        query.last_day = d;
    }
    if (take_option(args, "--user", value)) query.user = value;
    if (take_option(args, "--program", value)) query.program_filter = value;
    if (take_option(args, "--sort", value)) {
        if (value == "date")
            query.sort = UsageSort::ByDate;
        else if (value == "program")
            query.sort = UsageSort::ByProgram;
        else if (value == "user")
            query.sort = UsageSort::ByUser;
        else
            return usage_error(err, "--sort wants date, program or user, not '" + value + "'");
    }
    const bool csv = take_flag(args, "--csv");
    if (args.size() != 1)
        return usage_error(err, args.empty() ? "no log file given" : "unexpected '" + args[1] + "'");
    if (args[0].starts_with("--")) return usage_error(err, "unknown option '" + args[0] + "'");
    const std::string& path = args[0];
    if (!file_exists(path)) throw FileError("Cannot open " + path);

    const Windows1252Codec codec;
    security::UsageLogSummary summary;
    const security::UsageView view = security::load_usage_view(path, codec, {}, true, query, &summary);

    if (csv) {
        out << "start,end,program,user,minutes\n";
        for (const auto& r : view.rows) {
            const security::HoursMinutes t = security::used_time(r);
            out << iso_datetime(r.start_time) << ','
                << (r.running() ? std::string() : iso_datetime(r.end_time)) << ',' << csv_field(r.program)
                << ',' << csv_field(r.user) << ',' << t.hours * 60 + t.minutes << '\n';
        }
    } else {
        const Locale& locale = tool_locale();
        for (const auto& r : view.rows) out << security::usage_row_text(r, locale) << '\n';
        out << security::usage_total_text(view.total) << '\n';
    }

    if (summary.trailing_bytes)
        err << "vxtool log: " << path << " ends with " << summary.trailing_bytes
            << " bytes that do not make a whole record; they were not read\n";
    if (view.damaged)
        err << "vxtool log: " << view.damaged << " damaged record(s) with impossible dates were left out\n";
    return 0;
}

int handle(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help") {
        (args.empty() ? err : out) << "usage: " << kUsage << '\n';
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "dump") return dump(Args(args.begin() + 1, args.end()), out, err);
    return usage_error(err, "unknown subcommand '" + args[0] + "'");
}

const Registration reg{{"log", kUsage, handle}};

}  // namespace
}  // namespace vx::tool
