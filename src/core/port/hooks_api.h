#pragma once
// The idle lock and timed exit library, called through its six exports.
namespace vx {

class HooksApi {
public:
    virtual ~HooksApi() = default;
    virtual void set_lock_time(int value) = 0;
    virtual void set_exit_time(int value) = 0;
    virtual void enable_lock(bool on) = 0;
    virtual void enable_exit(bool on) = 0;
    // The library's SetHookProc export: arms (true) or disarms (false) its input hook. The
    // administration file's settings line calls it before the two times. Not pure, so that
    // fakes which only watch the times need not implement it; the adapter for the real
    // library must.
    virtual void set_hook_proc(bool enable) { (void)enable; }
    // The library's RemoveHookProc export, as the shell ends; once, whatever calls it again.
    virtual void remove_hook_proc() {}
    // True once the idle time has passed (the station must lock).
    virtual bool check_lock() = 0;
    // True once the exit time has come (reported once per day).
    virtual bool update_exit_time() = 0;
};

// Arms nothing and never reports: for readers of the administration file that run no station
// (the tool, the fuzzer) and for a window started without the library.
class NoHooks final : public HooksApi {
public:
    void set_lock_time(int) override {}
    void set_exit_time(int) override {}
    void enable_lock(bool) override {}
    void enable_exit(bool) override {}
    bool check_lock() override { return false; }
    bool update_exit_time() override { return false; }
};

}  // namespace vx
