// Everything here changes files on disk through the file cipher.
#include <exception>

#include "port/session_api.h"
#include "security/access.h"
#include "security/admin_file.h"
#include "security/file_cipher.h"
#include "security/login.h"
#include "util/file_io.h"

namespace vx::security {

namespace {

// One protected file that cannot be switched must not leave the others as they were: carry on
// and report the first failure once all have been tried.
template <typename F>
void for_each_protected(const AdminData& data, F&& f) {
    std::exception_ptr first;
    for (const LevelRule& file : data.protected_files) {
        try {
            f(file);
        } catch (const FileError&) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
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

void apply_login_success(const AdminData& data, size_t user, LoginPorts& ports, int& encryption_mark) {
    const User& u = data.users[user];
    ports.dde.set_text(u.name);
    for (const LevelRule& dir : data.directories)
        ports.directories.set_hidden(dir.name, !has_level_at_least(data, u, dir.level));
    for_each_protected(data, [&](const LevelRule& file) {
        cipher_file(
            file.name, data.encryption_key,
            has_level_at_least(data, u, file.level) ? CipherDirection::Decipher : CipherDirection::Encipher,
            encryption_mark);
    });
    if (!data.settings.disable_system_keys) ports.session.set_system_keys_locked(false);
}

void encipher_protected_files(const AdminData& data, int& encryption_mark) {
    for_each_protected(data, [&](const LevelRule& file) {
        cipher_file(file.name, data.encryption_key, CipherDirection::Encipher, encryption_mark);
    });
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
