#pragma once
// vxtool's subcommands register themselves here; main() only dispatches.
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "port/locale.h"

namespace vx::tool {

// Arguments after the subcommand name, UTF-8.
using Args = std::vector<std::string>;

// Returns the process exit code. Writes results to `out`, messages to `err`.
using Handler = std::function<int(const Args& args, std::ostream& out, std::ostream& err)>;

struct Command {
    std::string name;   // first word on the command line, e.g. "desktop"
    std::string usage;  // one or more lines for --help, each starting with "vxtool "
    Handler handler;
};

// Static registration: `static const vx::tool::Registration reg{{"name", "usage", fn}};`
struct Registration {
    explicit Registration(Command command);
};

const std::vector<Command>& commands();

// Entry point shared by the native and Windows builds.
int run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

// The formats of the dates the files hold: the station's own on Windows, US English
// elsewhere, or those chosen with "--locale" for this run (see locale_help).
const Locale& tool_locale();
// Reads a "--locale" value: "SHORTDATE;LONGTIME[;AM;PM]" pictures ("dd.MM.yyyy;HH:mm:ss"), or
// on Windows a locale name ("de-DE"); "en-US" everywhere. Null, with `error` set, when it is
// neither.
std::unique_ptr<Locale> make_locale(const std::string& value, std::string& error);
extern const char* const kLocaleHelp;

// Small helpers the subcommands share.
// Finds "--name VALUE" in args, removes both and returns VALUE; empty when absent.
bool take_option(Args& args, const std::string& name, std::string& value);
// Finds a bare "--flag" in args and removes it.
bool take_flag(Args& args, const std::string& name);

}  // namespace vx::tool
