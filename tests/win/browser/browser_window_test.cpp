#include "win/browser/browser_window.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "win/support/real_input.h"
#include "win/support/screenshot.h"
#include "win/util/modeless.h"
#include "win/util/text.h"

namespace vx::win::browser {
namespace {

using vx::shell::BrowserRule;

// One event's arguments in the order the control declares them; the sink gets them last first,
// as IDispatch::Invoke does. The Cancel flag, where the event has one, is `cancel`.
class Event {
public:
    explicit Event(DISPID id) : id_(id) {}
    Event& text(const std::wstring& value, VARTYPE as = VT_BYREF | VT_VARIANT) {
        BSTR b = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        strings_.push_back(b);
        VARIANT v;
        VariantInit(&v);
        if (as == VT_BSTR) {
            v.vt = VT_BSTR;
            v.bstrVal = b;
        } else if (as == (VT_BYREF | VT_BSTR)) {
            v.vt = VT_BYREF | VT_BSTR;
            v.pbstrVal = &strings_.back();
        } else {
            inner_.emplace_back();
            VariantInit(&inner_.back());
            inner_.back().vt = VT_BSTR;
            inner_.back().bstrVal = b;
            v.vt = VT_BYREF | VT_VARIANT;
            v.pvarVal = &inner_.back();
        }
        args_.push_back(v);
        return *this;
    }
    Event& value(VARTYPE type, LONG number = 0) {
        VARIANT v;
        VariantInit(&v);
        v.vt = type;
        if (type == VT_BOOL)
            v.boolVal = number ? VARIANT_TRUE : VARIANT_FALSE;
        else if (type == VT_I4)
            v.lVal = number;
        args_.push_back(v);
        return *this;
    }
    Event& cancel_flag() {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BYREF | VT_BOOL;
        v.pboolVal = &cancel;
        args_.push_back(v);
        return *this;
    }
    // What the sink did: whether Cancel was set, and the outcomes it passed on.
    std::vector<EventOutcome> fire(const BrowserRule& rule) {
        std::vector<EventOutcome> told;
        ComPtr<BrowserEventSink> sink;
        *sink.put() = new BrowserEventSink(rule, [&](EventOutcome o) { told.push_back(o); });
        std::vector<VARIANT> reversed(args_.rbegin(), args_.rend());
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        VARIANT result;
        EXPECT_EQ(sink->Invoke(id_, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
        return told;
    }
    ~Event() {
        for (BSTR b : strings_) SysFreeString(b);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    VARIANT_BOOL cancel = VARIANT_FALSE;

private:
    DISPID id_;
    std::vector<VARIANT> args_;
    // Stable addresses: by-reference arguments point into them.
    std::deque<BSTR> strings_;
    std::deque<VARIANT> inner_;
};

Event& before_navigate(Event& e, const std::wstring& url, VARTYPE as = VT_BYREF | VT_VARIANT) {
    e.value(VT_DISPATCH).text(url, as).value(VT_BYREF | VT_VARIANT).value(VT_BYREF | VT_VARIANT);
    return e.value(VT_BYREF | VT_VARIANT).value(VT_BYREF | VT_VARIANT).cancel_flag();
}

const BrowserRule kRule("http://intranet.school/news");

TEST(BrowserEventSink, LetsOnlyTheAddressThrough) {
    struct Case {
        std::wstring url;
        VARTYPE as;
        bool cancelled;
    };
    const Case cases[] = {
        {L"http://intranet.school/news", VT_BYREF | VT_VARIANT, false},
        {L"HTTP://Intranet.School:80/news#top", VT_BYREF | VT_VARIANT, false},
        {L"http://intranet.school/news", VT_BSTR, false},
        {L"http://intranet.school/news", VT_BYREF | VT_BSTR, false},
        {L"http://intranet.school/other", VT_BYREF | VT_VARIANT, true},
        {L"https://intranet.school/news", VT_BYREF | VT_VARIANT, true},
        {L"http://intranet.school@evil.example/news", VT_BYREF | VT_VARIANT, true},
        {L"javascript:alert(document.cookie)", VT_BYREF | VT_VARIANT, true},
        {L"JavaScript:void(0)", VT_BYREF | VT_VARIANT, true},
        {L"file:///C:/Windows/win.ini", VT_BYREF | VT_VARIANT, true},
        {L"\\\\server\\share\\page.htm", VT_BYREF | VT_VARIANT, true},
        {L"res://ieframe.dll/navcancl.htm", VT_BYREF | VT_VARIANT, true},
        {L"about:blank", VT_BYREF | VT_VARIANT, true},
        {std::wstring(L"http://intranet.school/news\0.evil.example", 42), VT_BYREF | VT_VARIANT, true},
        {L"http://intranet.school/n\u00E9ws", VT_BYREF | VT_VARIANT, true},
        {L"", VT_BYREF | VT_VARIANT, true},
    };
    for (const Case& c : cases) {
        Event e(DISPID_BEFORENAVIGATE2);
        const auto told = before_navigate(e, c.url, c.as).fire(kRule);
        EXPECT_EQ(e.cancel == VARIANT_TRUE, c.cancelled) << narrow(c.url);
        EXPECT_TRUE(told.empty()) << "a cancelled navigation leaves the page as it is: " << narrow(c.url);
    }

    // An address of another type is no address.
    Event number(DISPID_BEFORENAVIGATE2);
    number.value(VT_DISPATCH).value(VT_I4, 1).value(VT_EMPTY).value(VT_EMPTY).value(VT_EMPTY).value(VT_EMPTY);
    number.cancel_flag().fire(kRule);
    EXPECT_EQ(number.cancel, VARIANT_TRUE);
}

TEST(BrowserEventSink, RefusesNewWindowsDownloadsAndTheWindowsEnd) {
    Event two(DISPID_NEWWINDOW2);
    two.value(VT_BYREF | VT_DISPATCH).cancel_flag().fire(kRule);
    EXPECT_EQ(two.cancel, VARIANT_TRUE) << "NewWindow2";

    Event three(DISPID_NEWWINDOW3);
    three.value(VT_BYREF | VT_DISPATCH)
        .cancel_flag()
        .value(VT_UI4)
        .text(L"http://intranet.school/news", VT_BSTR);
    three.text(L"http://intranet.school/news", VT_BSTR).fire(kRule);
    EXPECT_EQ(three.cancel, VARIANT_TRUE) << "NewWindow3, even to the address itself";

    Event download(DISPID_FILEDOWNLOAD);
    download.value(VT_BOOL, 0).cancel_flag().fire(kRule);
    EXPECT_EQ(download.cancel, VARIANT_TRUE) << "a file to save";
    Event old_download(DISPID_FILEDOWNLOAD);
    old_download.cancel_flag().fire(kRule);
    EXPECT_EQ(old_download.cancel, VARIANT_TRUE) << "the form without ActiveDocument";
    Event document(DISPID_FILEDOWNLOAD);
    document.value(VT_BOOL, 1).cancel_flag().fire(kRule);
    EXPECT_EQ(document.cancel, VARIANT_FALSE) << "the page's own document";

    Event closing(DISPID_WINDOWCLOSING);
    closing.value(VT_BOOL, 0).cancel_flag().fire(kRule);
    EXPECT_EQ(closing.cancel, VARIANT_TRUE) << "window.close() of the page";
}

TEST(BrowserEventSink, TakesThePageDownWhenItCannotBeStoppedOrWentElsewhere) {
    Event redirected(DISPID_NAVIGATECOMPLETE2);
    EXPECT_EQ(redirected.value(VT_DISPATCH).text(L"http://evil.example/").fire(kRule),
              std::vector<EventOutcome>{EventOutcome::page_left});
    Event arrived(DISPID_NAVIGATECOMPLETE2);
    EXPECT_TRUE(arrived.value(VT_DISPATCH).text(L"http://intranet.school/news#top").fire(kRule).empty());

    Event failed(DISPID_NAVIGATEERROR);
    failed.value(VT_DISPATCH).text(L"http://intranet.school/news").text(L"", VT_BSTR).value(VT_I4, 404);
    EXPECT_EQ(failed.cancel_flag().fire(kRule), std::vector<EventOutcome>{EventOutcome::page_failed});
    EXPECT_EQ(failed.cancel, VARIANT_TRUE) << "no error page of the control's own";

    // A Cancel flag of the wrong type cannot be set: the window takes the page down instead.
    Event unstoppable(DISPID_BEFORENAVIGATE2);
    unstoppable.value(VT_DISPATCH).text(L"http://evil.example/").value(VT_EMPTY).value(VT_EMPTY);
    unstoppable.value(VT_EMPTY).value(VT_EMPTY).value(VT_I4, 0);
    EXPECT_EQ(unstoppable.fire(kRule), std::vector<EventOutcome>{EventOutcome::page_left});
    Event bare(DISPID_NEWWINDOW2);
    EXPECT_EQ(bare.fire(kRule), std::vector<EventOutcome>{EventOutcome::page_left});

    // Events that ask nothing are left alone.
    Event progress(DISPID_PROGRESSCHANGE);
    EXPECT_TRUE(progress.value(VT_I4, 10).value(VT_I4, 100).fire(kRule).empty());
}

TEST(BrowserKeys, RefusesTheKeysThatLeaveOrKeepThePage) {
    struct Case {
        UINT key;
        unsigned modifiers;
        bool refused;
        const char* what;
    };
    const Case cases[] = {
        {'O', kKeyCtrl, true, "open"},
        {'S', kKeyCtrl, true, "save as"},
        {'P', kKeyCtrl, true, "print"},
        {'N', kKeyCtrl, true, "new window"},
        {'L', kKeyCtrl, true, "open location"},
        {'T', kKeyCtrl, true, "new tab"},
        {'F', kKeyCtrl, true, "find"},
        {'H', kKeyCtrl, true, "history"},
        {'I', kKeyCtrl, true, "favourites"},
        {'E', kKeyCtrl, true, "search"},
        {'U', kKeyCtrl, true, "view source"},
        {'S', kKeyCtrl | kKeyShift, true, "save with shift"},
        {VK_F1, 0, true, "help"},
        {VK_F3, 0, true, "find"},
        {VK_F4, 0, true, "the address list"},
        {VK_F11, 0, true, "full screen"},
        {VK_F12, 0, true, "developer tools"},
        {VK_F10, kKeyShift, true, "context menu"},
        {VK_APPS, 0, true, "context menu key"},
        {VK_LEFT, kKeyAlt, true, "back"},
        {VK_RIGHT, kKeyAlt, true, "forward"},
        {VK_HOME, kKeyAlt, true, "home page"},
        {'D', kKeyAlt, true, "address bar"},
        {VK_BROWSER_BACK, 0, true, "the keyboard's back key"},
        {VK_BROWSER_HOME, 0, true, "the keyboard's home key"},
        {VK_LAUNCH_MAIL, 0, true, "the keyboard's mail key"},

        {VK_F5, 0, false, "reload"},
        {VK_F5, kKeyCtrl, false, "reload from the server"},
        {'C', kKeyCtrl, false, "copy"},
        {'A', kKeyCtrl, false, "select all"},
        {'V', kKeyCtrl, false, "paste into a field"},
        {VK_TAB, 0, false, "next link"},
        {VK_TAB, kKeyShift, false, "previous link"},
        {VK_RETURN, 0, false, "follow a link"},
        {'Q', 0, false, "typing"},
        {'Q', kKeyCtrl | kKeyAlt, false, "AltGr types '@' on some layouts"},
        {VK_BACK, 0, false, "deleting in a field"},
        {VK_F4, kKeyAlt, false, "closing the window"},
        {VK_CONTROL, kKeyCtrl, false, "Ctrl alone"},
    };
    for (const Case& c : cases) EXPECT_EQ(key_refused(c.key, c.modifiers), c.refused) << c.what;
}

TEST(BrowserSite, ShowsNoneOfTheControlsOwnInterface) {
    ComPtr<BrowserSite> site;
    *site.put() = new BrowserSite(nullptr);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    ASSERT_EQ(site->GetHostInfo(&info), S_OK);
    for (DWORD flag : {DOCHOSTUIFLAG_NO3DBORDER, DOCHOSTUIFLAG_DISABLE_HELP_MENU,
                       DOCHOSTUIFLAG_DISABLE_UNTRUSTEDPROTOCOL, DOCHOSTUIFLAG_LOCAL_MACHINE_ACCESS_CHECK})
        EXPECT_TRUE(info.dwFlags & flag) << std::hex << flag;
    EXPECT_FALSE(info.dwFlags & DOCHOSTUIFLAG_OPENNEWWIN);
    POINT at{10, 10};
    EXPECT_EQ(site->ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr), S_OK)
        << "handled: none shown";
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    site->GetExternal(&external);
    EXPECT_EQ(external, nullptr) << "the page's script reaches nothing of the shell";

    ComPtr<IDocHostUIHandler> handler;
    ASSERT_EQ(site->QueryInterface(IID_IDocHostUIHandler, handler.put_void()), S_OK);
    ComPtr<IOleInPlaceSite> in_place;
    ASSERT_EQ(site->QueryInterface(IID_IOleInPlaceSite, in_place.put_void()), S_OK);
    EXPECT_EQ(in_place->CanInPlaceActivate(), S_FALSE) << "no window, no control";
}

BOOL CALLBACK add_visible(HWND w, LPARAM out) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w)) reinterpret_cast<std::set<HWND>*>(out)->insert(w);
    return TRUE;
}

// Our process's visible top-level windows.
std::set<HWND> visible_windows() {
    std::set<HWND> found;
    EnumWindows(add_visible, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring class_of(HWND w) {
    wchar_t name[64]{};
    GetClassNameW(w, name, 64);
    return name;
}

std::wstring title_of(HWND w) {
    wchar_t text[256]{};
    GetWindowTextW(w, text, 256);
    return text;
}

// Without an HTML engine (as under Wine without its engine) the window says so and opens nothing
// else; a second address uses the same window.
TEST(TBrowserWindow, WithoutTheControlSaysSoAndOpensNothingElse) {
    const auto before = visible_windows();
    TBrowserWindow window;
    ASSERT_TRUE(window.show(nullptr, BrowserRule("intranet.school/news")));
    const HWND shown = window.hwnd();
    ASSERT_TRUE(shown);
    test::settle();
    EXPECT_EQ(class_of(shown), L"TBrowserForm");
    EXPECT_EQ(title_of(shown), L"http://intranet.school/news");
    EXPECT_TRUE(IsWindowVisible(shown));
    ASSERT_FALSE(window.control_shown()) << "this prefix has no HTML engine";
    EXPECT_EQ(window.notice(), TBrowserWindow::kUnavailableText);
    auto after = visible_windows();
    after.erase(shown);
    EXPECT_EQ(after, before) << "no other window opened";
    EXPECT_TRUE(
        test::save_screen(std::filesystem::path(VX_WIN_SCREENSHOT_DIR) / "BrowserWindow.Unavailable.png"));

    ASSERT_TRUE(window.show(nullptr, BrowserRule("https://intranet.school/timetable")));
    EXPECT_EQ(window.hwnd(), shown) << "one window";
    EXPECT_EQ(title_of(shown), L"https://intranet.school/timetable");
    ASSERT_NE(window.rule(), nullptr);
    EXPECT_TRUE(window.rule()->allows("https://intranet.school/timetable"));
    EXPECT_FALSE(window.rule()->allows("http://intranet.school/news")) << "the first address is gone";

    EXPECT_FALSE(window.show(nullptr, BrowserRule("file:///C:/"))) << "no window for an invalid rule";
    EXPECT_EQ(title_of(shown), L"https://intranet.school/timetable");
}

// The keys go through the thread's message loop as the shell's own loop takes them: refused
// keys never reach the window, others go on to it.
TEST(TBrowserWindow, TheLoopSwallowsTheRefusedKeys) {
    TBrowserWindow window;
    ASSERT_TRUE(window.show(nullptr, BrowserRule("http://intranet.school/")));
    ASSERT_TRUE(test::bring_to_front(window.hwnd()));
    std::vector<WPARAM> taken, passed;
    const auto pump = [&] {
        for (int round = 0; round < 30; ++round) {
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                if (m.message == WM_QUIT) continue;
                const bool key = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
                if (modeless_windows().take(m)) {
                    if (key) taken.push_back(m.wParam);
                    continue;
                }
                if (key) passed.push_back(m.wParam);
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
            Sleep(10);
        }
    };
    test::press_key('O', {VK_CONTROL});
    test::press_key('P', {VK_CONTROL});
    test::press_key(VK_F1);
    test::press_key('C', {VK_CONTROL});
    test::press_key(VK_F5);
    pump();
    EXPECT_EQ(taken, (std::vector<WPARAM>{'O', 'P', VK_F1}));
    EXPECT_EQ(passed, (std::vector<WPARAM>{VK_CONTROL, VK_CONTROL, VK_CONTROL, 'C', VK_F5}));
}

}  // namespace
}  // namespace vx::win::browser
