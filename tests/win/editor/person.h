#pragma once
// A person at the station, for windows that run a loop of their own (a pop-up palette, a modal
// dialog): the presses, moves and keys (real_input.h) go through SendInput from a thread of their
// own while the window's loop runs on the test's thread, and questions about the window's state are asked on
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

#include "win/support/real_input.h"
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

// A key with modifiers held (VK_MENU, VK_CONTROL, VK_SHIFT), let go in the reverse order.
inline void tap(WORD vk, std::initializer_list<WORD> held = {}) {
    press_key(vk, held);
    pause(120);
}
inline void type_slowly(const std::wstring& text) {
    type_text(text);
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

// The visible dialog titled `title` once it is up (null when none came within the time).
inline HWND find_dialog(const wchar_t* title) {
    HWND found = nullptr;
    wait_until([&] {
        found = FindWindowW(L"#32770", title);
        return found && IsWindowVisible(found);
    });
    return found;
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
