#pragma once
// An integer as a person types one into an edit or a setting holds one: blanks around it, an
// optional sign, decimal digits and nothing else.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vx {

inline std::optional<int32_t> read_int(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty() || s.front() == '+') return std::nullopt;
    int32_t v = 0;
    const auto [at, error] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (error != std::errc() || at != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace vx
