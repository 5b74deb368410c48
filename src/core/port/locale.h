#pragma once
// The system's short date and long time formats. Stored files (desktop file, administration
// file) hold dates and times as text in these formats, so reading and writing them goes
// through this port. The formats are pictures in the system's picture language; PictureLocale
// writes and reads any such picture, the Windows adapter hands it the station's own pictures.
// Where the system's formats are not available (native builds, vxtool on Linux)
// UsEnglishLocale stands in.
#include <array>
#include <string>
#include <string_view>
#include <utility>

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

// A locale's pictures and the words they may show, UTF-8.
//
// Date pictures: d dd (day), ddd dddd (day name), M MM (month), MMM MMMM (month name),
// y yy (year without century), yyyy (full year), g gg (era). Time pictures: h hh (12-hour),
// H HH (24-hour), m mm, s ss, t tt (the designator's first character, or all of it). Text in
// single quotes is shown as it stands ('' within it is one quote); other characters are
// separators.
struct LocalePictures {
    std::string short_date = "M/d/yyyy";
    std::string long_time = "h:mm:ss tt";
    std::string am = "AM";
    std::string pm = "PM";
    std::array<std::string, 12> months = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    std::array<std::string, 12> short_months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // The forms a month takes beside a day number ("31. Dezember"), as the system shows them in
    // a picture that holds d or dd; many languages have none of their own.
    std::array<std::string, 12> day_months = months;
    std::array<std::string, 12> day_short_months = short_months;
    // Sunday first, as day_of_week counts.
    std::array<std::string, 7> days = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    std::array<std::string, 7> short_days = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
};

// `dt` shown through a date or time picture (or one that holds both).
std::string format_picture(std::string_view picture, DateTime dt, const LocalePictures& words);

// Writes and reads through its pictures. Reading is as forgiving as a person typing would
// expect and no more: a day or month of one digit where the picture has two, a year of two
// digits (taken as the system takes them: below 50 is this century), the seconds left out, a
// time of day without its designator read as 24-hour, blanks wherever the picture has blanks.
// The separators must be the picture's, and the order its order: "01/02/2027" is never read
// in another order than the station's.
class PictureLocale : public Locale {
public:
    explicit PictureLocale(LocalePictures pictures = {}) : pictures_(std::move(pictures)) {}

    std::string format_date(DateTime dt) const override;
    std::string format_time(DateTime dt) const override;
    bool parse_datetime(std::string_view text, DateTime& out) const override;

    const LocalePictures& pictures() const { return pictures_; }

private:
    LocalePictures pictures_;
};

// Short date M/d/yyyy, long time h:mm:ss tt.
class UsEnglishLocale final : public PictureLocale {
public:
    UsEnglishLocale() = default;
};

}  // namespace vx
