#pragma once
// The locked browser window: the system's HTML browser control, hosted with COM sites of our
// own, shows one address and nothing else. Every navigation is put to the address's rule
// (core/shell/browser_rule.h) before it happens; new windows, downloads, the context menu and
// the keys that open, save, print or show a page's source are refused. When the control cannot
// be made (no HTML engine on the system), the window says so in its client area and nothing
// else opens.
#include <windows.h>
// The system's headers need the OLE declarations first.
#include <exdisp.h>
#include <mshtmhst.h>
#include <oleidl.h>

#include <functional>
#include <optional>
#include <string>

#include "shell/browser_rule.h"
#include "win/util/com.h"
#include "win/util/modeless.h"
#include "win/util/window.h"

namespace vx::win::browser {

// What an event of the control led to.
enum class EventOutcome {
    proceed,      // nothing to refuse
    cancelled,    // its Cancel flag was set
    page_left,    // a page of another address was reached (a server's redirect): take it down
    page_failed,  // the page did not load; the control's own error page was cancelled
};

// Answers one DWebBrowserEvents2 event, with the event's arguments as the control passes them
// (last argument first): sets the event's Cancel flag where the rule or the window's limits
// refuse it. Arguments of an unexpected type are read as "no address", which is refused.
// `top` is the identity (IUnknown) of the window's own browser object: a page that fails to load
// in one of its frames is no failure of the page. Null takes every event as the page's own.
EventOutcome answer_event(const vx::shell::BrowserRule& rule, DISPID event, DISPPARAMS* params,
                          IUnknown* top = nullptr);

// Keys the page never sees: those that open, save, print, send or find, show a page's source,
// open another window, leave the page through the history, show help or a context menu.
// `modifiers` combines the flags below.
inline constexpr unsigned kKeyCtrl = 1, kKeyShift = 2, kKeyAlt = 4;
bool key_refused(UINT virtual_key, unsigned modifiers);
// The same for a keyboard message, with the modifiers held when it was sent; other messages
// are never refused.
bool key_refused(const MSG& msg);

// The control's event interface (DWebBrowserEvents2), connected through its connection point.
// Outcomes that take the page down are passed to `notify`, which must not destroy the control
// while the event is under way (the window posts them to itself).
class BrowserEventSink final : public IDispatch {
public:
    using Notify = std::function<void(EventOutcome)>;
    BrowserEventSink(vx::shell::BrowserRule rule, Notify notify);
    void set_rule(vx::shell::BrowserRule rule) { rule_ = std::move(rule); }
    // The identity of the browser object the events come from (not held).
    void set_top(IUnknown* top) { top_ = top; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

private:
    ~BrowserEventSink() = default;
    LONG refs_ = 1;
    vx::shell::BrowserRule rule_;
    Notify notify_;
    IUnknown* top_ = nullptr;
};

// The control's container: client site, in-place site and frame, and the document host's user
// interface handler. It shows no menus, toolbars or context menu of the control, and refuses
// the keys of `key_refused`.
class BrowserSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDocHostUIHandler,
                          public IDocHostShowUI {
public:
    explicit BrowserSite(HWND window) : window_(window) {}
    // The window is going: the control gets no window from here on.
    void detach() { window_ = nullptr; }
    // The object the frame's keys go to while the control is active (null when none).
    IOleInPlaceActiveObject* active_object() const { return active_.get(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow (of the in-place site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return window_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
    // IOleInPlaceUIWindow / IOleInPlaceFrame: no menus, borders or status line of the control
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
    // IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, const GUID*, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override;
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override;
    // IDocHostShowUI: the page's messages are the control's; its help never opens.
    HRESULT STDMETHODCALLTYPE ShowMessage(HWND, LPOLESTR, LPOLESTR, DWORD, LPOLESTR, DWORD,
                                          LRESULT*) override {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override {
        return S_OK;
    }

private:
    ~BrowserSite() = default;
    LONG refs_ = 1;
    HWND window_;
    ComPtr<IOleInPlaceActiveObject> active_;
};

// The single browser window of the shell (class "TBrowserForm", titled with the address).
// A second address replaces the first in the same window, which comes to the front.
class TBrowserWindow final : public Window {
public:
    static constexpr const wchar_t* kClassName = L"TBrowserForm";
    static constexpr const char* kUnavailableText =
        "This page cannot be shown here: the system's web browser control is not available.";
    static constexpr const char* kLeftText = "This page went on to another address, which is not shown here.";
    static constexpr const char* kFailedText = "This page could not be loaded.";

    TBrowserWindow() = default;
    ~TBrowserWindow() override;

    // Shows the address of `rule`, which must be valid, owned by `owner`. False only when the
    // window itself could not be made.
    bool show(HWND owner, const vx::shell::BrowserRule& rule);
    // True while the control shows a page; otherwise the window shows `notice()`.
    bool control_shown() const { return browser_.get() != nullptr; }
    const std::string& notice() const { return notice_; }
    const vx::shell::BrowserRule* rule() const { return rule_ ? &*rule_ : nullptr; }

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool on_create(const CREATESTRUCTW&) override;
    void on_paint(HDC dc, const PAINTSTRUCT&) override;
    void on_size(UINT kind, int width, int height) override;
    void on_destroy() override;

private:
    static constexpr UINT kOutcomeMessage = WM_APP + 1;
    // Makes, embeds and connects the control; false (and nothing left over) when any step fails.
    bool embed_control();
    void remove_control();
    void show_notice(std::string text);
    void navigate();
    bool translate_key(MSG& msg);

    std::optional<vx::shell::BrowserRule> rule_;
    std::string notice_;
    bool ole_joined_ = false;
    ComPtr<BrowserSite> site_;
    ComPtr<BrowserEventSink> sink_;
    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
    DWORD cookie_ = 0;
    // Counts the navigations, so that an outcome posted for an address already replaced is
    // dropped.
    WPARAM generation_ = 0;
    ModelessRegistration keys_;
};

}  // namespace vx::win::browser
