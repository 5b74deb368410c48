#include "win/help/help_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>

#include "help/topic_table.h"
#include "help/topics.h"
#include "win/util/text.h"
#include "win/util/trace.h"
#include "win/util/ui_font.h"

namespace vx::win::help {
namespace {

using vx::help::BlockKind;
using vx::help::Topic;

// The rich edit class of the newest library the system has; null when there is none. The
// library stays loaded to the end of the process, since its controls may live that long.
const wchar_t* rich_edit_class() {
    static const wchar_t* const name = []() -> const wchar_t* {
        if (LoadLibraryW(L"Msftedit.dll")) return MSFTEDIT_CLASS;
        if (LoadLibraryW(L"Riched20.dll")) return RICHEDIT_CLASSW;
        return nullptr;
    }();
    return name;
}

// The text control's own context menu (copy, paste, select all, and whatever a system adds)
// is no part of the help.
LRESULT CALLBACK no_context_menu(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                 DWORD_PTR) {
    if (message == WM_CONTEXTMENU) return 0;
    return DefSubclassProc(window, message, wparam, lparam);
}

void select(HWND rich, LONG first, LONG last) {
    CHARRANGE range{first, last};
    SendMessageW(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void format_chars(HWND rich, LONG first, LONG last, DWORD mask, DWORD effects, LONG height = 0,
                  COLORREF color = 0) {
    select(rich, first, last);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = mask;
    cf.dwEffects = effects;
    cf.yHeight = height;
    cf.crTextColor = color;
    SendMessageW(rich, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

void format_paragraph(HWND rich, LONG first, LONG last, LONG indent, LONG offset, LONG space_before,
                      LONG space_after) {
    select(rich, first, last);
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_STARTINDENT | PFM_OFFSET | PFM_SPACEBEFORE | PFM_SPACEAFTER;
    pf.dySpaceBefore = space_before;
    pf.dxStartIndent = indent;
    pf.dxOffset = offset;
    pf.dySpaceAfter = space_after;
    SendMessageW(rich, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

}  // namespace

THelpWindow::~THelpWindow() {
    if (hwnd()) DestroyWindow(hwnd());
}

bool THelpWindow::show(HWND owner, int topic) {
    if (!hwnd()) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        if (!register_class(wc)) return false;
        RECT work{0, 0, 1024, 768};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int width = 520, height = std::min<int>(560, work.bottom - work.top - 40);
        if (!create(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    std::max<int>(work.left, work.right - width - 24), work.top + 24, width, height, owner,
                    nullptr, wc.hInstance))
            return false;
        history_.clear();
        shown_ = 0;
    }
    go(topic);
    ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd());
    SetActiveWindow(hwnd());
    if (text_) SetFocus(text_);
    return true;
}

void THelpWindow::back() {
    if (history_.empty()) return;
    const int topic = history_.back();
    history_.pop_back();
    display(topic);
}

void THelpWindow::contents() { go(vx::help::kContentsTopic); }

void THelpWindow::go(int topic) {
    int target = vx::help::resolve_topic(topic);
    if (!vx::help::find_topic(target)) {
        log(LogLevel::Warning, "help: there is no topic " + std::to_string(topic) + "; the contents are shown");
        target = vx::help::kContentsTopic;
    }
    if (target == shown_) return;
    if (shown_) history_.push_back(shown_);
    display(target);
}

bool THelpWindow::on_create(const CREATESTRUCTW&) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto button = [&](const wchar_t* caption, int id) {
        HWND b = CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
                                 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(ui_font()), FALSE);
        return b;
    };
    back_button_ = button(L"&Back", IDC_BUTTON_HELP_BACK);
    contents_button_ = button(L"&Contents", IDC_BUTTON_HELP_CONTENTS);
    make_text_control();
    if (!text_ || !back_button_ || !contents_button_) return false;
    keys_ = ModelessRegistration(hwnd());
    return true;
}

void THelpWindow::make_text_control() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
    const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDIT_HELP_TEXT));
    if (want_rich_) {
        if (const wchar_t* cls = rich_edit_class())
            text_ = CreateWindowExW(WS_EX_CLIENTEDGE, cls, L"", style | ES_NOHIDESEL, 0, 0, 0, 0, hwnd(), id,
                                    instance, nullptr);
        if (!text_) log(LogLevel::Warning, "help: no rich edit control; the topics are shown as plain text");
    }
    rich_ = text_ != nullptr;
    if (!text_)
        text_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 0, 0, 0, 0, hwnd(), id, instance, nullptr);
    if (!text_) return;
    SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_font()), FALSE);
    SetWindowSubclass(text_, no_context_menu, 1, 0);
    if (rich_) {
        // Typed addresses never become links; only the topics' own links are.
        SendMessageW(text_, EM_AUTOURLDETECT, FALSE, 0);
        SendMessageW(text_, EM_SETEVENTMASK, 0, ENM_LINK);
        SendMessageW(text_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
    }
}

void THelpWindow::display(int number) {
    const Topic* topic = vx::help::find_topic(number);
    if (!topic || !text_) return;
    shown_ = number;
    links_.clear();
    EnableWindow(back_button_, history_.empty() ? FALSE : TRUE);

    if (!rich_) {
        SetWindowTextW(text_, widen(vx::help::plain_text(*topic)).c_str());
        return;
    }
    // The text is put in whole, each paragraph ending in a CR as the control counts it, and then
    // formatted by character ranges.
    struct Range {
        LONG first, last;
        BlockKind kind;
    };
    std::wstring text = widen(topic->title);
    const LONG title_end = static_cast<LONG>(text.size());
    std::vector<Range> blocks;
    for (const vx::help::Block& block : topic->blocks) {
        text += L'\r';
        const LONG first = static_cast<LONG>(text.size());
        if (block.kind == BlockKind::Bullet) text += L"\x2022\t";
        for (const vx::help::Span& span : block.spans) {
            const LONG at = static_cast<LONG>(text.size());
            text += widen(span.text);
            if (span.link) links_.push_back({at, static_cast<LONG>(text.size()), span.link});
        }
        blocks.push_back({first, static_cast<LONG>(text.size()), block.kind});
    }
    SendMessageW(text_, WM_SETREDRAW, FALSE, 0);
    SetWindowTextW(text_, text.c_str());
    // Sizes in twips: the title 12 points, headings bold with room above; paragraphs 6 points
    // apart, bullets close together, hanging from a quarter inch.
    format_chars(text_, 0, title_end, CFM_BOLD | CFM_SIZE, CFE_BOLD, 240);
    format_paragraph(text_, 0, title_end, 0, 0, 0, 160);
    for (const Range& r : blocks) {
        const bool heading = r.kind == BlockKind::Heading, bullet = r.kind == BlockKind::Bullet;
        if (heading) format_chars(text_, r.first, r.last, CFM_BOLD, CFE_BOLD);
        format_paragraph(text_, r.first, r.last, bullet ? 360 : 0, bullet ? 240 : 0, heading ? 120 : 0,
                         bullet ? 60 : 120);
    }
    for (const Link& l : links_)
        format_chars(text_, l.first, l.last, CFM_LINK | CFM_UNDERLINE | CFM_COLOR, CFE_LINK | CFE_UNDERLINE, 0,
                     RGB(0, 0, 160));
    select(text_, 0, 0);
    SendMessageW(text_, WM_VSCROLL, SB_TOP, 0);
    SendMessageW(text_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(text_, nullptr, TRUE);
}

bool THelpWindow::on_command(int id, int code, HWND) {
    switch (id) {
        case IDC_BUTTON_HELP_BACK:
            if (code == BN_CLICKED) back();
            return true;
        case IDC_BUTTON_HELP_CONTENTS:
            if (code == BN_CLICKED) contents();
            return true;
        case IDCANCEL:  // Escape
            DestroyWindow(hwnd());
            return true;
        default:
            return false;
    }
}

LRESULT THelpWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->hwndFrom == text_ && header->code == EN_LINK) {
            const auto* link = reinterpret_cast<const ENLINK*>(lparam);
            if (link->msg == WM_LBUTTONUP) {
                for (const Link& l : links_)
                    if (link->chrg.cpMin < l.last && link->chrg.cpMax > l.first) {
                        // The control is inside its own mouse handling: replace its text after.
                        PostMessageW(hwnd(), kGoMessage, static_cast<WPARAM>(l.topic), 0);
                        break;
                    }
            }
            // Every mouse message over a link is the window's: the control does nothing more.
            return link->msg == WM_SETCURSOR ? 0 : 1;
        }
    }
    if (message == kGoMessage) {
        go(static_cast<int>(wparam));
        return 0;
    }
    if (message == WM_SETFOCUS && text_) {
        SetFocus(text_);
        return 0;
    }
    return Window::handle_message(message, wparam, lparam);
}

void THelpWindow::on_size(UINT, int width, int height) {
    constexpr int margin = 6, button_w = 84, button_h = 26;
    if (back_button_) MoveWindow(back_button_, margin, margin, button_w, button_h, TRUE);
    if (contents_button_) MoveWindow(contents_button_, margin * 2 + button_w, margin, button_w, button_h, TRUE);
    const int top = margin * 2 + button_h;
    if (text_) MoveWindow(text_, margin, top, std::max(0, width - 2 * margin), std::max(0, height - top - margin), TRUE);
}

void THelpWindow::on_destroy() {
    keys_ = ModelessRegistration();
    if (text_) RemoveWindowSubclass(text_, no_context_menu, 1);
    text_ = back_button_ = contents_button_ = nullptr;
    links_.clear();
    history_.clear();
    shown_ = 0;
}

}  // namespace vx::win::help
