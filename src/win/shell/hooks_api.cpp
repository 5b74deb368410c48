#include "win/shell/hooks_api.h"

#include "hooks/vxhooks.h"

namespace vx::win::shell {

LibraryHooksApi::~LibraryHooksApi() {
    remove();
}

void LibraryHooksApi::set_hook_proc(bool enable) {
    removed_ = false;
    SetHookProc(&hook_variable_, enable ? 1 : 0);
}

void LibraryHooksApi::set_lock_time(int value) {
    SetLockTime(value);
}

void LibraryHooksApi::set_exit_time(int value) {
    SetExitTime(value);
}

bool LibraryHooksApi::check_lock() {
    return lock_enabled_ && UpdateLockTime() != 0;
}

bool LibraryHooksApi::update_exit_time() {
    return exit_enabled_ && UpdateExitTime() != 0;
}

void LibraryHooksApi::remove() {
    if (removed_) return;
    removed_ = true;
    RemoveHookProc(1);
}

}  // namespace vx::win::shell
