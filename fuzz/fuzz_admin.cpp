// The administration file reader on any bytes, plain or enciphered, read twice into the same
// data as the shell does at a second activation, then the rules that walk what was read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "port/hooks_api.h"
#include "port/locale.h"
#include "port/text_codec.h"
#include "security/access.h"
#include "security/admin_file.h"
#include "security/file_cipher.h"
#include "security/login.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::security;
    static const vx::UsEnglishLocale locale;
    static const vx::Windows1252Codec codec;
    vx::NoHooks hooks;

    vx::Bytes bytes(data, data + size);
    int mark = 0;
    if (has_cipher_trailer(bytes)) bytes = cipher_bytes(bytes, kAdminKey, CipherDirection::Decipher, mark);
    const std::string text(bytes.begin(), bytes.end());

    AdminData d;
    d.log_path = "C:\\VX\\VX.LOG";
    const AdminReadContext ctx{locale, codec, hooks, vx::make_datetime({2026, 3, 1}, {9, 30, 0}), &mark};
    for (int pass = 0; pass < 2; ++pass) {
        try {
            read_admin_text(text, d, ctx);
        } catch (const AdminFileError&) {
        }
    }

    if (!d.users.empty()) {
        const User& u = d.users.back();
        check_login(d, u.name, u.password, ctx.today);
        if (!d.logged_in) d.logged_in = d.users.size() - 1;
        apply_user_guards(d);
        password_matches(d, u.password, d.guards[kGuardNew].password);
        access_rule(d, d.guards[kGuardRun].level, true);
        week_of_month(u.expiry);
    }
    return 0;
}
