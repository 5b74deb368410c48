// Typed locations are the user's only way to name a path on a locked-down station. Input:
// "typed\ncurrent\nrestricted list". Checks that whatever is accepted is canonical, stays
// accepted when checked again, and is allowed by the restrictions; and that every entry of the
// list, however it is written, reads as a pattern that reads as itself and restricts something.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/location.h"

namespace {

struct Everything : vx::dialogs::FileSystem {
    // Every path with a dot in its last part is a file, everything else a directory, and
    // "LINK" anywhere leads to the first restricted entry.
    std::string link_target;
    Kind kind(const std::string& path) override {
        if (path.find("MISSING") != std::string::npos) return Kind::kMissing;
        const auto last = path.substr(path.rfind('\\') + 1);
        return last.find('.') != std::string::npos ? Kind::kFile : Kind::kDirectory;
    }
    std::optional<std::string> real_path(const std::string& path) override {
        if (path.find("LINK") != std::string::npos && !link_target.empty()) return link_target;
        return path;
    }
    bool is_drive(char letter) override { return letter != 'Q'; }
};

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3];
    for (auto& part : parts) {
        const size_t end = input.find('\n');
        part = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    }
    for (std::string_view entry : {parts[0], parts[2]}) {
        const auto reading = vx::dialogs::read_restricted_entry(entry);
        check(vx::dialogs::read_restricted_entry(reading.pattern).pattern == reading.pattern);
        check(reading.pattern.find('|') == std::string::npos);
        const vx::dialogs::Restrictions one(vx::dialogs::DriveTable{}, reading.pattern + "|");
        check(one.restricted() == std::vector<std::string>{reading.pattern});
    }
    vx::dialogs::DriveTable drives{};
    drives[3] = 1;  // D: closed
    vx::dialogs::Restrictions rules(drives, parts[2]);
    Everything fs;
    if (!rules.restricted().empty()) fs.link_target = rules.restricted().front();

    for (std::string_view base : {std::string_view{}, parts[1]}) {
        if (const auto path = vx::dialogs::canonical_path(parts[0], base)) {
            check(path->size() >= 3 && (*path)[0] >= 'A' && (*path)[0] <= 'Z' && path->substr(1, 2) == ":\\");
            check(vx::dialogs::canonical_path(*path) == path);
            check(path->find("\\\\") == std::string::npos && path->find("\\..\\") == std::string::npos);
        }
    }
    const auto location = vx::dialogs::resolve_location(parts[0], parts[1], rules, fs);
    if (location.status != vx::dialogs::Location::Status::kRefused) check(rules.allows(location.directory));
    (void)vx::dialogs::start_directory(parts[0], parts[1], rules, fs);
    return 0;
}
