#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "win/support/dialog_template.h"
#include "win/util/text.h"
#include "win/util/trace.h"
#include "win/util/window.h"

namespace vx::win {
namespace {

using test::DialogTemplate;

constexpr UINT kThrowStd = WM_USER + 1;
constexpr UINT kThrowOther = WM_USER + 2;
constexpr UINT kEcho = WM_USER + 3;

// Collects what the layer logs while a test runs.
class CapturedLog {
public:
    CapturedLog() {
        previous_ = set_log_sink([this](LogLevel level, std::string_view line) {
            if (level == LogLevel::Error) errors.emplace_back(line);
        });
    }
    ~CapturedLog() { set_log_sink(std::move(previous_)); }
    bool has(const std::string& a, const std::string& b) const {
        for (const auto& e : errors)
            if (e.find(a) != std::string::npos && e.find(b) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> errors;

private:
    LogSink previous_;
};

class ProbeWindow : public Window {
public:
    bool throw_on_create = false;
    int creates = 0;
    int final_messages = 0;

    HWND make() {
        WNDCLASSEXW wc{};
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VxProbeWindow";
        EXPECT_NE(register_class(wc), 0);
        return create(0, L"VxProbeWindow", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    }

protected:
    bool on_create(const CREATESTRUCTW&) override {
        ++creates;
        if (throw_on_create) throw std::runtime_error("refused at creation");
        return true;
    }
    void on_final_message() override { ++final_messages; }
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == kThrowStd) throw std::runtime_error("handler exploded");
        if (message == kThrowOther) throw 42;
        if (message == kEcho) return static_cast<LRESULT>(wparam) + 1;
        return Window::handle_message(message, wparam, lparam);
    }
};

TEST(WindowThunk, BindsAtCreationAndUnbindsAtDestruction) {
    ProbeWindow probe;
    const HWND hwnd = probe.make();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(probe.hwnd(), hwnd);
    EXPECT_EQ(probe.creates, 1);
    EXPECT_EQ(Window::from_handle(hwnd), &probe);
    EXPECT_EQ(SendMessageW(hwnd, kEcho, 41, 0), 42);

    DestroyWindow(hwnd);
    EXPECT_EQ(probe.hwnd(), nullptr);
    EXPECT_EQ(probe.final_messages, 1);
    EXPECT_EQ(Window::from_handle(hwnd), nullptr);
}

TEST(WindowThunk, ExceptionsAreLoggedAndNeverEscape) {
    CapturedLog log;
    ProbeWindow probe;
    const HWND hwnd = probe.make();
    ASSERT_NE(hwnd, nullptr);

    EXPECT_EQ(SendMessageW(hwnd, kThrowStd, 0, 0), 0);
    EXPECT_TRUE(log.has("WM_USER+1", "handler exploded"));
    EXPECT_EQ(SendMessageW(hwnd, kThrowOther, 0, 0), 0);
    EXPECT_TRUE(log.has("WM_USER+2", "not a std::exception"));

    // The window keeps working after a failed handler.
    EXPECT_EQ(SendMessageW(hwnd, kEcho, 1, 0), 2);
}

TEST(WindowThunk, AFailedCreationCreatesNothing) {
    CapturedLog log;
    ProbeWindow probe;
    probe.throw_on_create = true;
    EXPECT_EQ(probe.make(), nullptr);
    EXPECT_EQ(probe.hwnd(), nullptr);
    EXPECT_TRUE(log.has("WM_CREATE", "refused at creation"));
}

TEST(WindowThunk, DestroyingTheObjectDestroysItsWindow) {
    HWND hwnd = nullptr;
    {
        ProbeWindow probe;
        hwnd = probe.make();
        ASSERT_TRUE(IsWindow(hwnd));
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

// The in/out pattern: a value goes in at init, the edited copy comes out only on OK.
class ProbeDialog : public Dialog {
public:
    std::string input;
    std::string output = "untouched";
    bool throw_on_init = false;
    bool throw_on_ok = false;

protected:
    bool on_init() override {
        if (throw_on_init) throw std::runtime_error("init exploded");
        set_item_text(DialogTemplate::kEdit, input + " edited");
        PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
        return true;
    }
    bool on_ok() override {
        if (throw_on_ok) throw std::runtime_error("ok exploded");
        output = item_text(DialogTemplate::kEdit);
        return true;
    }
};

TEST(DialogThunk, MovesValuesInAndOutOnOk) {
    DialogTemplate tpl(1);
    ProbeDialog dialog;
    dialog.input = "caf\xC3\xA9";
    EXPECT_EQ(dialog.run_modal(tpl.get(), nullptr), IDOK);
    EXPECT_EQ(dialog.output, "caf\xC3\xA9 edited");
    EXPECT_EQ(dialog.hwnd(), nullptr);
}

TEST(DialogThunk, AFailingHandlerCancelsTheDialogAndAppliesNothing) {
    struct Case {
        bool on_init;
        const char* message;
        const char* what;
    } cases[] = {{true, "WM_INITDIALOG", "init exploded"}, {false, "WM_COMMAND", "ok exploded"}};
    for (const auto& c : cases) {
        CapturedLog log;
        DialogTemplate tpl(1);
        ProbeDialog dialog;
        dialog.throw_on_init = c.on_init;
        dialog.throw_on_ok = !c.on_init;
        EXPECT_EQ(dialog.run_modal(tpl.get(), nullptr), IDCANCEL) << c.message;
        EXPECT_EQ(dialog.output, "untouched") << c.message;
        EXPECT_TRUE(log.has(c.message, c.what)) << c.message;
    }
}

TEST(MessageNames, ReadableForKnownAndUnknownMessages) {
    struct Case {
        UINT id;
        const char* text;
    } cases[] = {
        {WM_NULL, "WM_NULL"},         {WM_PAINT, "WM_PAINT"},
        {WM_NCCREATE, "WM_NCCREATE"}, {WM_INITDIALOG, "WM_INITDIALOG"},
        {WM_USER + 5, "WM_USER+5"},   {WM_APP + 1, "WM_APP+1"},
        {0x03FF, "0x03FF"},           {0xC123, "0xC123"},
    };
    for (const auto& c : cases) EXPECT_EQ(describe_message(c.id), c.text);
    EXPECT_EQ(message_name(WM_USER + 5), nullptr);
}

}  // namespace
}  // namespace vx::win
