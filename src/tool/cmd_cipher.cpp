// vxtool encipher / decipher: the file cipher in place, for files the shell keeps enciphered.
#include <charconv>
#include <ostream>

#include "security/file_cipher.h"
#include "tool/command.h"

namespace vx::tool {
namespace {

using security::CipherDirection;

int cipher_command(const char* name, CipherDirection dir, Args args, std::ostream& out, std::ostream& err) {
    std::string key, mark_text;
    const bool desktop = take_flag(args, "--desktop");
    const bool admin = take_flag(args, "--admin");
    const bool custom = take_option(args, "--key", key);
    const bool has_mark = take_option(args, "--mark", mark_text);
    if (args.size() != 1 || int(desktop) + int(admin) + int(custom) != 1) {
        err << "usage: vxtool " << name << " FILE (--desktop | --admin | --key KEY) [--mark N]\n";
        return 2;
    }
    if (desktop) key = security::kDesktopKey;
    if (admin) key = security::kAdminKey;
    int mark = 0;
    if (has_mark) {
        const auto [p, ec] = std::from_chars(mark_text.data(), mark_text.data() + mark_text.size(), mark);
        if (ec != std::errc() || p != mark_text.data() + mark_text.size()) {
            err << "vxtool " << name << ": --mark takes a whole number\n";
            return 2;
        }
    }
    const std::string& path = args[0];
    if (!file_exists(path)) {
        err << "vxtool " << name << ": " << path << " does not exist\n";
        return 1;
    }
    const bool enciphered = security::has_cipher_trailer(read_file(path));
    if (enciphered == (dir == CipherDirection::Encipher)) {
        out << path << " is already " << (enciphered ? "enciphered" : "plain") << "; left as it was\n";
        return 0;
    }
    security::cipher_file(path, key, dir, mark);
    if (dir == CipherDirection::Decipher) out << "encryption mark " << mark << '\n';
    return 0;
}

const Registration encipher_reg{{"encipher",
                                 "vxtool encipher FILE (--desktop | --admin | --key KEY) [--mark N]\n"
                                 "    encipher FILE in place (the mark's first digit goes into the trailer)",
                                 [](const Args& a, std::ostream& out, std::ostream& err) {
                                     return cipher_command("encipher", CipherDirection::Encipher, a, out,
                                                           err);
                                 }}};

const Registration decipher_reg{{"decipher",
                                 "vxtool decipher FILE (--desktop | --admin | --key KEY)\n"
                                 "    decipher FILE in place and print the encryption mark",
                                 [](const Args& a, std::ostream& out, std::ostream& err) {
                                     return cipher_command("decipher", CipherDirection::Decipher, a, out,
                                                           err);
                                 }}};

}  // namespace
}  // namespace vx::tool
