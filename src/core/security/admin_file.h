#pragma once
// Reading the administration file ADMAN.ADM: lines of a key (up to and including the first
// "=", compared exactly) and a value. The file is stored enciphered with the administration
// key and is plain only while it is read.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "security/admin_data.h"

namespace vx {
class HooksApi;
class Locale;
class TextCodec;
}  // namespace vx

namespace vx::security {

inline constexpr std::string_view kAdminFileName = "ADMAN.ADM";

// A number or date in the file that does not read. what() is the message the user sees.
class AdminFileError : public std::runtime_error {
public:
    AdminFileError(const std::string& message, int line) : std::runtime_error(message), line_(line) {}
    // 1-based line of the file that held the value.
    int line() const { return line_; }

private:
    int line_;
};

struct AdminReadContext {
    const Locale& locale;    // dates and times of the user records
    const TextCodec& codec;  // the file is ANSI text
    HooksApi& hooks;         // armed by the settings line
    DateTime today;          // picks the monthly log name
    // The main window's encryption mark, which the settings line sets; may be null.
    int* encryption_mark = nullptr;
    // The registry's LogFile setting. Each reading starts the usage log path from it (so a
    // monthly name keeps its folder); empty: from the path already in the data.
    std::string log_file = {};
    // The station's environment variables, for the notes on restricted directories that use
    // them; empty: none is known.
    std::function<std::optional<std::string>(std::string_view name)> environment = {};
};

// One reading of the plain file text into `data`. Each reading starts with fresh command
// guards, drive levels and file-type, directory and protected-file lists and warnings; settings
// lines replace the settings; groups and users already known by name are kept, and the keys that
// follow such a name change the existing record. A restricted directory that is not a plain full
// path is kept as written and warned about (the selectors read it with care). Throws
// AdminFileError at a value that does not convert; what was read before that line stays in
// `data`.
void read_admin_text(std::string_view ansi_text, AdminData& data, const AdminReadContext& ctx);

// The whole load: reset the guards; if the file exists, decipher it in memory and read it. The
// file is not written: it never lies plain on disk while it is read, and a read-only folder (a
// shared network folder) serves as well as any. A file found plain is enciphered after the
// reading, as the shell always leaves it (also when the reading fails); when that cannot be done
// the reading stands and a warning says so. `encryption_mark` is the main window's mark: taken
// from the trailer, then from the settings line. False when there is no file; FileError when
// it cannot be read.
bool load_admin_file(const std::string& path, AdminData& data, const AdminReadContext& ctx,
                     int& encryption_mark);

// The warnings of a reading as one message for the user; empty when there are none.
std::string admin_warning_text(const std::vector<AdminWarning>& warnings);

// The administration directory joined with "ADMAN.ADM".
std::string admin_file_path(std::string_view admin_dir);
// The log path with its file name replaced by the name for `month` (1 .. 12).
std::string monthly_log_path(std::string_view log_path, int month);

}  // namespace vx::security
