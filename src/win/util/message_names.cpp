// Names of the window messages that show up in traces. Taken from the headers' own constants so
// a value can never be mistyped; sorted at compile time for the lookup.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "win/util/trace.h"

namespace vx::win {
namespace {

struct MessageName {
    UINT id;
    const char* name;
};

#define VX_MSG(m) \
    MessageName { \
        m, #m     \
    }

constexpr auto make_table() {
    std::array table{
        VX_MSG(WM_NULL),
        VX_MSG(WM_CREATE),
        VX_MSG(WM_DESTROY),
        VX_MSG(WM_MOVE),
        VX_MSG(WM_SIZE),
        VX_MSG(WM_ACTIVATE),
        VX_MSG(WM_SETFOCUS),
        VX_MSG(WM_KILLFOCUS),
        VX_MSG(WM_ENABLE),
        VX_MSG(WM_SETREDRAW),
        VX_MSG(WM_SETTEXT),
        VX_MSG(WM_GETTEXT),
        VX_MSG(WM_GETTEXTLENGTH),
        VX_MSG(WM_PAINT),
        VX_MSG(WM_CLOSE),
        VX_MSG(WM_QUERYENDSESSION),
        VX_MSG(WM_QUIT),
        VX_MSG(WM_QUERYOPEN),
        VX_MSG(WM_ERASEBKGND),
        VX_MSG(WM_SYSCOLORCHANGE),
        VX_MSG(WM_ENDSESSION),
        VX_MSG(WM_SHOWWINDOW),
        VX_MSG(WM_SETTINGCHANGE),
        VX_MSG(WM_DEVMODECHANGE),
        VX_MSG(WM_ACTIVATEAPP),
        VX_MSG(WM_FONTCHANGE),
        VX_MSG(WM_TIMECHANGE),
        VX_MSG(WM_CANCELMODE),
        VX_MSG(WM_SETCURSOR),
        VX_MSG(WM_MOUSEACTIVATE),
        VX_MSG(WM_CHILDACTIVATE),
        VX_MSG(WM_QUEUESYNC),
        VX_MSG(WM_GETMINMAXINFO),
        VX_MSG(WM_PAINTICON),
        VX_MSG(WM_ICONERASEBKGND),
        VX_MSG(WM_NEXTDLGCTL),
        VX_MSG(WM_SPOOLERSTATUS),
        VX_MSG(WM_DRAWITEM),
        VX_MSG(WM_MEASUREITEM),
        VX_MSG(WM_DELETEITEM),
        VX_MSG(WM_VKEYTOITEM),
        VX_MSG(WM_CHARTOITEM),
        VX_MSG(WM_SETFONT),
        VX_MSG(WM_GETFONT),
        VX_MSG(WM_SETHOTKEY),
        VX_MSG(WM_GETHOTKEY),
        VX_MSG(WM_QUERYDRAGICON),
        VX_MSG(WM_COMPAREITEM),
        VX_MSG(WM_GETOBJECT),
        VX_MSG(WM_COMPACTING),
        VX_MSG(WM_WINDOWPOSCHANGING),
        VX_MSG(WM_WINDOWPOSCHANGED),
        VX_MSG(WM_POWER),
        VX_MSG(WM_COPYDATA),
        VX_MSG(WM_CANCELJOURNAL),
        VX_MSG(WM_NOTIFY),
        VX_MSG(WM_INPUTLANGCHANGEREQUEST),
        VX_MSG(WM_INPUTLANGCHANGE),
        VX_MSG(WM_TCARD),
        VX_MSG(WM_HELP),
        VX_MSG(WM_USERCHANGED),
        VX_MSG(WM_NOTIFYFORMAT),
        VX_MSG(WM_CONTEXTMENU),
        VX_MSG(WM_STYLECHANGING),
        VX_MSG(WM_STYLECHANGED),
        VX_MSG(WM_DISPLAYCHANGE),
        VX_MSG(WM_GETICON),
        VX_MSG(WM_SETICON),
        VX_MSG(WM_NCCREATE),
        VX_MSG(WM_NCDESTROY),
        VX_MSG(WM_NCCALCSIZE),
        VX_MSG(WM_NCHITTEST),
        VX_MSG(WM_NCPAINT),
        VX_MSG(WM_NCACTIVATE),
        VX_MSG(WM_GETDLGCODE),
        VX_MSG(WM_SYNCPAINT),
        VX_MSG(WM_NCMOUSEMOVE),
        VX_MSG(WM_NCLBUTTONDOWN),
        VX_MSG(WM_NCLBUTTONUP),
        VX_MSG(WM_NCLBUTTONDBLCLK),
        VX_MSG(WM_NCRBUTTONDOWN),
        VX_MSG(WM_NCRBUTTONUP),
        VX_MSG(WM_NCRBUTTONDBLCLK),
        VX_MSG(WM_NCMBUTTONDOWN),
        VX_MSG(WM_NCMBUTTONUP),
        VX_MSG(WM_NCMBUTTONDBLCLK),
        VX_MSG(WM_INPUT),
        VX_MSG(WM_KEYDOWN),
        VX_MSG(WM_KEYUP),
        VX_MSG(WM_CHAR),
        VX_MSG(WM_DEADCHAR),
        VX_MSG(WM_SYSKEYDOWN),
        VX_MSG(WM_SYSKEYUP),
        VX_MSG(WM_SYSCHAR),
        VX_MSG(WM_SYSDEADCHAR),
        VX_MSG(WM_UNICHAR),
        VX_MSG(WM_IME_STARTCOMPOSITION),
        VX_MSG(WM_IME_ENDCOMPOSITION),
        VX_MSG(WM_IME_COMPOSITION),
        VX_MSG(WM_INITDIALOG),
        VX_MSG(WM_COMMAND),
        VX_MSG(WM_SYSCOMMAND),
        VX_MSG(WM_TIMER),
        VX_MSG(WM_HSCROLL),
        VX_MSG(WM_VSCROLL),
        VX_MSG(WM_INITMENU),
        VX_MSG(WM_INITMENUPOPUP),
        VX_MSG(WM_MENUSELECT),
        VX_MSG(WM_MENUCHAR),
        VX_MSG(WM_ENTERIDLE),
        VX_MSG(WM_MENURBUTTONUP),
        VX_MSG(WM_MENUDRAG),
        VX_MSG(WM_MENUGETOBJECT),
        VX_MSG(WM_UNINITMENUPOPUP),
        VX_MSG(WM_MENUCOMMAND),
        VX_MSG(WM_CHANGEUISTATE),
        VX_MSG(WM_UPDATEUISTATE),
        VX_MSG(WM_QUERYUISTATE),
        VX_MSG(WM_CTLCOLORMSGBOX),
        VX_MSG(WM_CTLCOLOREDIT),
        VX_MSG(WM_CTLCOLORLISTBOX),
        VX_MSG(WM_CTLCOLORBTN),
        VX_MSG(WM_CTLCOLORDLG),
        VX_MSG(WM_CTLCOLORSCROLLBAR),
        VX_MSG(WM_CTLCOLORSTATIC),
        VX_MSG(WM_MOUSEMOVE),
        VX_MSG(WM_LBUTTONDOWN),
        VX_MSG(WM_LBUTTONUP),
        VX_MSG(WM_LBUTTONDBLCLK),
        VX_MSG(WM_RBUTTONDOWN),
        VX_MSG(WM_RBUTTONUP),
        VX_MSG(WM_RBUTTONDBLCLK),
        VX_MSG(WM_MBUTTONDOWN),
        VX_MSG(WM_MBUTTONUP),
        VX_MSG(WM_MBUTTONDBLCLK),
        VX_MSG(WM_MOUSEWHEEL),
        VX_MSG(WM_XBUTTONDOWN),
        VX_MSG(WM_XBUTTONUP),
        VX_MSG(WM_XBUTTONDBLCLK),
        VX_MSG(WM_MOUSEHWHEEL),
        VX_MSG(WM_PARENTNOTIFY),
        VX_MSG(WM_ENTERMENULOOP),
        VX_MSG(WM_EXITMENULOOP),
        VX_MSG(WM_NEXTMENU),
        VX_MSG(WM_SIZING),
        VX_MSG(WM_CAPTURECHANGED),
        VX_MSG(WM_MOVING),
        VX_MSG(WM_POWERBROADCAST),
        VX_MSG(WM_DEVICECHANGE),
        VX_MSG(WM_MDICREATE),
        VX_MSG(WM_MDIDESTROY),
        VX_MSG(WM_MDIACTIVATE),
        VX_MSG(WM_MDIRESTORE),
        VX_MSG(WM_MDINEXT),
        VX_MSG(WM_MDIMAXIMIZE),
        VX_MSG(WM_MDITILE),
        VX_MSG(WM_MDICASCADE),
        VX_MSG(WM_MDIICONARRANGE),
        VX_MSG(WM_MDIGETACTIVE),
        VX_MSG(WM_MDISETMENU),
        VX_MSG(WM_ENTERSIZEMOVE),
        VX_MSG(WM_EXITSIZEMOVE),
        VX_MSG(WM_DROPFILES),
        VX_MSG(WM_MDIREFRESHMENU),
        VX_MSG(WM_IME_SETCONTEXT),
        VX_MSG(WM_IME_NOTIFY),
        VX_MSG(WM_IME_CONTROL),
        VX_MSG(WM_IME_COMPOSITIONFULL),
        VX_MSG(WM_IME_SELECT),
        VX_MSG(WM_IME_CHAR),
        VX_MSG(WM_IME_REQUEST),
        VX_MSG(WM_IME_KEYDOWN),
        VX_MSG(WM_IME_KEYUP),
        VX_MSG(WM_MOUSEHOVER),
        VX_MSG(WM_MOUSELEAVE),
        VX_MSG(WM_NCMOUSEHOVER),
        VX_MSG(WM_NCMOUSELEAVE),
        VX_MSG(WM_CUT),
        VX_MSG(WM_COPY),
        VX_MSG(WM_PASTE),
        VX_MSG(WM_CLEAR),
        VX_MSG(WM_UNDO),
        VX_MSG(WM_RENDERFORMAT),
        VX_MSG(WM_RENDERALLFORMATS),
        VX_MSG(WM_DESTROYCLIPBOARD),
        VX_MSG(WM_DRAWCLIPBOARD),
        VX_MSG(WM_PAINTCLIPBOARD),
        VX_MSG(WM_VSCROLLCLIPBOARD),
        VX_MSG(WM_SIZECLIPBOARD),
        VX_MSG(WM_ASKCBFORMATNAME),
        VX_MSG(WM_CHANGECBCHAIN),
        VX_MSG(WM_HSCROLLCLIPBOARD),
        VX_MSG(WM_QUERYNEWPALETTE),
        VX_MSG(WM_PALETTEISCHANGING),
        VX_MSG(WM_PALETTECHANGED),
        VX_MSG(WM_HOTKEY),
        VX_MSG(WM_PRINT),
        VX_MSG(WM_PRINTCLIENT),
        VX_MSG(WM_APPCOMMAND),
        VX_MSG(WM_THEMECHANGED),
    };
    std::sort(table.begin(), table.end(),
              [](const MessageName& a, const MessageName& b) { return a.id < b.id; });
    return table;
}

#undef VX_MSG

constexpr auto kTable = make_table();

constexpr bool ids_unique() {
    for (size_t i = 1; i < kTable.size(); ++i)
        if (kTable[i - 1].id == kTable[i].id) return false;
    return true;
}
static_assert(ids_unique(), "two names for one message number: keep only the usual one");

}  // namespace

const char* message_name(UINT message) {
    const auto it = std::lower_bound(kTable.begin(), kTable.end(), message,
                                     [](const MessageName& m, UINT id) { return m.id < id; });
    return it != kTable.end() && it->id == message ? it->name : nullptr;
}

std::string describe_message(UINT message) {
    if (const char* name = message_name(message)) return name;
    char buf[32];
    if (message >= WM_APP && message <= 0xBFFF)
        std::snprintf(buf, sizeof buf, "WM_APP+%u", message - WM_APP);
    else if (message >= WM_USER && message < WM_APP)
        std::snprintf(buf, sizeof buf, "WM_USER+%u", message - WM_USER);
    else
        std::snprintf(buf, sizeof buf, "0x%04X", message);
    return buf;
}

}  // namespace vx::win
