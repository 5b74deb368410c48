#pragma once
// Recording fakes of the ports the administration file and the log-in talk to.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/session_api.h"
#include "port/text_codec.h"
#include "security/admin_file.h"
#include "security/login.h"
#include "unit/port_fakes.h"

namespace vx::security::testing {

using vx::testing::FakeHooks;
using vx::testing::FakePrompter;
using vx::testing::FakeSession;

struct FakeDde : DdeItem {
    std::string text;
    void set_text(const std::string& t) override { text = t; }
};

struct FakeDirs : DirectoryAttributes {
    std::vector<std::string> calls;
    void set_hidden(const std::string& path, bool hidden) override {
        calls.push_back(path + (hidden ? " hidden" : " shown"));
    }
};

// An administration file's text read the way the shell reads it.
inline AdminData admin_from(std::string_view text) {
    static const UsEnglishLocale locale;
    static const Windows1252Codec codec;
    FakeHooks hooks;
    AdminData d;
    read_admin_text(text, d, AdminReadContext{locale, codec, hooks, make_datetime({2026, 1, 1})});
    return d;
}

}  // namespace vx::security::testing
