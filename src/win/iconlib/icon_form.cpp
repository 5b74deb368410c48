#include "win/iconlib/icon_form.h"

#include <windowsx.h>

#include <algorithm>

#include "objects/button_paint.h"
#include "util/file_io.h"
#include "win/dialogs/selector_dialogs.h"
#include "win/iconlib/icon_form_ids.h"
#include "win/iconlib/win_icon_source.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::iconlib {

namespace core = vx::iconlib;

namespace {

constexpr const wchar_t* kGridClass = L"TIconFormGrid";
constexpr UINT_PTR kAnimationTimer = 7100;
constexpr int kGridId = 7101;
// The picture number of the frame on show; the buttons' icons are 1 to 70.
constexpr port::IconId kFrameId = 1000;
constexpr model::Color kButtonFace = 0x80000000u | COLOR_BTNFACE;

// The window's own selection follows every renumbering its callers get.
class Renumbering final : public core::IconReferences {
public:
    Renumbering(core::IconReferences* outer, std::optional<uint16_t>& selected)
        : outer_(outer), selected_(selected) {}
    void renumber(const std::function<uint16_t(uint16_t)>& new_number) override {
        if (outer_) outer_->renumber(new_number);
        if (selected_) selected_ = new_number(*selected_);
    }

private:
    core::IconReferences* outer_;
    std::optional<uint16_t>& selected_;
};

size_t record_count(const core::IconLibrary& library) {
    try {
        return library.records().size();
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

TIconForm::TIconForm(core::IconLibrary& library, IconFormValues& values, core::IconReferences* references)
    : library_(library), values_(values), references_(references) {
    entries_.fill(-1);
    animated_.fill(false);
    add_icons = [this](HWND owner, std::string& icon_dir) {
        Win32IconSource source;
        std::string first_error;
        TIconSelectorDialog::IconAdder adder{
            [](const std::string& path) { return icon_count(path); },
            [this, &source, &first_error](const std::string& path, int index) {
                // The selector goes on with the other files; the first failure is told after.
                try {
                    library_.add_file(path, index, &source);
                } catch (const std::exception& e) {
                    if (first_error.empty()) first_error = e.what();
                }
            }};
        int added = 0;
        std::string file;
        select_icon(owner, kSelectIconTitle, icon_dir, kSelectIconMask, values_.restricted, values_.drives,
                    added, true, file, adder);
        if (!first_error.empty()) report_error(first_error);
        return added;
    };
    report_error = [this](const std::string& text) {
        system_message_box(hwnd(), text, "Error", MB_OK | MB_ICONERROR);
    };
    show_help = [](int context) { log_info("icon library: help topic " + std::to_string(context)); };
}

TIconForm::~TIconForm() = default;

INT_PTR TIconForm::run(HWND owner) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), kGridClass, &wc)) {
        wc.lpfnWndProc = &TIconForm::grid_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kGridClass;
        RegisterClassExW(&wc);
    }
    return run_modal(GetModuleHandleW(nullptr), IDD_ICON_FORM, owner);
}

bool TIconForm::on_init() {
    // The grid takes the place of its frame, so that it gets the keys and the mouse.
    RECT r{};
    GetWindowRect(item(IDC_ICON_GRID), &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    cell_ = {(r.right - r.left) / core::kButtonsPerRow, (r.bottom - r.top) / core::kButtonRows};
    grid_ = CreateWindowExW(0, kGridClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left, r.top,
                            cell_.cx * core::kButtonsPerRow, cell_.cy * core::kButtonRows, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGridId)), GetModuleHandleW(nullptr),
                            this);
    if (!grid_) return false;
    SetWindowPos(grid_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    const core::OpenPosition open = core::open_on(values_.number);
    update_scroll_range();
    scroll_to(open.position);
    mark(open.button);
    PostMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(grid_), TRUE);
    return true;
}

void TIconForm::update_scroll_range() {
    const int maximum = core::scroll_maximum(record_count(library_));
    SetScrollRange(item(IDC_ICON_SCROLL), SB_CTL, 0, maximum, TRUE);
    EnableWindow(item(IDC_ICON_SCROLL), maximum > 0);
}

void TIconForm::scroll_to(int position) {
    int low = 0, high = 0;
    GetScrollRange(item(IDC_ICON_SCROLL), SB_CTL, &low, &high);
    position = std::clamp(position, 0, std::max(0, high));
    stop_animation();
    position_ = position;
    SetScrollPos(item(IDC_ICON_SCROLL), SB_CTL, position_, TRUE);
    fill();
}

void TIconForm::fill() {
    std::vector<core::IndexRecord> records;
    try {
        records = library_.records();
    } catch (const std::exception& e) {
        log_info(std::string("icon library: ") + e.what());
    }
    entries_ = core::fill_buttons(records, position_);
    pictures_ = objects::PictureTable();
    animated_.fill(false);
    for (int b = 0; b < core::kButtonCount; ++b) {
        if (entries_[static_cast<size_t>(b)] < 0) continue;
        auto number = static_cast<uint16_t>(entries_[static_cast<size_t>(b)]);
        // A damaged entry keeps its button, empty.
        const auto entry = library_.load(number);
        if (!entry) continue;
        animated_[static_cast<size_t>(b)] = core::entry_animation(*entry).has_value();
        if (unique_hicon icon = entry_icon(*entry))
            pictures_.add_icon(static_cast<port::IconId>(b + 1), std::move(icon));
    }
    if (marked_ >= 0) {
        const int e = entries_[static_cast<size_t>(marked_)];
        selected_ = e >= 0 ? std::optional<uint16_t>(static_cast<uint16_t>(e)) : std::nullopt;
    }
    if (grid_) InvalidateRect(grid_, nullptr, TRUE);
}

RECT TIconForm::button_rect(int button) const {
    const int col = button % core::kButtonsPerRow, row = button / core::kButtonsPerRow;
    return {col * cell_.cx, row * cell_.cy, (col + 1) * cell_.cx, (row + 1) * cell_.cy};
}

POINT TIconForm::button_center(int button) const {
    const RECT r = button_rect(button);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int TIconForm::button_at(POINT p) const {
    if (cell_.cx <= 0 || cell_.cy <= 0 || p.x < 0 || p.y < 0) return -1;
    const int col = p.x / cell_.cx, row = p.y / cell_.cy;
    if (col >= core::kButtonsPerRow || row >= core::kButtonRows) return -1;
    return row * core::kButtonsPerRow + col;
}

void TIconForm::invalidate_button(int button) {
    if (!grid_ || button < 0) return;
    const RECT r = button_rect(button);
    InvalidateRect(grid_, &r, FALSE);
}

void TIconForm::mark(int button) {
    button = std::clamp(button, 0, core::kButtonCount - 1);
    invalidate_button(marked_);
    marked_ = button;
    invalidate_button(marked_);
    const int e = entries_[static_cast<size_t>(button)];
    selected_ = e >= 0 ? std::optional<uint16_t>(static_cast<uint16_t>(e)) : std::nullopt;
}

void TIconForm::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        report_error(e.what());
    }
}

void TIconForm::delete_icon() {
    if (marked_ < 0 || entries_[static_cast<size_t>(marked_)] < 0) return;
    stop_animation();
    guarded([&] {
        library_.remove(static_cast<uint16_t>(entries_[static_cast<size_t>(marked_)]));
        changed_ = true;
    });
    fill();
}

void TIconForm::add_icon() {
    stop_animation();
    guarded([&] { add_icons(hwnd(), values_.icon_dir); });
    update_scroll_range();
    fill();
}

void TIconForm::drop(int from, int to) {
    if (from < 0 || to < 0 || from == to) return;
    const int s = entries_[static_cast<size_t>(from)];
    if (s < 0) return;
    const size_t count = record_count(library_);
    // A button past the last entry puts the dragged one at the end.
    const int t =
        entries_[static_cast<size_t>(to)] >= 0 ? entries_[static_cast<size_t>(to)] : static_cast<int>(count);
    if (s == t) return;
    stop_animation();
    bool moved = false;
    guarded([&] {
        Renumbering renumbering(references_, selected_);
        library_.move(static_cast<uint16_t>(s), static_cast<uint16_t>(t), &renumbering);
        moved = true;
    });
    if (!moved) return;
    // The mark goes with the dragged entry when it is in view.
    const int now = std::min<int>(t, static_cast<int>(count) - 1);
    fill();
    const auto at = std::find(entries_.begin(), entries_.end(), now);
    if (at != entries_.end()) mark(static_cast<int>(at - entries_.begin()));
}

bool TIconForm::on_ok() {
    stop_animation();
    if (changed_ && library_.exists()) {
        bool compacted = false;
        guarded([&] {
            Renumbering renumbering(references_, selected_);
            library_.compact(&renumbering);
            compacted = true;
        });
        // The files are as they were; the user may still cancel.
        if (!compacted) return false;
        changed_ = false;
    }
    if (selected_) values_.number = *selected_;
    return true;
}

void TIconForm::on_cancel() {
    stop_animation();
    if (changed_) guarded([&] { library_.undelete_all(); });
    changed_ = false;
}

bool TIconForm::on_command(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_ADD_ICON:
            add_icon();
            SetFocus(grid_);
            return true;
        case IDC_DELETE_ICON:
            delete_icon();
            SetFocus(grid_);
            return true;
        case IDC_ICON_HELP:
            show_help(kIconFormHelpContext);
            return true;
        case IDC_PLAY_ANIMATED:
            if (IsDlgButtonChecked(hwnd(), IDC_PLAY_ANIMATED) != BST_CHECKED) stop_animation();
            return true;
    }
    return false;
}

INT_PTR TIconForm::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_VSCROLL: {
            if (reinterpret_cast<HWND>(lparam) != item(IDC_ICON_SCROLL)) break;
            int p = position_;
            switch (LOWORD(wparam)) {
                case SB_LINEUP:
                    --p;
                    break;
                case SB_LINEDOWN:
                    ++p;
                    break;
                case SB_PAGEUP:
                    p -= core::kButtonRows;
                    break;
                case SB_PAGEDOWN:
                    p += core::kButtonRows;
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION:
                    p = HIWORD(wparam);
                    break;
                case SB_TOP:
                    p = 0;
                    break;
                case SB_BOTTOM:
                    p = 0xFFFF;
                    break;
                default:
                    return TRUE;
            }
            if (p != position_) scroll_to(p);
            return TRUE;
        }
        case WM_HELP:
            show_help(kIconFormHelpContext);
            return TRUE;
        case WM_DESTROY:
            stop_animation();
            break;
    }
    return Dialog::handle_message(message, wparam, lparam);
}

LRESULT CALLBACK TIconForm::grid_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* form = reinterpret_cast<TIconForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form || message == WM_NCCREATE) return DefWindowProcW(hwnd, message, wparam, lparam);
    try {
        return form->grid_message(message, wparam, lparam);
    } catch (const std::exception& e) {
        log_info(std::string("icon library window: ") + e.what());
        return 0;
    }
}

LRESULT TIconForm::grid_message(UINT message, WPARAM wparam, LPARAM lparam) {
    const POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(grid_, &ps);
            paint_grid(dc);
            EndPaint(grid_, &ps);
            return 0;
        }
        case WM_KEYDOWN: {
            const int from = marked_ < 0 ? 0 : marked_;
            switch (wparam) {
                case VK_LEFT:
                    mark(core::move_mark(from, core::MarkKey::left));
                    return 0;
                case VK_RIGHT:
                    mark(core::move_mark(from, core::MarkKey::right));
                    return 0;
                case VK_UP:
                    mark(core::move_mark(from, core::MarkKey::up));
                    return 0;
                case VK_DOWN:
                    mark(core::move_mark(from, core::MarkKey::down));
                    return 0;
                case VK_DELETE:
                    delete_icon();
                    return 0;
                case VK_INSERT:
                    add_icon();
                    return 0;
            }
            break;
        }
        case WM_LBUTTONDOWN: {
            SetFocus(grid_);
            const int b = button_at(p);
            if (b < 0) return 0;
            mark(b);
            if (entries_[static_cast<size_t>(b)] >= 0 && animating_ != b) {
                drag_from_ = b;
                SetCapture(grid_);
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            if (drag_from_ >= 0) {
                SetCursor(LoadCursorW(nullptr, button_at(p) >= 0 ? IDC_SIZEALL : IDC_NO));
                return 0;
            }
            if (!tracking_) {
                // Leaving the grid ends an animation as moving to another button does.
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, grid_, 0};
                tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            hover(button_at(p));
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            if (drag_from_ < 0) stop_animation();
            return 0;
        case WM_LBUTTONUP: {
            const int from = drag_from_;
            drag_from_ = -1;
            if (from < 0) return 0;
            ReleaseCapture();
            drop(from, button_at(p));
            return 0;
        }
        case WM_CAPTURECHANGED:
            drag_from_ = -1;
            return 0;
        case WM_TIMER:
            if (wparam == kAnimationTimer) animation_tick();
            return 0;
    }
    return DefWindowProcW(grid_, message, wparam, lparam);
}

void TIconForm::paint_grid(HDC dc) {
    RECT client{};
    GetClientRect(grid_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    for (int b = 0; b < core::kButtonCount; ++b) {
        const RECT r = button_rect(b);
        model::ButtonData data;
        data.bounds = {r.left, r.top, cell_.cx, cell_.cy};
        data.color = kButtonFace;
        data.show_icon = true;
        const bool marked = b == marked_;
        data.btn_style = marked ? vx::objects::kxDepressed : vx::objects::kx3DBorder;
        data.pen.width = marked ? 1 : 0;
        vx::objects::ButtonState state;
        state.animate = false;
        const port::IconId id = b == animating_ ? kFrameId : static_cast<port::IconId>(b + 1);
        if (pictures_.size(id).width > 0) state.icon = id;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        {
            objects::GdiCanvas canvas(dc, &pictures_);
            vx::objects::paint_button(canvas, data, state, vx::objects::PaintEnv{nullptr});
        }
        RestoreDC(dc, saved);
    }
}

void TIconForm::hover(int button) {
    const bool play = IsDlgButtonChecked(hwnd(), IDC_PLAY_ANIMATED) == BST_CHECKED;
    if (!play || button < 0 || !animated_[static_cast<size_t>(button)] ||
        entries_[static_cast<size_t>(button)] < 0) {
        stop_animation();
        return;
    }
    if (animating_ == button) return;
    stop_animation();
    auto number = static_cast<uint16_t>(entries_[static_cast<size_t>(button)]);
    const auto entry = library_.load(number);
    if (!entry) return;
    frames_ = entry_frames(*entry);
    if (!frames_) return;
    animating_ = button;
    step_ = frames_->steps.size() - 1;
    animation_tick();
}

void TIconForm::animation_tick() {
    if (animating_ < 0 || !frames_) return;
    step_ = (step_ + 1) % frames_->steps.size();
    const auto& step = frames_->steps[step_];
    pictures_.add_icon(kFrameId, unique_hicon(CopyIcon(frames_->frames[step.frame].get())));
    invalidate_button(animating_);
    SetTimer(grid_, kAnimationTimer,
             static_cast<UINT>(std::max<uint64_t>(10, core::step_delay_ms(step.rate))), nullptr);
}

void TIconForm::stop_animation() {
    if (grid_) KillTimer(grid_, kAnimationTimer);
    const int was = animating_;
    animating_ = -1;
    frames_.reset();
    invalidate_button(was);
}

bool show_icon_library(HWND owner, const std::string& library_dir, IconFormValues& values,
                       core::IconReferences* references) {
    AnsiCodePageCodec codec;
    core::IconLibrary library(library_dir, codec);
    if (values.icon_dir.empty()) values.icon_dir = library_dir;
    TIconForm form(library, values, references);
    return form.run(owner) == IDOK;
}

bool choose_library_icon(HWND owner, const std::string& library_dir, const vx::dialogs::DriveTable& drives,
                         const std::string& restricted, uint16_t& number,
                         vx::iconlib::IconReferences* references) {
    IconFormValues values;
    values.number = number;
    values.drives = drives;
    values.restricted = restricted;
    if (!show_icon_library(owner, library_dir, values, references)) return false;
    number = values.number;
    return true;
}

}  // namespace vx::win::iconlib
