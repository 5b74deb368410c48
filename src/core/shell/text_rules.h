#pragma once
// Small text rules the launcher shares: commands are compared and started in capitals, and
// blanks around a line do not count.
#include <string>
#include <string_view>

namespace vx::shell {

// Capitals of the letters the ANSI code page holds (ASCII and the Latin-1 and Windows-1252
// small letters, in their UTF-8 form); every other byte is kept as it is.
std::string to_upper(std::string_view text);
bool iequals(std::string_view a, std::string_view b);
bool istarts_with(std::string_view text, std::string_view prefix);
bool iends_with(std::string_view text, std::string_view suffix);
// Blanks and control characters at both ends are cut, as a typed or stored line is trimmed.
std::string trim(std::string_view text);
// Replaces every occurrence of `word` (exact, after capitals) with `with`.
std::string replace_all(std::string_view text, std::string_view word, std::string_view with);
// A folder with exactly one trailing backslash (an empty folder stays empty).
std::string with_trailing_backslash(std::string_view dir);

}  // namespace vx::shell
