#include "objects/label_accel.h"

namespace vx::objects {

namespace {

// Decodes the code point at `i`; a broken sequence yields its first byte as is, so damaged
// text still gives a stable (if odd) accelerator rather than running past the end.
char32_t decode_at(std::string_view s, size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b0 < 0x80) return b0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        return b0;
    }
    if (i + static_cast<size_t>(extra) >= s.size()) return b0;
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80) return b0;
        cp = (cp << 6) | (b & 0x3F);
    }
    return cp;
}

// Case folding for the letters a keyboard types on the machines this runs on (ASCII and the
// Latin-1 letters); other characters must match exactly.
char32_t fold(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + (U'a' - U'A');
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    return c;
}

}  // namespace

char32_t label_accel_char(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') continue;
        if (i + 1 >= s.size()) return 0;
        if (s[i + 1] == '&') {
            ++i;  // a literal "&"
            continue;
        }
        return decode_at(s, i + 1);
    }
    return 0;
}

bool label_accel_matches(std::string_view s, char32_t key) {
    const char32_t accel = label_accel_char(s);
    return accel != 0 && key != 0 && fold(accel) == fold(key);
}

}  // namespace vx::objects
