#include "tool/command.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#ifdef _WIN32
#include <windows.h>

#include "win/util/system_locale.h"
#include "win/util/text.h"
#endif

namespace vx::tool {
namespace {

// The locale of the run in progress; null: the default.
const Locale*& chosen_locale() {
    static const Locale* chosen = nullptr;
    return chosen;
}

const Locale& default_locale() {
#ifdef _WIN32
    static const win::SystemLocale locale;
#else
    static const UsEnglishLocale locale;
#endif
    return locale;
}

std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

constexpr const char* kVersion = "2.0c";

void print_help(std::ostream& out) {
    out << "vxtool - administrators' tool for Vantora! files\n\n"
           "Usage:\n"
           "  vxtool --help\n"
           "  vxtool --version\n";
    out << "  " << kLocaleHelp << '\n';
    for (const auto& c : commands()) {
        std::string line;
        for (char ch : c.usage) {
            line += ch;
            if (ch == '\n') {
                out << "  " << line;
                line.clear();
            }
        }
        if (!line.empty()) out << "  " << line << '\n';
    }
}

}  // namespace

Registration::Registration(Command command) {
    auto& list = registry();
    list.push_back(std::move(command));
    std::sort(list.begin(), list.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
}

const std::vector<Command>& commands() {
    return registry();
}

const char* const kLocaleHelp =
    "Dates are read and written in the station's formats (US English off Windows); with any\n"
    "  command, --locale \"SHORTDATE;LONGTIME[;AM;PM]\" (\"dd.MM.yyyy;HH:mm:ss\") or, on Windows,\n"
    "  --locale NAME (\"de-DE\") takes others.";

const Locale& tool_locale() {
    return chosen_locale() ? *chosen_locale() : default_locale();
}

std::unique_ptr<Locale> make_locale(const std::string& value, std::string& error) {
    const size_t semi = value.find(';');
    if (semi == std::string::npos) {
        if (value == "en-US") return std::make_unique<UsEnglishLocale>();
#ifdef _WIN32
        const std::wstring name = win::widen(value);
        if (!value.empty() && IsValidLocaleName(name.c_str())) return std::make_unique<win::SystemLocale>(name);
        error = "'" + value + "' is not a locale name this system knows";
#else
        error = "'" + value + "': give the pictures as SHORTDATE;LONGTIME (names are known on Windows only)";
#endif
        return nullptr;
    }
    std::vector<std::string> fields;
    size_t pos = 0;
    while (true) {
        const size_t end = value.find(';', pos);
        fields.push_back(value.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    if (fields.size() != 2 && fields.size() != 4) {
        error = "'" + value + "' is not SHORTDATE;LONGTIME or SHORTDATE;LONGTIME;AM;PM";
        return nullptr;
    }
    LocalePictures p;
    p.short_date = fields[0];
    p.long_time = fields[1];
    if (fields.size() == 4) p.am = fields[2], p.pm = fields[3];
    // A picture that shows no day, month and year (or no hour and minute) could never be read back.
    const PictureLocale probe(p);
    DateTime back = 0;
    const DateTime sample = make_datetime({2027, 12, 31}, {17, 45, 30});
    if (!probe.parse_datetime(probe.format_date(sample) + " " + probe.format_time(sample), back) ||
        std::abs(back - sample) > 1e-7) {
        error = "'" + value + "' does not read back what it writes";
        return nullptr;
    }
    return std::make_unique<PictureLocale>(std::move(p));
}

bool take_option(Args& args, const std::string& name, std::string& value) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == name && it + 1 != args.end()) {
            value = *(it + 1);
            args.erase(it, it + 2);
            return true;
        }
    }
    return false;
}

bool take_flag(Args& args, const std::string& name) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

int run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    if (argv.size() < 2 || argv[1] == "--help" || argv[1] == "-h" || argv[1] == "help") {
        print_help(argv.size() < 2 ? err : out);
        return argv.size() < 2 ? 2 : 0;
    }
    if (argv[1] == "--version") {
        out << "vxtool (Vantora!) version " << kVersion << '\n';
        return 0;
    }
    for (const auto& c : commands()) {
        if (c.name == argv[1]) {
            Args args(argv.begin() + 2, argv.end());
            std::unique_ptr<Locale> locale;
            if (std::string value; take_option(args, "--locale", value)) {
                std::string error;
                locale = make_locale(value, error);
                if (!locale) {
                    err << "vxtool " << c.name << ": --locale " << error << '\n';
                    return 2;
                }
            }
            struct Chosen {
                explicit Chosen(const Locale* l) { chosen_locale() = l; }
                ~Chosen() { chosen_locale() = nullptr; }
            } chosen(locale.get());
            try {
                return c.handler(args, out, err);
            } catch (const std::exception& e) {
                err << "vxtool " << c.name << ": " << e.what() << '\n';
                return 1;
            }
        }
    }
    err << "vxtool: unknown command '" << argv[1] << "' (see vxtool --help)\n";
    return 2;
}

}  // namespace vx::tool
