#pragma once
// The one address a browser-service button may show, and the test every navigation of the
// locked browser window passes before it happens.
//
// What counts as the same address:
// - scheme: http or https only, case-free, and the same as the button's (no silent upgrade or
//   downgrade). A button's address without a scheme is taken as http.
// - host: compared case-free, with one trailing dot dropped ("host." is "host"). Only ASCII
//   letters, digits, '-' and '_' in dot-separated labels, or an IPv6 literal in brackets;
//   percent signs and any other byte (an international name not yet in its ASCII form) do not
//   parse, so two spellings of one host can never be told apart wrongly.
// - port: the same effective port (80 for http, 443 for https when none is given).
// - userinfo ("user:password@"): never allowed, neither in the address nor in a target, since
//   "http://good@evil/" names the host after the '@'.
// - path: the same, case for case, after percent escapes of unreserved characters are decoded,
//   the hex of every other escape is put in capitals, and characters that have no reserved
//   meaning but are not allowed as they are (non-ASCII bytes, '"', '<', ...) are escaped. An
//   empty path is "/". Dot segments are compared as written (the browser resolves them before
//   it asks, so "/a/../b" is simply another path).
// - query: must match exactly (after the same escape normalisation), including whether there
//   is one at all.
// - fragment: may differ: it only moves within the same document.
// Anything that does not parse is refused: other schemes (file:, javascript:, res:, about:, ...)
// in any case, backslashes (UNC targets, "http:\\"), blanks and control characters anywhere,
// malformed escapes and addresses longer than kMaxUrlLength. A redirect to another address is a
// navigation like any other and is refused.
#include <optional>
#include <string>
#include <string_view>

namespace vx::shell {

// Longer addresses are refused rather than cut.
inline constexpr std::size_t kMaxUrlLength = 2048;

// An absolute http(s) address taken apart, with the comparable forms of its parts.
struct Url {
    std::string scheme;    // in small letters
    std::string userinfo;  // as written, without the '@'
    bool has_userinfo = false;
    std::string host;  // in small letters, trailing dot dropped
    int port = 0;      // the effective port
    std::string path;  // normalised; never empty
    std::string query;
    bool has_query = false;
    std::string fragment;
    bool has_fragment = false;
};

// Parses "scheme://[userinfo@]host[:port][/path][?query][#fragment]" for http and https; any
// other text is nullopt.
std::optional<Url> parse_url(std::string_view text);

class BrowserRule {
public:
    explicit BrowserRule(std::string_view address);

    // False when the address does not name an http(s) page this rule could hold to.
    bool valid() const { return address_.has_value(); }
    bool allows(std::string_view url) const;
    // The address as the window navigates to it ("http://" put in front when it had no scheme).
    const std::string& address() const { return text_; }

private:
    std::string text_;
    std::optional<Url> address_;
};

}  // namespace vx::shell
