// The locked browser window asks this rule about every address a page or a server names. Its
// first line is the button's address, the rest the target. Whatever the text, the rule must
// not fail, must allow its own address, and "the same address" must hold both ways.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/browser_rule.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t line_end = text.find('\n');
    const std::string_view address = text.substr(0, line_end);
    const std::string_view target =
        line_end == std::string_view::npos ? std::string_view() : text.substr(line_end + 1);

    const vx::shell::BrowserRule rule(address);
    if (rule.valid()) {
        check(rule.allows(rule.address()));
        const std::string elsewhere = rule.address() + "#elsewhere";
        check(rule.allows(elsewhere) == (elsewhere.size() <= vx::shell::kMaxUrlLength));
    }
    if (const auto url = vx::shell::parse_url(target)) {
        check(url->scheme == "http" || url->scheme == "https");
        check(url->port >= 1 && url->port <= 65535);
        check(!url->host.empty() && !url->path.empty() && url->path.front() == '/');
        for (unsigned char c : url->host) check(!(c >= 'A' && c <= 'Z') && c != '%' && c != '@');
    }
    if (rule.allows(target)) {
        for (unsigned char c : target) check(c > 0x20 && c != 0x7F && c != '\\');
        const vx::shell::BrowserRule back(target);
        check(back.valid() && back.allows(rule.address()));
    }
    return 0;
}
