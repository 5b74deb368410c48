#pragma once
// The Locale port on the station's own formats: the user's short date and long time pictures,
// designators and names from the system, written by the system's date and time functions and
// read back by the core's reader of the same pictures.
#include <windows.h>

#include <string>

#include "port/locale.h"

namespace vx::win {

// A day count as the system's time structure (weekday included).
SYSTEMTIME to_systemtime(DateTime dt);

// The pictures and words of a locale by name ("de-DE"); empty: the user's own, with the
// changes made in the regional settings.
LocalePictures system_pictures(const std::wstring& locale_name = {});

class SystemLocale final : public PictureLocale {
public:
    explicit SystemLocale(std::wstring locale_name = {});

    // The system's text, unless it would not read back as the same day or time (a calendar
    // other than the Gregorian one, a part the reader does not know): then the core's own
    // text of the same picture, which always does.
    std::string format_date(DateTime dt) const override;
    std::string format_time(DateTime dt) const override;

private:
    std::wstring name_;
};

}  // namespace vx::win
