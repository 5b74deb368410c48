#include "tool/command.h"

#include <algorithm>
#include <ostream>

namespace vx::tool {
namespace {

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
