// Everything here changes files on disk through the file cipher.
#include <exception>
#include <string>
#include <vector>

#include "port/session_api.h"
#include "security/access.h"
#include "security/admin_file.h"
#include "security/file_cipher.h"
#include "security/login.h"
#include "util/file_io.h"

namespace vx::security {

namespace {

// One protected file that cannot be switched must not leave the others as they were: carry on,
// and report every failure once all have been tried.
template <typename F>
std::vector<std::string> for_each_protected(const AdminData& data, F&& f) {
    std::vector<std::string> failures;
    for (const LevelRule& file : data.protected_files) {
        try {
            f(file);
        } catch (const FileError& e) {
            failures.emplace_back(e.what());
        }
    }
    return failures;
}

std::string failure_text(const std::vector<std::string>& failures) {
    std::string text = failures.size() == 1 ? "A protected file could not be switched:"
                                            : "Some protected files could not be switched:";
    for (const auto& f : failures) text += "\n" + f;
    return text;
}

}  // namespace

bool load_admin_file(const std::string& path, AdminData& data, const AdminReadContext& ctx,
                     int& encryption_mark) {
    data.guards.fill(CommandGuard{});
    if (!file_exists(path)) return false;

    const Bytes bytes = read_file(path);
    const bool was_plain = !has_cipher_trailer(bytes);
    const Bytes plain = cipher_bytes(bytes, kAdminKey, CipherDirection::Decipher, encryption_mark);
    AdminReadContext with_mark = ctx;
    with_mark.encryption_mark = &encryption_mark;
    std::exception_ptr failure;
    try {
        read_admin_text(std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size()), data,
                        with_mark);
    } catch (...) {
        failure = std::current_exception();
    }
    if (was_plain) {
        // Plain on disk already: enciphering it can only help, and failing to is no reason to
        // refuse what was read.
        try {
            cipher_file(path, kAdminKey, CipherDirection::Encipher, encryption_mark);
        } catch (const FileError& e) {
            if (!failure) data.warnings.push_back({0, std::string("The administration file is not enciphered "
                                                                  "and could not be: ") + e.what()});
        }
    }
    if (failure) std::rethrow_exception(failure);
    return true;
}

void apply_login_success(const AdminData& data, LoginPorts& ports, int& encryption_mark) {
    // After an unlock the user who logged in first is still the one at the station, whoever
    // typed the password: the station opens no more than that user may see.
    const User* u = data.current_user();
    std::vector<std::string> failures;
    if (u) {
        ports.dde.set_text(u->name);
        for (const LevelRule& dir : data.directories)
            ports.directories.set_hidden(dir.name, !has_level_at_least(data, *u, dir.level));
        failures = for_each_protected(data, [&](const LevelRule& file) {
            cipher_file(
                file.name, data.encryption_key,
                has_level_at_least(data, *u, file.level) ? CipherDirection::Decipher : CipherDirection::Encipher,
                encryption_mark);
        });
    }
    // The keys are the user's again whatever became of the files.
    if (!data.settings.disable_system_keys) ports.session.set_system_keys_locked(false);
    if (!failures.empty()) throw ProtectedFileError(failure_text(failures));
}

void encipher_protected_files(const AdminData& data, int& encryption_mark) {
    const auto failures = for_each_protected(data, [&](const LevelRule& file) {
        cipher_file(file.name, data.encryption_key, CipherDirection::Encipher, encryption_mark);
    });
    if (!failures.empty()) throw ProtectedFileError(failure_text(failures));
}

bool begin_after_admin_load(const AdminData& data, SessionApi& session) {
    if (data.settings.disable_system_keys) session.set_system_keys_locked(true);
    return data.settings.validate_users != 0;
}

void end_of_shell(const AdminData& data, SessionApi& session, int& encryption_mark) {
    std::exception_ptr failure;
    try {
        encipher_protected_files(data, encryption_mark);
    } catch (const FileError&) {
        failure = std::current_exception();
    }
    if (data.settings.disable_system_keys) session.set_system_keys_locked(false);
    if (failure) std::rethrow_exception(failure);
}

}  // namespace vx::security
