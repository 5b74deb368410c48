#pragma once
// COM for the duration of one call, and an owning interface pointer. The shell's own threads
// never join COM for good; each call that needs it (shell links, the "open" verb, the picture
// codecs) joins and leaves again.
#include <objbase.h>

namespace vx::win {

// Joins COM on the calling thread for this scope. A thread already in another apartment model
// keeps it, and COM is still usable there.
class ComScope {
public:
    explicit ComScope(DWORD model = COINIT_APARTMENTTHREADED) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Where a call puts a new pointer; any held one is released first.
    T** put() {
        reset();
        return &p_;
    }
    // The same for calls that take an interface id (CoCreateInstance, QueryInterface).
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

}  // namespace vx::win
