#pragma once
// A label's accelerator: the letter its "&" underlines. Typing it (Alt+letter) acts on the
// label's focus control, so the letter matched must be the one the paint underlines.
#include <string_view>

namespace vx::objects {

// The first character after a single "&" ("&&" is a literal "&" and is skipped), as a code
// point; 0 when the text has none (no "&", only "&&", or a trailing "&").
char32_t label_accel_char(std::string_view utf8_text);

// Whether `key` types the text's accelerator, ignoring case.
bool label_accel_matches(std::string_view utf8_text, char32_t key);

}  // namespace vx::objects
