#pragma once
// The HooksApi port on VXHooks.dll, which the shell links by import (without the library the
// shell does not start).
#include <cstdint>

#include "port/hooks_api.h"

namespace vx::win::shell {

class LibraryHooksApi final : public HooksApi {
public:
    LibraryHooksApi() = default;
    LibraryHooksApi(const LibraryHooksApi&) = delete;
    LibraryHooksApi& operator=(const LibraryHooksApi&) = delete;
    // Disarms the library unless remove() already did.
    ~LibraryHooksApi() override;

    void set_hook_proc(bool enable) override;
    void set_lock_time(int value) override;
    void set_exit_time(int value) override;
    // Gates on the two questions; both open at start. A closed gate answers false without
    // asking, so a question the shell has turned off can never lock or end the session.
    void enable_lock(bool on) override { lock_enabled_ = on; }
    void enable_exit(bool on) override { exit_enabled_ = on; }
    bool check_lock() override;
    bool update_exit_time() override;

    // RemoveHookProc: once, as the shell ends.
    void remove();
    void remove_hook_proc() override { remove(); }

private:
    // The variable whose address the library receives; it must outlive every call.
    std::int32_t hook_variable_ = 0;
    bool lock_enabled_ = true;
    bool exit_enabled_ = true;
    bool removed_ = false;
};

}  // namespace vx::win::shell
