#include "win/browser/browser_window.h"

#include <exdispid.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "win/util/handle.h"
#include "win/util/text.h"
#include "win/util/trace.h"
#include "win/util/ui_font.h"

namespace vx::win::browser {
namespace {

// The HTML document class. Under a system without an HTML engine the browser control itself
// can still be made, but shows nothing; the document class then cannot.
constexpr CLSID kHtmlDocument = {
    0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

VARIANT_BOOL* bool_out(DISPPARAMS* params, UINT index) {
    if (!params || !params->rgvarg || index >= params->cArgs) return nullptr;
    VARIANT& v = params->rgvarg[index];
    return v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr;
}

// An address argument: a string, by value or by reference, or a variant holding one. Anything
// else is no address. The whole string is kept, embedded NULs too, so that the rule sees what
// the control would use.
std::string text_arg(DISPPARAMS* params, UINT index) {
    if (!params || !params->rgvarg || index >= params->cArgs) return {};
    const VARIANT* v = &params->rgvarg[index];
    if (v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
    if (!v) return {};
    BSTR text = nullptr;
    if (v->vt == VT_BSTR)
        text = v->bstrVal;
    else if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal)
        text = *v->pbstrVal;
    if (!text) return {};
    return narrow(std::wstring_view(text, SysStringLen(text)));
}

bool is_top(DISPPARAMS* params, UINT index, IUnknown* top) {
    if (!top) return true;
    if (!params || !params->rgvarg || index >= params->cArgs) return true;
    const VARIANT& v = params->rgvarg[index];
    IDispatch* frame = v.vt == VT_DISPATCH ? v.pdispVal : nullptr;
    if (!frame) return true;
    ComPtr<IUnknown> identity;
    if (FAILED(frame->QueryInterface(IID_IUnknown, identity.put_void()))) return true;
    return identity.get() == top;
}

// Sets the Cancel flag at `index`. An event whose flag cannot be set cannot be stopped: the
// page is then taken down instead.
EventOutcome cancel(DISPPARAMS* params, UINT index) {
    VARIANT_BOOL* flag = bool_out(params, index);
    if (!flag) return EventOutcome::page_left;
    *flag = VARIANT_TRUE;
    return EventOutcome::cancelled;
}

}  // namespace

EventOutcome answer_event(const vx::shell::BrowserRule& rule, DISPID event, DISPPARAMS* params,
                          IUnknown* top) {
    const UINT args = params ? params->cArgs : 0;
    switch (event) {
        case DISPID_BEFORENAVIGATE2:  // pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel
            if (args == 7 && rule.allows(text_arg(params, 5))) return EventOutcome::proceed;
            return cancel(params, 0);
        case DISPID_NEWWINDOW2:  // ppDisp, Cancel
            return cancel(params, 0);
        case DISPID_NEWWINDOW3:  // ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl
            return cancel(params, args >= 4 ? args - 2 : args);
        case DISPID_FILEDOWNLOAD:  // [ActiveDocument,] Cancel
            // A document the control shows itself has passed BeforeNavigate2; anything else is
            // a file to save or open.
            if (args == 2 && params->rgvarg[1].vt == VT_BOOL && params->rgvarg[1].boolVal == VARIANT_TRUE)
                return EventOutcome::proceed;
            return cancel(params, 0);
        case DISPID_NAVIGATECOMPLETE2:  // pDisp, URL
            // Reached without a BeforeNavigate2 of its own: a server's redirect.
            return args == 2 && rule.allows(text_arg(params, 0)) ? EventOutcome::proceed
                                                                 : EventOutcome::page_left;
        case DISPID_NAVIGATEERROR: {  // pDisp, URL, Frame, StatusCode, Cancel
            // The control's own error page has links and a search of its own.
            const EventOutcome outcome = cancel(params, 0);
            if (outcome == EventOutcome::cancelled && args == 5 && !is_top(params, 4, top)) return outcome;
            return outcome == EventOutcome::cancelled ? EventOutcome::page_failed : outcome;
        }
        case DISPID_WINDOWCLOSING:  // IsChildWindow, Cancel: the page does not close the window
        case DISPID_NEWPROCESS:     // lCauseFlag, pWB2, Cancel: it would go on in another browser
            return cancel(params, 0);
        default:
            return EventOutcome::proceed;
    }
}

namespace {

constexpr UINT kModifierKeys[] = {VK_SHIFT,    VK_CONTROL,  VK_MENU,  VK_LSHIFT, VK_RSHIFT,
                                  VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU};
// Help, find, the address list, focus to the address bar, caret browsing, full screen, the
// developer tools, the context menu, and the keyboard's browser and launch keys.
constexpr UINT kNeverKeys[] = {VK_F1,
                               VK_F3,
                               VK_F6,
                               VK_F7,
                               VK_F11,
                               VK_F12,
                               VK_APPS,
                               VK_BROWSER_BACK,
                               VK_BROWSER_FORWARD,
                               VK_BROWSER_REFRESH,
                               VK_BROWSER_STOP,
                               VK_BROWSER_SEARCH,
                               VK_BROWSER_FAVORITES,
                               VK_BROWSER_HOME,
                               VK_LAUNCH_MAIL,
                               VK_LAUNCH_MEDIA_SELECT,
                               VK_LAUNCH_APP1,
                               VK_LAUNCH_APP2};
// With Ctrl only editing goes: select all, copy, cut, paste, undo, redo, moving and deleting
// by words, and reloading. Everything else opens, saves, prints, finds or leaves the page.
constexpr UINT kCtrlKeys[] = {'A',       'C',       'X',     'V',     'Z',    'Y',      VK_LEFT,
                              VK_RIGHT,  VK_UP,     VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT,
                              VK_INSERT, VK_DELETE, VK_BACK, VK_TAB,  VK_F5};
// With Alt only the window's own keys: close, switch, its system menu.
constexpr UINT kAltKeys[] = {VK_F4, VK_TAB, VK_ESCAPE, VK_SPACE};

template <size_t N>
bool one_of(const UINT (&keys)[N], UINT key) {
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

}  // namespace

bool key_refused(UINT key, unsigned modifiers) {
    const bool ctrl = modifiers & kKeyCtrl, alt = modifiers & kKeyAlt, shift = modifiers & kKeyShift;
    if (one_of(kModifierKeys, key)) return false;
    if (one_of(kNeverKeys, key)) return true;
    // Ctrl with Alt is AltGr on many layouts: it types characters.
    if (ctrl && alt) return false;
    if (alt) return !one_of(kAltKeys, key);
    if (ctrl) return !one_of(kCtrlKeys, key);
    return key == VK_F4 || (shift && key == VK_F10);  // the address list; the context menu
}

bool key_refused(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    unsigned modifiers = 0;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= kKeyCtrl;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= kKeyShift;
    // The context bit of a system key says Alt was down when it was pressed.
    if (GetKeyState(VK_MENU) < 0 || (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29))))
        modifiers |= kKeyAlt;
    return key_refused(static_cast<UINT>(msg.wParam), modifiers);
}

// ---- the event sink ----

BrowserEventSink::BrowserEventSink(vx::shell::BrowserRule rule, Notify notify)
    : rule_(std::move(rule)), notify_(std::move(notify)) {}

HRESULT BrowserEventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG BrowserEventSink::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG BrowserEventSink::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT BrowserEventSink::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

HRESULT BrowserEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT BrowserEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT BrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
    if (result) VariantInit(result);
    EventOutcome outcome = EventOutcome::page_left;
    try {
        outcome = answer_event(rule_, id, params, top_);
    } catch (...) {
        // No exception crosses into the control; an event not answered takes the page down.
        log(LogLevel::Error, "The browser window could not answer an event of its page.");
        if (VARIANT_BOOL* flag = bool_out(params, 0)) *flag = VARIANT_TRUE;
    }
    if ((outcome == EventOutcome::page_left || outcome == EventOutcome::page_failed) && notify_)
        notify_(outcome);
    return S_OK;
}

// ---- the container ----

HRESULT BrowserSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *out = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IDocHostUIHandler)
        *out = static_cast<IDocHostUIHandler*>(this);
    else if (iid == __uuidof(IDocHostShowUI))  // not in the import library
        *out = static_cast<IDocHostShowUI*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG BrowserSite::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG BrowserSite::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT BrowserSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT BrowserSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT BrowserSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT position,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame) {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
    }
    if (doc) *doc = nullptr;
    RECT client{};
    if (window_) GetClientRect(window_, &client);
    if (position) *position = client;
    if (clip) *clip = client;
    if (info) {
        info->cb = sizeof *info;
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return window_ ? S_OK : E_FAIL;
}

HRESULT BrowserSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    *active_.put() = object;
    if (object) object->AddRef();
    return S_OK;
}

HRESULT BrowserSite::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info || info->cbSize < sizeof(DOCHOSTUIINFO)) return E_INVALIDARG;
    // No border, no help menu, and only the page's own address: no protocols the system does
    // not trust, a check before a page reaches the station's files, and redirects told to us.
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER |
                    DOCHOSTUIFLAG_DISABLE_HELP_MENU | DOCHOSTUIFLAG_DISABLE_SCRIPT_INACTIVE |
                    DOCHOSTUIFLAG_DISABLE_UNTRUSTEDPROTOCOL | DOCHOSTUIFLAG_LOCAL_MACHINE_ACCESS_CHECK |
                    DOCHOSTUIFLAG_ENABLE_REDIRECT_NOTIFICATION | DOCHOSTUIFLAG_THEME;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

HRESULT BrowserSite::TranslateAccelerator(LPMSG msg, const GUID*, DWORD) {
    return msg && key_refused(*msg) ? S_OK : S_FALSE;
}

HRESULT BrowserSite::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    if (key) *key = nullptr;
    return S_FALSE;
}

HRESULT BrowserSite::GetDropTarget(IDropTarget*, IDropTarget** target) {
    if (target) *target = nullptr;
    return E_NOTIMPL;
}

HRESULT BrowserSite::GetExternal(IDispatch** external) {
    // The page's script reaches nothing of the shell.
    if (external) *external = nullptr;
    return S_FALSE;
}

HRESULT BrowserSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* out) {
    if (out) *out = nullptr;
    return S_FALSE;
}

HRESULT BrowserSite::FilterDataObject(IDataObject*, IDataObject** out) {
    if (out) *out = nullptr;
    return S_FALSE;
}

// ---- the window ----

TBrowserWindow::~TBrowserWindow() {
    if (hwnd()) DestroyWindow(hwnd());
    remove_control();
    if (ole_joined_) OleUninitialize();
    ole_joined_ = false;
}

bool TBrowserWindow::show(HWND owner, const vx::shell::BrowserRule& rule) {
    if (!rule.valid()) return false;
    rule_ = rule;
    const std::wstring title = widen(rule.address());
    if (!hwnd()) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        if (!register_class(wc)) return false;
        RECT work{0, 0, 1024, 768};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int width = (work.right - work.left) * 3 / 4, height = (work.bottom - work.top) * 3 / 4;
        if (!create(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    work.left + (work.right - work.left - width) / 2,
                    work.top + (work.bottom - work.top - height) / 2, width, height, owner, nullptr,
                    wc.hInstance))
            return false;
    } else {
        SetWindowTextW(hwnd(), title.c_str());
    }
    if (control_shown()) {
        sink_->set_rule(*rule_);
        navigate();
    } else if (embed_control()) {
        notice_.clear();
        navigate();
    } else {
        show_notice(kUnavailableText);
    }
    ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
    return true;
}

bool TBrowserWindow::on_create(const CREATESTRUCTW&) {
    keys_ = ModelessRegistration(hwnd(), [this](MSG& msg) { return translate_key(msg); });
    return true;
}

bool TBrowserWindow::embed_control() {
    if (!ole_joined_) {
        if (FAILED(OleInitialize(nullptr))) {
            log(LogLevel::Warning, "The browser window cannot join OLE on this thread.");
            return false;
        }
        ole_joined_ = true;
    }
    {
        ComPtr<IUnknown> document;
        if (FAILED(CoCreateInstance(kHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                    document.put_void()))) {
            log(LogLevel::Warning, "The system has no HTML engine: the browser window shows no page.");
            return false;
        }
    }
    const HWND window = hwnd();
    *site_.put() = new BrowserSite(window);
    *sink_.put() = new BrowserEventSink(*rule_, [this, window](EventOutcome outcome) {
        PostMessageW(window, kOutcomeMessage, static_cast<WPARAM>(outcome), static_cast<LPARAM>(generation_));
    });
    RECT client{};
    GetClientRect(window, &client);
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    const bool made =
        SUCCEEDED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                   object_.put_void())) &&
        SUCCEEDED(object_->SetClientSite(site_.get())) &&
        SUCCEEDED(object_->QueryInterface(IID_IWebBrowser2, browser_.put_void())) &&
        // Connected before the control is shown, so that no navigation escapes the rule.
        SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, points.put_void())) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())) &&
        SUCCEEDED(point->Advise(static_cast<IDispatch*>(sink_.get()), &cookie_)) &&
        SUCCEEDED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, window, &client));
    if (!made) {
        log(LogLevel::Warning, "The system's web browser control could not be made.");
        remove_control();
        return false;
    }
    ComPtr<IUnknown> identity;
    if (SUCCEEDED(browser_->QueryInterface(IID_IUnknown, identity.put_void())))
        sink_->set_top(identity.get());
    // Nothing dropped on the page is opened, no other program finds this browser to reuse it,
    // and the control's own dialogs stay shut.
    browser_->put_RegisterAsDropTarget(VARIANT_FALSE);
    browser_->put_RegisterAsBrowser(VARIANT_FALSE);
    browser_->put_Silent(VARIANT_TRUE);
    return true;
}

void TBrowserWindow::remove_control() {
    if (browser_ && cookie_) {
        ComPtr<IConnectionPointContainer> points;
        ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, points.put_void())) &&
            SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())))
            point->Unadvise(cookie_);
    }
    cookie_ = 0;
    if (object_) {
        ComPtr<IOleInPlaceObject> in_place;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, in_place.put_void())))
            in_place->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
    }
    browser_.reset();
    object_.reset();
    if (sink_) sink_->set_top(nullptr);
    sink_.reset();
    if (site_) {
        site_->detach();
        site_->SetActiveObject(nullptr, nullptr);
    }
    site_.reset();
}

void TBrowserWindow::navigate() {
    ++generation_;
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocString(widen(rule_->address()).c_str());
    VARIANT none;
    VariantInit(&none);
    if (FAILED(browser_->Navigate2(&address, &none, &none, &none, &none))) {
        remove_control();
        show_notice(kFailedText);
    }
    VariantClear(&address);
}

void TBrowserWindow::show_notice(std::string text) {
    notice_ = std::move(text);
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

bool TBrowserWindow::translate_key(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (key_refused(msg)) return true;
    IOleInPlaceActiveObject* active = site_ ? site_->active_object() : nullptr;
    // The control's own keys (Tab through links, arrows, Enter) go to it before the message is
    // dispatched.
    return active && active->TranslateAcceleratorW(&msg) == S_OK;
}

LRESULT TBrowserWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kOutcomeMessage) {
        if (static_cast<WPARAM>(lparam) != generation_ || !control_shown()) return 0;
        remove_control();
        show_notice(static_cast<EventOutcome>(wparam) == EventOutcome::page_failed ? kFailedText : kLeftText);
        return 0;
    }
    if (message == WM_SETFOCUS && site_ && site_->active_object()) {
        HWND control = nullptr;
        if (SUCCEEDED(site_->active_object()->GetWindow(&control)) && control) SetFocus(control);
        return 0;
    }
    return Window::handle_message(message, wparam, lparam);
}

void TBrowserWindow::on_paint(HDC dc, const PAINTSTRUCT&) {
    if (control_shown() || notice_.empty()) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const scoped_select font(dc, ui_font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const std::wstring text = widen(notice_);
    RECT box{client.left + 24, client.top, std::max(client.left + 24, client.right - 24), client.bottom};
    RECT measured = box;
    DrawTextW(dc, text.c_str(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    box.top = client.top + std::max(0, static_cast<int>((client.bottom - client.top - height) / 2));
    box.bottom = box.top + height;
    DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

void TBrowserWindow::on_size(UINT, int width, int height) {
    if (!object_) {
        InvalidateRect(hwnd(), nullptr, TRUE);
        return;
    }
    ComPtr<IOleInPlaceObject> in_place;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, in_place.put_void()))) {
        const RECT area{0, 0, width, height};
        in_place->SetObjectRects(&area, &area);
    }
}

void TBrowserWindow::on_destroy() {
    remove_control();
    keys_ = ModelessRegistration();
}

}  // namespace vx::win::browser
