#include "shell/browser_rule.h"

#include <cstdint>

namespace vx::shell {
namespace {

bool is_alpha(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool is_digit(unsigned char c) {
    return c >= '0' && c <= '9';
}
char lower(unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}

int hex_value(unsigned char c) {
    if (is_digit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool unreserved(unsigned char c) {
    return is_alpha(c) || is_digit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// Characters with no reserved meaning that a browser sends escaped; escaping them here makes
// the typed and the sent spelling the same.
bool escaped_when_sent(unsigned char c) {
    return c >= 0x80 || c == '"' || c == '<' || c == '>' || c == '`' || c == '{' || c == '}' || c == '|' ||
           c == '^';
}

void append_escape(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

// One spelling of a path or query: escapes of unreserved characters decoded, every other escape
// in capitals. Nullopt for a '%' not followed by two hex digits.
std::optional<std::string> normalise(std::string_view part) {
    std::string out;
    out.reserve(part.size());
    for (size_t i = 0; i < part.size(); ++i) {
        const auto c = static_cast<unsigned char>(part[i]);
        if (c == '%') {
            if (i + 2 >= part.size()) return std::nullopt;
            const int hi = hex_value(static_cast<unsigned char>(part[i + 1]));
            const int lo = hex_value(static_cast<unsigned char>(part[i + 2]));
            if (hi < 0 || lo < 0) return std::nullopt;
            const auto decoded = static_cast<unsigned char>(hi * 16 + lo);
            if (unreserved(decoded))
                out += static_cast<char>(decoded);
            else
                append_escape(out, decoded);
            i += 2;
        } else if (escaped_when_sent(c)) {
            append_escape(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Dot-separated labels of letters, digits, '-' and '_', or a bracketed IPv6 literal; folded to
// small letters, one trailing dot dropped.
std::optional<std::string> parse_host(std::string_view host) {
    std::string out;
    if (!host.empty() && host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') return std::nullopt;
        for (unsigned char c : host.substr(1, host.size() - 2))
            if (hex_value(c) < 0 && c != ':' && c != '.') return std::nullopt;
        for (unsigned char c : host) out += lower(c);
        return out;
    }
    if (!host.empty() && host.back() == '.') host.remove_suffix(1);
    if (host.empty()) return std::nullopt;
    bool label_start = true;
    for (unsigned char c : host) {
        if (c == '.') {
            if (label_start) return std::nullopt;  // an empty label
            label_start = true;
        } else if (is_alpha(c) || is_digit(c) || c == '-' || c == '_') {
            label_start = false;
        } else {
            return std::nullopt;
        }
        out += lower(c);
    }
    if (label_start) return std::nullopt;
    return out;
}

// An empty port is the scheme's; otherwise 1 to 65535 in at most five digits.
std::optional<int> parse_port(std::string_view text, int default_port) {
    if (text.empty()) return default_port;
    if (text.size() > 5) return std::nullopt;
    int port = 0;
    for (unsigned char c : text) {
        if (!is_digit(c)) return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

// The scheme token in front of the first ':' ("" when the text does not start with one).
std::string_view scheme_token(std::string_view text) {
    if (text.empty() || !is_alpha(static_cast<unsigned char>(text[0]))) return {};
    for (size_t i = 1; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ':') return text.substr(0, i);
        if (!is_alpha(c) && !is_digit(c) && c != '+' && c != '-' && c != '.') return {};
    }
    return {};
}

// "host:8080/..." looks like a scheme followed by its data; a digit after the ':' says it is a
// host and port.
bool has_scheme(std::string_view address) {
    const std::string_view scheme = scheme_token(address);
    if (scheme.empty()) return false;
    const std::string_view rest = address.substr(scheme.size() + 1);
    return rest.empty() || !is_digit(static_cast<unsigned char>(rest[0]));
}

}  // namespace

std::optional<Url> parse_url(std::string_view text) {
    if (text.size() > kMaxUrlLength) return std::nullopt;
    for (unsigned char c : text)
        if (c <= 0x20 || c == 0x7F || c == '\\') return std::nullopt;

    const std::string_view scheme = scheme_token(text);
    if (scheme.empty()) return std::nullopt;
    Url url;
    for (unsigned char c : scheme) url.scheme += lower(c);
    int default_port = 0;
    if (url.scheme == "http")
        default_port = 80;
    else if (url.scheme == "https")
        default_port = 443;
    else
        return std::nullopt;
    std::string_view rest = text.substr(scheme.size() + 1);
    if (rest.substr(0, 2) != "//") return std::nullopt;
    rest.remove_prefix(2);

    const size_t authority_end = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, authority_end);
    rest = authority_end == std::string_view::npos ? std::string_view() : rest.substr(authority_end);

    if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
        url.has_userinfo = true;
        url.userinfo = std::string(authority.substr(0, at));
        authority.remove_prefix(at + 1);
    }
    std::string_view host = authority, port;
    const size_t bracket = authority.rfind(']');
    const size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
    }
    auto parsed_host = parse_host(host);
    auto parsed_port = parse_port(port, default_port);
    if (!parsed_host || !parsed_port) return std::nullopt;
    url.host = std::move(*parsed_host);
    url.port = *parsed_port;

    const size_t hash = rest.find('#');
    if (hash != std::string_view::npos) {
        url.has_fragment = true;
        url.fragment = std::string(rest.substr(hash + 1));
        rest = rest.substr(0, hash);
    }
    const size_t question = rest.find('?');
    std::optional<std::string> query;
    if (question != std::string_view::npos) {
        url.has_query = true;
        query = normalise(rest.substr(question + 1));
        if (!query) return std::nullopt;
        url.query = std::move(*query);
        rest = rest.substr(0, question);
    }
    auto path = normalise(rest);
    if (!path) return std::nullopt;
    url.path = path->empty() ? "/" : std::move(*path);
    return url;
}

BrowserRule::BrowserRule(std::string_view address) {
    text_ = has_scheme(address) ? std::string(address) : "http://" + std::string(address);
    address_ = parse_url(text_);
    if (address_ && address_->has_userinfo) address_.reset();
}

bool BrowserRule::allows(std::string_view url) const {
    if (!address_) return false;
    const auto target = parse_url(url);
    if (!target || target->has_userinfo) return false;
    const Url& a = *address_;
    return target->scheme == a.scheme && target->host == a.host && target->port == a.port &&
           target->path == a.path && target->has_query == a.has_query && target->query == a.query;
}

}  // namespace vx::shell
