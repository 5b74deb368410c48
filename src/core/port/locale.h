#pragma once
// The system's short date and long time formats. Stored files (desktop file, administration
// file) hold dates and times as text in these formats, so reading and writing them goes
// through this port. Where the system's formats are not available (native builds, vxtool
// on Linux) UsEnglishLocale stands in.
#include <string>
#include <string_view>

#include "util/datetime.h"

namespace vx {

class Locale {
public:
    virtual ~Locale() = default;
    // The date part of dt in the short date format ("12/25/1998").
    virtual std::string format_date(DateTime dt) const = 0;
    // The time part of dt in the long time format ("9:00:00 AM").
    virtual std::string format_time(DateTime dt) const = 0;
    // Reads a date, a time, or a date followed by a time (either part alone is allowed:
    // a lone time gives a value below 1). Surrounding blanks are ignored. False when the
    // text is not a date/time in these formats; `out` is then left unchanged.
    virtual bool parse_datetime(std::string_view text, DateTime& out) const = 0;

    // Date and time joined by a blank; the time is left out at midnight.
    std::string format_datetime(DateTime dt) const;
};

// Short date M/d/yyyy, long time h:mm:ss tt.
class UsEnglishLocale final : public Locale {
public:
    std::string format_date(DateTime dt) const override;
    std::string format_time(DateTime dt) const override;
    bool parse_datetime(std::string_view text, DateTime& out) const override;
};

}  // namespace vx
