#include "win/editor/color_form.h"

#include <algorithm>
#include <string>

#include "model/palette_file.h"
#include "util/file_io.h"
#include "win/editor/popup_palette.h"
#include "win/imaging/picture.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::editor {
namespace {

constexpr const wchar_t* kGridClass = L"VxPaletteGrid";
constexpr const char* kLoadPaletteTitle = "Load Palette";
constexpr vx::editor::Grid kGrid{16, 16, 10};
// The grid's cells start one pixel in, so the selection frame of an edge cell shows whole.
constexpr int kGridInset = 1;
constexpr int kGridClient = 16 * 10 + 2 * kGridInset;

constexpr int kColorBars[3] = {IDC_COLOR_RED_BAR, IDC_COLOR_GREEN_BAR, IDC_COLOR_BLUE_BAR};
constexpr int kColorEdits[3] = {IDC_COLOR_RED_EDIT, IDC_COLOR_GREEN_EDIT, IDC_COLOR_BLUE_EDIT};

bool has_extension(const std::string& path) {
    return file_name_of(path).find('.') != std::string::npos;
}

}  // namespace

// The 256 cells: a window of ours, so its messages go through the thunk that keeps exceptions
// inside; the form does the work.
class TColorForm::Grid final : public Window {
public:
    explicit Grid(TColorForm& form) : form_(form) {}
    bool open(HWND placeholder) {
        WNDCLASSEXW wc{};
        wc.style = CS_DBLCLKS;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kGridClass;
        if (!register_class(wc)) return false;
        const HWND dialog = GetParent(placeholder);
        RECT r{};
        GetWindowRect(placeholder, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        // The template gives a place in dialog units; the cells want their size in pixels.
        RECT frame{0, 0, kGridClient, kGridClient};
        AdjustWindowRectEx(&frame, WS_CHILD, FALSE, WS_EX_CLIENTEDGE);
        if (!create(WS_EX_CLIENTEDGE, kGridClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left, r.top,
                    frame.right - frame.left, frame.bottom - frame.top, dialog,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_COLOR_GRID))))
            return false;
        // In the placeholder's place in the tab order, then the placeholder goes.
        SetWindowPos(hwnd(), placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        DestroyWindow(placeholder);
        return true;
    }

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (const auto handled = form_.grid_message(hwnd(), message, wparam, lparam)) return *handled;
        return Window::handle_message(message, wparam, lparam);
    }
    void on_paint(HDC dc, const PAINTSTRUCT&) override { form_.paint_grid(dc); }

private:
    TColorForm& form_;
};

TColorForm::TColorForm(ColorFormValues& values) : values_(values), editor_(values.palette) {
    choose_load_file = [this](HWND owner, std::string& dir, std::string& file) {
        return select_image(owner, kLoadPaletteTitle, dir, kLoadPaletteMask, values_.restricted,
                            values_.drives, true, file);
    };
    choose_save_file = [this](HWND owner, std::string& dir, std::string& file) {
        return select_new_file(owner, kSavePaletteTitle, dir, kSavePaletteMask, values_.restricted,
                               values_.drives, file);
    };
    picture_colors = [](const std::string& path, std::string* error) {
        return imaging::load_picture_palette(path, error);
    };
    show_help = [](int context) { log_info("palette editor: help topic " + std::to_string(context)); };
}

TColorForm::~TColorForm() = default;

INT_PTR TColorForm::run(HWND owner) {
    return run_modal(GetModuleHandleW(nullptr), IDD_COLOR_FORM, owner);
}

POINT TColorForm::cell_center(int entry) const {
    const port::Rect r = kGrid.rect(kGrid.cell_of(entry));
    return {kGridInset + (r.left + r.right) / 2, kGridInset + (r.top + r.bottom) / 2};
}

int TColorForm::bar(int id) const {
    return GetScrollPos(item(id), SB_CTL);
}

bool TColorForm::on_init() {
    // The copy that Cancel and the reset buttons go back to is the palette as the dialog opens.
    editor_ = vx::editor::PaletteEditor(values_.palette);
    grid_ = std::make_unique<Grid>(*this);
    if (!grid_->open(item(IDC_COLOR_GRID))) return false;
    for (int id : {IDC_COLOR_RED_BAR, IDC_COLOR_GREEN_BAR, IDC_COLOR_BLUE_BAR, IDC_COLOR_BRIGHT_BAR}) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 255, 0, 0, 0};
        SetScrollInfo(item(id), SB_CTL, &info, FALSE);
    }
    for (int id : {IDC_COLOR_RED_EDIT, IDC_COLOR_GREEN_EDIT, IDC_COLOR_BLUE_EDIT, IDC_COLOR_BRIGHT_EDIT})
        SendMessageW(item(id), EM_LIMITTEXT, 3, 0);
    gdi_palette_ = make_logical_palette(editor_.palette());
    select(0);
    return true;
}

void TColorForm::select(int entry) {
    editor_.select(entry);
    show_selected();
    InvalidateRect(grid(), nullptr, FALSE);
}

void TColorForm::set_bar(int bar_id, int value) {
    SetScrollPos(item(bar_id), SB_CTL, value, TRUE);
    const int edit = bar_id == IDC_COLOR_RED_BAR     ? IDC_COLOR_RED_EDIT
                     : bar_id == IDC_COLOR_GREEN_BAR ? IDC_COLOR_GREEN_EDIT
                     : bar_id == IDC_COLOR_BLUE_BAR  ? IDC_COLOR_BLUE_EDIT
                                                     : IDC_COLOR_BRIGHT_EDIT;
    updating_ = true;
    set_item_text(edit, std::to_string(value));
    updating_ = false;
}

void TColorForm::show_selected() {
    const auto& e = editor_.selected_entry();
    set_bar(IDC_COLOR_RED_BAR, e.red);
    set_bar(IDC_COLOR_GREEN_BAR, e.green);
    set_bar(IDC_COLOR_BLUE_BAR, e.blue);
    set_bar(IDC_COLOR_BRIGHT_BAR, vx::editor::brightness(e.red, e.green, e.blue));
    set_item_text(IDC_COLOR_ENTRY, "Entry " + std::to_string(editor_.selected()));
    InvalidateRect(item(IDC_COLOR_SAMPLE), nullptr, FALSE);
}

void TColorForm::commit_bars() {
    const vx::editor::Rgb3 bars{bar(IDC_COLOR_RED_BAR), bar(IDC_COLOR_GREEN_BAR), bar(IDC_COLOR_BLUE_BAR)};
    const auto& e = editor_.selected_entry();
    set_bar(IDC_COLOR_BRIGHT_BAR, vx::editor::brightness(bars.red, bars.green, bars.blue));
    if (bars == vx::editor::Rgb3{e.red, e.green, e.blue}) return;
    editor_.set_selected(bars);
    palette_changed();
}

void TColorForm::realise() {
    if (const HDC dc = GetDC(grid())) {
        const HPALETTE old = SelectPalette(dc, gdi_palette_.get(), FALSE);
        RealizePalette(dc);
        SelectPalette(dc, old, FALSE);
        ReleaseDC(grid(), dc);
    }
    InvalidateRect(grid(), nullptr, FALSE);
}

void TColorForm::palette_changed() {
    gdi_palette_ = make_logical_palette(editor_.palette());
    // Realised at once, not at the next paint: on a palette display the whole screen changes.
    realise();
    InvalidateRect(item(IDC_COLOR_SAMPLE), nullptr, FALSE);
    if (preview) preview(editor_.palette());
}

void TColorForm::on_scroll(HWND bar_window, int code) {
    const int id = GetDlgCtrlID(bar_window);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(bar_window, SB_CTL, &info);
    int v = info.nPos;
    switch (code) {
        case SB_LINELEFT:
            v -= 1;
            break;
        case SB_LINERIGHT:
            v += 1;
            break;
        case SB_PAGELEFT:
            v -= 16;
            break;
        case SB_PAGERIGHT:
            v += 16;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            v = info.nTrackPos;
            break;
        case SB_LEFT:
            v = 0;
            break;
        case SB_RIGHT:
            v = 255;
            break;
        case SB_ENDSCROLL:
            commit_bars();
            return;
        default:
            return;
    }
    v = std::clamp(v, 0, 255);
    // Dragging the thumb previews; every other move is a whole step (an arrow, a page, a key)
    // and goes into the palette at once. Not every system ends a scroll made with the keys.
    const bool step = code != SB_THUMBTRACK;
    if (id == IDC_COLOR_BRIGHT_BAR) {
        const int shown = std::atoi(item_text(IDC_COLOR_BRIGHT_EDIT).c_str());
        const auto moved = vx::editor::shift_brightness(
            {bar(IDC_COLOR_RED_BAR), bar(IDC_COLOR_GREEN_BAR), bar(IDC_COLOR_BLUE_BAR)}, shown, v);
        set_bar(IDC_COLOR_RED_BAR, moved.red);
        set_bar(IDC_COLOR_GREEN_BAR, moved.green);
        set_bar(IDC_COLOR_BLUE_BAR, moved.blue);
    }
    set_bar(id, v);
    InvalidateRect(item(IDC_COLOR_SAMPLE), nullptr, FALSE);
    if (step) commit_bars();
}

void TColorForm::edit_changed(int edit_id) {
    if (updating_) return;
    for (int i = 0; i < 3; ++i) {
        if (edit_id != kColorEdits[i]) continue;
        const std::string text = item_text(edit_id);
        const int v = std::atoi(text.c_str());
        if (text.empty() || v < 0 || v > 255) return;  // half typed: the bar waits
        SetScrollPos(item(kColorBars[i]), SB_CTL, v, TRUE);
        InvalidateRect(item(IDC_COLOR_SAMPLE), nullptr, FALSE);
    }
}

void TColorForm::report(const std::string& caption, const std::string& text) {
    message_box(hwnd(), text, caption, MB_OK | MB_ICONERROR);
}

void TColorForm::load_palette() {
    std::string dir = values_.palette_dir, file;
    if (!choose_load_file(hwnd(), dir, file) || file.empty()) return;
    values_.palette_dir = dir;
    if (model::is_palette_file_name(file)) {
        std::string text;
        try {
            text = read_text_file(file);
        } catch (const FileError& e) {
            report(kLoadPaletteTitle, e.what());
            return;
        }
        const auto r = editor_.load_text(text);
        if (r.status == model::PaletteReadResult::Status::NotAPalette) {
            report(kLoadPaletteTitle, file + "\nis not a palette file.");
            return;
        }
        // What was read before the bad line stays, and the person learns where the file went wrong.
        if (r.status == model::PaletteReadResult::Status::Refused)
            report(kLoadPaletteTitle, file + "\n" + r.message);
    } else {
        std::string why;
        const auto colors = picture_colors(file, &why);
        if (colors.empty()) {
            report(kLoadPaletteTitle, why.empty() ? file + "\nhas no palette." : why);
            return;
        }
        editor_.load_colors(colors);
    }
    CheckDlgButton(hwnd(), IDC_COLOR_WINDOWS16, BST_UNCHECKED);
    show_selected();
    palette_changed();
}

void TColorForm::save_palette() {
    std::string dir = values_.palette_dir, file = kProposedPaletteName;
    if (!choose_save_file(hwnd(), dir, file) || file.empty()) return;
    values_.palette_dir = dir;
    // A name typed without an extension is still a palette file, and the filter shows it later.
    if (!has_extension(file)) file += ".PAL";
    if (file_exists(file) && message_box(hwnd(), file + " already exists, Overwrite?", kSavePaletteTitle,
                                         MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    try {
        model::save_palette_file(file, editor_.palette());
    } catch (const FileError& e) {
        report(kSavePaletteTitle, e.what());
    }
}

bool TColorForm::on_ok() {
    // A value typed into an edit counts even when the focus never left it.
    commit_bars();
    values_.palette = editor_.palette();
    return true;
}

void TColorForm::on_cancel() {
    if (preview && editor_.palette() != editor_.original()) preview(editor_.original());
}

bool TColorForm::on_command(int id, int code, HWND) {
    switch (id) {
        case IDC_COLOR_RESET_COLOR:
            editor_.reset_color();
            show_selected();
            palette_changed();
            return true;
        case IDC_COLOR_RESET_PALETTE:
            editor_.reset_palette();
            CheckDlgButton(hwnd(), IDC_COLOR_WINDOWS16, BST_UNCHECKED);
            show_selected();
            palette_changed();
            return true;
        case IDC_COLOR_WINDOWS16:
            if (code != BN_CLICKED) return false;
            editor_.use_windows16(IsDlgButtonChecked(hwnd(), IDC_COLOR_WINDOWS16) == BST_CHECKED);
            show_selected();
            palette_changed();
            return true;
        case IDC_COLOR_LOAD:
            load_palette();
            return true;
        case IDC_COLOR_SAVE:
            save_palette();
            return true;
        case IDHELP:
            show_help(kColorFormHelpContext);
            return true;
        case IDC_COLOR_RED_EDIT:
        case IDC_COLOR_GREEN_EDIT:
        case IDC_COLOR_BLUE_EDIT:
            if (code == EN_CHANGE) edit_changed(id);
            if (code == EN_KILLFOCUS) commit_bars();
            return true;
        default:
            return false;
    }
}

void TColorForm::draw_sample(const DRAWITEMSTRUCT& draw) const {
    // The bars' colour, which is the entry's once a scroll ends, and a preview while it goes on.
    unique_hbrush brush(
        CreateSolidBrush(RGB(bar(IDC_COLOR_RED_BAR), bar(IDC_COLOR_GREEN_BAR), bar(IDC_COLOR_BLUE_BAR))));
    FillRect(draw.hDC, &draw.rcItem, brush.get());
}

INT_PTR TColorForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_HSCROLL:
            if (lparam) on_scroll(reinterpret_cast<HWND>(lparam), LOWORD(wparam));
            return TRUE;
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (draw->CtlID != IDC_COLOR_SAMPLE) break;
            draw_sample(*draw);
            return TRUE;
        }
        case WM_HELP:
            show_help(kColorFormHelpContext);
            return TRUE;
        case WM_QUERYNEWPALETTE:
            realise();
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_PALETTECHANGED:
            if (reinterpret_cast<HWND>(wparam) != grid() && reinterpret_cast<HWND>(wparam) != hwnd())
                InvalidateRect(grid(), nullptr, FALSE);
            return TRUE;
        default:
            break;
    }
    return Dialog::handle_message(message, wparam, lparam);
}

std::optional<LRESULT> TColorForm::grid_message(HWND g, UINT message, WPARAM wparam, LPARAM lparam) {
    const POINT at{static_cast<short>(LOWORD(lparam)) - kGridInset,
                   static_cast<short>(HIWORD(lparam)) - kGridInset};
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(g, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(g);
            SetCapture(g);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == g) ReleaseCapture();
            select(kGrid.number(kGrid.clamped({at.x, at.y})));
            return 0;
        case WM_KEYDOWN:
            if (const auto a = arrow_of(static_cast<UINT>(wparam))) {
                select(kGrid.number(kGrid.moved(kGrid.cell_of(editor_.selected()), *a)));
                return 0;
            }
            break;
        default:
            break;
    }
    return std::nullopt;
}

void TColorForm::paint_grid(HDC dc) {
    RECT client{};
    GetClientRect(grid(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const HPALETTE old = SelectPalette(dc, gdi_palette_.get(), FALSE);
    RealizePalette(dc);
    for (int n = 0; n < kGrid.count(); ++n) {
        const port::Rect r = kGrid.rect(kGrid.cell_of(n));
        const RECT cell{kGridInset + r.left, kGridInset + r.top, kGridInset + r.right, kGridInset + r.bottom};
        unique_hbrush brush(CreateSolidBrush(PALETTEINDEX(static_cast<WORD>(n))));
        FillRect(dc, &cell, brush.get());
    }
    SelectPalette(dc, old, FALSE);
    // The selected entry: black and white, so it shows on any colour.
    const port::Rect r = kGrid.rect(kGrid.cell_of(editor_.selected()));
    RECT sel{r.left, r.top, r.right + 2 * kGridInset, r.bottom + 2 * kGridInset};
    FrameRect(dc, &sel, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&sel, -1, -1);
    FrameRect(dc, &sel, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (GetFocus() == grid()) {
        RECT focus = client;
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace vx::win::editor
