#include "security/level.h"

#include <charconv>

namespace vx::security {

std::optional<SecurityLevel> parse_security_level(std::string_view text) {
    SecurityLevel level = -1;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, level);
    if (text.empty() || error != std::errc() || at != end) return std::nullopt;
    if (level < kOpenLevel || level > kAdministratorLevel) return std::nullopt;
    return level;
}

}  // namespace vx::security
