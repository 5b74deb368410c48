#include "win/shell/query_form.h"

#include <algorithm>

#include "win/shell/launch_ids.h"
#include "win/util/handle.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

HINSTANCE module() {
    return GetModuleHandleW(nullptr);
}

// "~" is the macros' line break; a lone CR (the command text's own) would not break a line
// in DrawText, so every break becomes CR LF.
std::wstring prompt_text(const std::string& prompt) {
    std::wstring in = widen(prompt);
    std::wstring out;
    for (size_t i = 0; i < in.size(); ++i) {
        const wchar_t c = in[i];
        if (c == L'~' || (c == L'\r' && (i + 1 >= in.size() || in[i + 1] != L'\n'))) {
            out += L"\r\n";
        } else if (c == L'\n' && (i == 0 || in[i - 1] != L'\r')) {
            out += L"\r\n";
        } else {
            out.push_back(c);
        }
    }
    return out.empty() ? std::wstring(L" ") : out;
}

// Button captions treat "&" as a mnemonic mark; a choice shows its text as it is.
std::wstring button_label(const std::string& text) {
    std::wstring out;
    for (wchar_t c : widen(text)) {
        if (c == L'&') out.push_back(L'&');
        out.push_back(c);
    }
    return out;
}

constexpr UINT kTextFlags = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;

RECT rect_at(int x, int y, int w, int h) {
    return RECT{x, y, x + w, y + h};
}

void place(HWND control, const RECT& r) {
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

QueryLayout layout_query(QueryKind kind, SIZE text, const std::vector<int>& choice_text) {
    using L = QueryLayout;
    QueryLayout out;
    const int text_w = std::clamp<int>(text.cx, 1, L::kMaxTextWidth);
    const int text_h = std::max<int>(text.cy, 1);
    const int bx = L::kMargin + L::kPicture + L::kTail;
    const int bw = text_w + 2 * L::kPad;
    const int bh = std::max<int>(text_h + 2 * L::kPad, L::kPicture);
    out.balloon = rect_at(bx, L::kMargin, bw, bh);
    out.text = rect_at(bx + L::kPad, L::kMargin + L::kPad, text_w, text_h);
    int right = out.balloon.right;
    int y = std::max<int>(out.balloon.bottom, L::kMargin + L::kPicture) + L::kGap;

    if (kind == QueryKind::Text) {
        out.edit = rect_at(bx, y, std::max(bw, 200), L::kEditHeight);
        right = std::max<int>(right, out.edit.right);
        y = out.edit.bottom + L::kGap;
    }
    if (kind == QueryKind::Choice) {
        const int row_limit = bx + std::max(bw, 300);
        int x = bx;
        bool row_used = false;
        const size_t n = std::min(choice_text.size(), L::kMaxChoices);
        for (size_t i = 0; i < n; ++i) {
            const int w = std::max(choice_text[i], 0) + L::kChoiceExtra;
            if (row_used && x + w > row_limit) {
                x = bx;
                y += L::kChoiceHeight + L::kGap / 2;
            }
            out.choices.push_back(rect_at(x, y, w, L::kChoiceHeight));
            right = std::max(right, x + w);
            x += w + L::kGap / 2;
            row_used = true;
        }
        if (row_used) y += L::kChoiceHeight + L::kGap;
    }
    const int buttons = kind == QueryKind::Wait ? 0 : kind == QueryKind::Choice ? 1 : 2;
    if (buttons > 0) {
        const int row_w = buttons * L::kButtonWidth + (buttons - 1) * L::kGap;
        right = std::max(right, bx + row_w);
        int x = right - row_w;
        for (int i = 0; i < buttons; ++i) {
            out.buttons.push_back(rect_at(x, y, L::kButtonWidth, L::kButtonHeight));
            x += L::kButtonWidth + L::kGap;
        }
        y += L::kButtonHeight;
    } else {
        y -= L::kGap;
    }
    out.client = SIZE{right + L::kMargin, y + L::kMargin};
    return out;
}

TQueryForm::~TQueryForm() = default;

INT_PTR TQueryForm::run(HWND owner) {
    return run_modal(module(), IDD_QUERY, owner);
}

HWND TQueryForm::show_modeless(HWND owner) {
    const HWND made = create_modeless(module(), MAKEINTRESOURCEW(IDD_QUERY), owner);
    if (made) {
        ShowWindow(made, SW_SHOWNORMAL);
        UpdateWindow(made);
    }
    return made;
}

bool TQueryForm::on_init() {
    SetWindowTextW(hwnd(), widen(r_.caption).c_str());
    font_ = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    prompt_ = prompt_text(r_.prompt);
    SendMessageW(item(IDC_QUERY_PICTURE), STM_SETICON,
                 reinterpret_cast<WPARAM>(
                     LoadIconW(nullptr, r_.kind == QueryKind::Wait ? IDI_INFORMATION : IDI_QUESTION)),
                 0);

    // Measure with the dialog's own font, as the balloon draws with it.
    SIZE text{};
    std::vector<int> choice_widths;
    if (const unique_window_dc window_dc = get_window_dc(hwnd())) {
        const HDC dc = window_dc.get().dc;
        const HGDIOBJ old = font_ ? SelectObject(dc, font_) : nullptr;
        RECT r{0, 0, QueryLayout::kMaxTextWidth, 0};
        DrawTextW(dc, prompt_.c_str(), static_cast<int>(prompt_.size()), &r, kTextFlags | DT_CALCRECT);
        text = SIZE{r.right - r.left, r.bottom - r.top};
        for (size_t i = 0; i < std::min(r_.choices.size(), QueryLayout::kMaxChoices); ++i) {
            const std::wstring c = widen(r_.choices[i]);
            SIZE s{};
            GetTextExtentPoint32W(dc, c.c_str(), static_cast<int>(c.size()), &s);
            choice_widths.push_back(s.cx);
        }
        if (old) SelectObject(dc, old);
    }
    layout_ = layout_query(r_.kind, text, choice_widths);

    switch (r_.kind) {
        case QueryKind::YesNo:
            SetWindowTextW(item(IDOK), L"&Yes");
            SetWindowTextW(item(IDCANCEL), L"&No");
            break;
        case QueryKind::OkCancel:
            SetWindowTextW(item(IDOK), L"Ok");
            break;
        case QueryKind::Text:
            set_item_text(IDC_QUERY_EDIT, r_.initial);
            break;
        case QueryKind::Choice:
            for (size_t i = 0; i < layout_.choices.size(); ++i) {
                const RECT& r = layout_.choices[i];
                const HWND b = CreateWindowExW(
                    0, L"BUTTON", button_label(r_.choices[i]).c_str(),
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), r.left,
                    r.top, r.right - r.left, r.bottom - r.top, hwnd(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_QUERY_CHOICE + i)), module(), nullptr);
                if (b && font_) SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
            }
            break;
        case QueryKind::Wait: {
            // No border icons: nothing on the title bar closes it before its time.
            const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
            SetWindowLongW(hwnd(), GWL_STYLE, style & ~WS_SYSMENU);
            break;
        }
    }
    arrange();

    if (r_.kind == QueryKind::Text) {
        SetFocus(item(IDC_QUERY_EDIT));
        SendMessageW(item(IDC_QUERY_EDIT), EM_SETSEL, 0, -1);
        return true;
    }
    if (r_.kind == QueryKind::Choice && !layout_.choices.empty()) {
        SendMessageW(hwnd(), DM_SETDEFID, IDC_QUERY_CHOICE, 0);
        SetFocus(item(IDC_QUERY_CHOICE));
    }
    return true;
}

void TQueryForm::arrange() {
    const bool edit = r_.kind == QueryKind::Text;
    ShowWindow(item(IDC_QUERY_EDIT), edit ? SW_SHOW : SW_HIDE);
    if (edit) place(item(IDC_QUERY_EDIT), layout_.edit);
    place(item(IDC_QUERY_PICTURE),
          rect_at(QueryLayout::kMargin, QueryLayout::kMargin, QueryLayout::kPicture, QueryLayout::kPicture));

    const HWND ok = item(IDOK);
    const HWND cancel = item(IDCANCEL);
    if (layout_.buttons.size() == 2) {
        place(ok, layout_.buttons[0]);
        place(cancel, layout_.buttons[1]);
    } else {
        ShowWindow(ok, SW_HIDE);
        EnableWindow(ok, FALSE);
        if (layout_.buttons.size() == 1) {
            place(cancel, layout_.buttons[0]);
        } else {
            ShowWindow(cancel, SW_HIDE);
        }
    }

    // The window around the client area, centred on the owner (or the screen).
    RECT frame{0, 0, layout_.client.cx, layout_.client.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_EXSTYLE)));
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    RECT area{};
    const HWND owner = GetWindow(hwnd(), GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &area))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(hwnd(), nullptr, area.left + ((area.right - area.left) - w) / 2,
                 area.top + ((area.bottom - area.top) - h) / 2, w, h,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TQueryForm::on_ok() {
    switch (r_.kind) {
        case QueryKind::Text:
            r_.answer = item_text(IDC_QUERY_EDIT);
            return true;
        case QueryKind::Choice:
        case QueryKind::Wait:
            // Only a choice button answers; Enter on the window itself answers nothing.
            return false;
        default:
            return true;
    }
}

bool TQueryForm::on_command(int id, int code, HWND) {
    if (r_.kind != QueryKind::Choice || id < IDC_QUERY_CHOICE || code != BN_CLICKED) return false;
    const size_t index = static_cast<size_t>(id - IDC_QUERY_CHOICE);
    if (index >= layout_.choices.size()) return false;
    r_.chosen = index;
    r_.answer = r_.choices[index];
    end(IDOK);
    return true;
}

INT_PTR TQueryForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(hwnd(), &ps)) {
            paint(dc);
            EndPaint(hwnd(), &ps);
        }
        return TRUE;
    }
    return Dialog::handle_message(message, wparam, lparam);
}

void TQueryForm::paint(HDC dc) {
    const RECT& b = layout_.balloon;
    const HBRUSH fill = GetSysColorBrush(COLOR_INFOBK);
    const HGDIOBJ old_brush = SelectObject(dc, fill);
    const HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    // The tail first: the balloon drawn over it hides the tail's edge inside the balloon.
    const int mid = QueryLayout::kMargin + QueryLayout::kPicture / 2;
    const POINT tail[3] = {{b.left + 2, mid - 6},
                           {QueryLayout::kMargin + QueryLayout::kPicture + 2, mid},
                           {b.left + 2, mid + 6}};
    Polygon(dc, tail, 3);
    RoundRect(dc, b.left, b.top, b.right, b.bottom, 14, 14);
    // The tail's inner edge, covered by the outline of the balloon, is filled again.
    if (const unique_hpen fill_pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_INFOBK))); fill_pen) {
        const scoped_select pen(dc, fill_pen.get());
        MoveToEx(dc, b.left, mid - 5, nullptr);
        LineTo(dc, b.left, mid + 6);
    }
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);

    const HGDIOBJ old_font = font_ ? SelectObject(dc, font_) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT t = layout_.text;
    DrawTextW(dc, prompt_.c_str(), static_cast<int>(prompt_.size()), &t, kTextFlags);
    if (old_font) SelectObject(dc, old_font);
}

// The prompter.

void QueryPrompter::alert(const std::string& caption, const std::string& text) {
    security::WinPrompter(owner()).alert(caption, text);
}

bool QueryPrompter::ask_yes_no(const std::string& caption, const std::string& question) {
    QueryRequest r;
    r.kind = QueryKind::YesNo;
    r.caption = caption;
    r.prompt = question;
    TQueryForm form(r);
    return form.run(owner()) == IDOK;
}

bool QueryPrompter::ask_ok_cancel(const std::string& caption, const std::string& question) {
    QueryRequest r;
    r.kind = QueryKind::OkCancel;
    r.caption = caption;
    r.prompt = question;
    TQueryForm form(r);
    return form.run(owner()) == IDOK;
}

std::optional<std::string> QueryPrompter::ask_text(const std::string& caption, const std::string& prompt,
                                                   const std::string& initial, bool secret) {
    // Passwords keep the password dialog with its lock.
    if (secret) return security::WinPrompter(owner()).ask_text(caption, prompt, initial, true);
    QueryRequest r;
    r.kind = QueryKind::Text;
    r.caption = caption;
    r.prompt = prompt;
    r.initial = initial;
    TQueryForm form(r);
    if (form.run(owner()) != IDOK) return std::nullopt;
    return r.answer;
}

std::optional<size_t> QueryPrompter::ask_choice(const std::string& caption, const std::string& prompt,
                                                const std::vector<std::string>& choices) {
    if (choices.empty()) return std::nullopt;
    QueryRequest r;
    r.kind = QueryKind::Choice;
    r.caption = caption;
    r.prompt = prompt;
    r.choices = choices;
    TQueryForm form(r);
    if (form.run(owner()) != IDOK) return std::nullopt;
    return r.chosen;
}

void QueryPrompter::show_wait(const std::string& message, int delay_ms) {
    const HWND main = owner();
    QueryRequest r;
    r.kind = QueryKind::Wait;
    r.prompt = message;
    const bool was_enabled = main && IsWindowEnabled(main);
    if (was_enabled) EnableWindow(main, FALSE);
    {
        TQueryForm form(r);
        form.show_modeless(main);
        const DWORD start = GetTickCount();
        const DWORD total = static_cast<DWORD>(std::max(delay_ms, 0));
        bool quit = false;
        int quit_code = 0;
        for (;;) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= total || quit) break;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, total - elapsed, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quit = true;
                    quit_code = static_cast<int>(msg.wParam);
                    break;
                }
                if (!form.hwnd() || !IsDialogMessageW(form.hwnd(), &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
        }
        // The program's own loop must still see a quit request.
        if (quit) PostQuitMessage(quit_code);
    }
    if (was_enabled) EnableWindow(main, TRUE);
}

}  // namespace vx::win::shell
