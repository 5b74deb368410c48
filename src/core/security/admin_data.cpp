#include "security/admin_data.h"

#include "port/text_codec.h"

namespace vx::security {

namespace {

char32_t upper_of(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    switch (c) {
        case 0xFF:
            return 0x178;
        case 0x161:
            return 0x160;
        case 0x153:
            return 0x152;
        case 0x17E:
            return 0x17D;
        default:
            return c;
    }
}

}  // namespace

std::string ansi_upper(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[pos]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c));
            ++pos;
            continue;
        }
        append_utf8(out, upper_of(next_utf8(utf8, pos)));
    }
    return out;
}

bool same_without_case(std::string_view a, std::string_view b) {
    return ansi_upper(a) == ansi_upper(b);
}

std::vector<size_t> AdminData::users_in_list_order() const {
    std::vector<size_t> order;
    order.reserve(users.size());
    for (size_t i = users.size(); i-- > 0;) order.push_back(i);
    return order;
}

std::optional<size_t> AdminData::find_user(std::string_view name) const {
    const std::string wanted = ansi_upper(name);
    for (size_t i = users.size(); i-- > 0;)
        if (ansi_upper(users[i].name) == wanted) return i;
    return std::nullopt;
}

std::optional<size_t> AdminData::find_group(std::string_view name) const {
    const std::string wanted = ansi_upper(name);
    for (size_t i = 0; i < groups.size(); ++i)
        if (ansi_upper(groups[i].name) == wanted) return i;
    return std::nullopt;
}

}  // namespace vx::security
