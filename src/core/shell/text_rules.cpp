#include "shell/text_rules.h"

namespace vx::shell {

std::string to_upper(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 'a' && c <= 'z') {
            out.push_back(static_cast<char>(c - 'a' + 'A'));
            continue;
        }
        if (i + 1 < text.size()) {
            const auto n = static_cast<unsigned char>(text[i + 1]);
            // U+00E0..U+00FE except U+00F7 (division sign) map 0x20 down.
            if (c == 0xC3 && n >= 0xA0 && n <= 0xBE && n != 0xB7) {
                out.push_back(static_cast<char>(c));
                out.push_back(static_cast<char>(n - 0x20));
                ++i;
                continue;
            }
            // U+00FF y with diaeresis has its capital at U+0178.
            if (c == 0xC3 && n == 0xBF) {
                out += "\xC5\xB8";
                ++i;
                continue;
            }
            // s caron, oe ligature and z caron, the other small letters of Windows-1252.
            if (c == 0xC5 && (n == 0xA1 || n == 0x93 || n == 0xBE)) {
                out.push_back(static_cast<char>(c));
                out.push_back(static_cast<char>(n - 1));
                ++i;
                continue;
            }
        }
        out.push_back(static_cast<char>(c));
    }
    return out;
}

bool iequals(std::string_view a, std::string_view b) {
    return to_upper(a) == to_upper(b);
}

bool istarts_with(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && iequals(text.substr(0, prefix.size()), prefix);
}

bool iends_with(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && iequals(text.substr(text.size() - suffix.size()), suffix);
}

std::string trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return std::string(text.substr(b, e - b));
}

std::string replace_all(std::string_view text, std::string_view word, std::string_view with) {
    if (word.empty()) return std::string(text);
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = text.find(word, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(with);
        pos = hit + word.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::string with_trailing_backslash(std::string_view dir) {
    std::string out(dir);
    if (out.empty()) return out;
    while (!out.empty() && (out.back() == '\\' || out.back() == '/')) out.pop_back();
    out.push_back('\\');
    return out;
}

}  // namespace vx::shell
