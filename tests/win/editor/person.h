#pragma once
// A person at the station, for windows that run a loop of their own (a pop-up palette, a modal
// dialog): the presses, moves and keys go through SendInput from a thread of their own while the
// window's loop runs on the test's thread, and questions about the window's state are asked on
// that thread too. Screenshots of what the display shows are saved as PNG files.
#include <wincodec.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <type_traits>

#include "win/util/com.h"
#include "win/util/handle.h"

namespace vx::win::test {

inline bool have_display() {
    wchar_t buf[256];
    return GetEnvironmentVariableW(L"DISPLAY", buf, 256) > 0;
}

// Tests of real input cannot run without a display; under the test script they must.
#define VX_NEED_DISPLAY()                                                                       \
    do {                                                                                        \
        if (!::vx::win::test::have_display()) {                                                 \
            wchar_t need[4] = {};                                                               \
            if (GetEnvironmentVariableW(L"VX_E2E_REQUIRE_DISPLAY", need, 4) && need[0] == L'1') \
                GTEST_FAIL() << "no X display: scripts/run-tests starts Xvfb for these tests";  \
            GTEST_SKIP() << "no X display (DISPLAY is unset)";                                  \
        }                                                                                       \
    } while (0)

inline void pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

inline void send_mouse(POINT screen, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65535 + w / 2) / (w - 1));
    in.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65535 + h / 2) / (h - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    SendInput(1, &in, sizeof in);
}

inline POINT on_screen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

inline POINT center_of(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A hand comes to rest before it presses; the display reports the move a moment later.
inline void move_to(POINT screen) {
    send_mouse(screen, 0);
    pause(120);
}
inline void press_at(POINT screen) {
    move_to(screen);
    send_mouse(screen, MOUSEEVENTF_LEFTDOWN);
    pause(80);
}
inline void release_at(POINT screen) {
    move_to(screen);
    send_mouse(screen, MOUSEEVENTF_LEFTUP);
    pause(80);
}
inline void click_at(POINT screen) {
    move_to(screen);
    send_mouse(screen, MOUSEEVENTF_LEFTDOWN);
    send_mouse(screen, MOUSEEVENTF_LEFTUP);
    pause(120);
}

inline void send_key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    const bool extended = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME ||
                          vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_DELETE;
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof in);
}
// A key with modifiers held (VK_MENU, VK_CONTROL, VK_SHIFT), let go in the reverse order.
inline void tap(WORD vk, std::initializer_list<WORD> held = {}) {
    for (WORD m : held) send_key(m, false);
    send_key(vk, false);
    send_key(vk, true);
    for (auto it = std::rbegin(held); it != std::rend(held); ++it) send_key(*it, true);
    pause(120);
}
inline void type_text(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2]{};
        for (INPUT& i : in) {
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = static_cast<WORD>(c);
            i.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof in[0]);
    }
    pause(80);
}

// Input is handled a moment after it is sent: waits until `done` holds, or gives up.
template <typename F>
bool wait_until(F done, int timeout_ms = 3000) {
    for (int waited = 0; waited < timeout_ms; waited += 20) {
        if (done()) return true;
        pause(20);
    }
    return done();
}

// Runs functions on the thread that made it, from any other thread, while that thread waits in a
// loop of a window (sent messages are handled there).
class OnThread {
public:
    OnThread() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &OnThread::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VxTestOnThread";
        RegisterClassW(&wc);
        window_ = CreateWindowW(L"VxTestOnThread", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~OnThread() { DestroyWindow(window_); }
    OnThread(const OnThread&) = delete;
    OnThread& operator=(const OnThread&) = delete;

    template <typename F>
    auto operator()(F f) -> decltype(f()) {
        using R = decltype(f());
        if constexpr (std::is_void_v<R>) {
            std::function<void()> run = f;
            SendMessageW(window_, WM_APP, 0, reinterpret_cast<LPARAM>(&run));
        } else {
            R result{};
            std::function<void()> run = [&] { result = f(); };
            SendMessageW(window_, WM_APP, 0, reinterpret_cast<LPARAM>(&run));
            return result;
        }
    }

private:
    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_APP) {
            (*reinterpret_cast<std::function<void()>*>(lp))();
            return 0;
        }
        return DefWindowProcW(w, m, wp, lp);
    }

    HWND window_ = nullptr;
};

// A person's part of a test, on a thread of its own. The window under test must close within
// the time; if it has not, `stop` is called (to close it) and the test fails.
class Person {
public:
    Person(std::function<void()> steps, std::function<void()> stop, int timeout_ms = 15000)
        : thread_([this, steps = std::move(steps), stop = std::move(stop), timeout_ms] {
              pause(250);  // the window is mapped on the display a moment after it is shown
              steps();
              done_ = true;
              for (int waited = 0; !finished_ && waited < timeout_ms; waited += 20) pause(20);
              if (!finished_) {
                  timed_out_ = true;
                  stop();
              }
          }) {}
    // Call once the window's loop has returned.
    bool finish() {
        finished_ = true;
        thread_.join();
        return !timed_out_;
    }
    ~Person() {
        if (thread_.joinable()) finish();
    }

private:
    std::atomic<bool> done_{false}, finished_{false}, timed_out_{false};
    std::thread thread_;
};

// Makes `window` the foreground window with the keyboard focus, as a click on it would.
inline bool bring_to_front(HWND window) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
    for (int i = 0; i < 150; ++i) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        if (GetForegroundWindow() == window && GetFocus() == window) return true;
        pause(20);
    }
    return false;
}

// Saves what the display shows in `area` (screen coordinates) as <screenshots>/<name>.png.
inline std::filesystem::path screenshot(const RECT& area, const std::string& name) {
    const std::filesystem::path dir = VX_WIN_SCREENSHOT_DIR;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::filesystem::path path = dir / (name + ".png");
    const int w = area.right - area.left, h = area.bottom - area.top;
    unique_window_dc screen = get_window_dc(nullptr);
    unique_memory_dc memory(CreateCompatibleDC(screen.get().dc));
    unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get().dc, w, h));
    {
        const scoped_select select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get().dc, area.left, area.top, SRCCOPY);
    }
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> source;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    const bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, factory.put_void())) &&
        SUCCEEDED(
            factory->CreateBitmapFromHBITMAP(bitmap.get(), nullptr, WICBitmapIgnoreAlpha, source.put())) &&
        SUCCEEDED(factory->CreateStream(stream.put())) &&
        SUCCEEDED(stream->InitializeFromFilename(path.wstring().c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
        SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(static_cast<UINT>(w), static_cast<UINT>(h))) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) && SUCCEEDED(frame->WriteSource(source.get(), nullptr)) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    if (!ok) ADD_FAILURE() << "screenshot: cannot write " << path.string();
    return path;
}

// A pixel of the display.
inline COLORREF screen_pixel(POINT p) {
    unique_window_dc screen = get_window_dc(nullptr);
    return GetPixel(screen.get().dc, p.x, p.y);
}

}  // namespace vx::win::test
