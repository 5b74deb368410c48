#include "win/editor/page_forms.h"

#include <commctrl.h>

#include <algorithm>
#include <tuple>

#include "util/file_io.h"
#include "win/dialogs/selector_dialogs.h"
#include "win/editor/color_palette.h"
#include "win/editor/page_form_ids.h"
#include "win/iconlib/icon_form.h"
#include "win/iconlib/library_pictures.h"
#include "win/objects/gdi_canvas.h"
#include "win/util/handle.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::editor {
namespace {

namespace ed = vx::editor;

bool is_checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void set_check(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// ---- the page title ------------------------------------------------------------------------

class TAddPageForm final : public HelpedDialog {
public:
    TAddPageForm(std::string caption, std::string initial, HelpFn help)
        : HelpedDialog(kPageTitleHelpContext, std::move(help)),
          caption_(std::move(caption)),
          title_(std::move(initial)) {}

    const std::string& title() const { return title_; }

protected:
    bool on_init() override {
        SetWindowTextW(hwnd(), widen(caption_).c_str());
        set_item_text(IDC_EDIT_PAGE_TITLE, title_);
        SendMessageW(item(IDC_EDIT_PAGE_TITLE), EM_SETSEL, 0, -1);
        update_ok();
        return true;
    }
    bool on_ok() override {
        title_ = item_text(IDC_EDIT_PAGE_TITLE);
        return !title_.empty();
    }
    bool on_command(int id, int code, HWND control) override {
        if (id == IDC_EDIT_PAGE_TITLE && code == EN_CHANGE) {
            update_ok();
            return true;
        }
        return HelpedDialog::on_command(id, code, control);
    }

private:
    void update_ok() const {
        EnableWindow(item(IDOK), GetWindowTextLengthW(item(IDC_EDIT_PAGE_TITLE)) > 0);
    }

    std::string caption_;
    std::string title_;
};

// ---- "Move Page" ---------------------------------------------------------------------------

class TMoveForm final : public HelpedDialog {
public:
    TMoveForm(const std::vector<std::string>& names, size_t current, HelpFn help)
        : HelpedDialog(kMovePageHelpContext, std::move(help)), names_(names), current_(current) {
        choice_.target = current;
    }

    const MoveChoice& choice() const { return choice_; }

protected:
    bool on_init() override {
        const std::string moved = current_ < names_.size() ? names_[current_] : std::string();
        set_item_text(IDC_MOVE_PLACE_LABEL, "Place the " + moved + " page");
        const HWND combo = item(IDC_COMBO_MOVE_TARGET);
        for (const std::string& n : names_)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(n).c_str()));
        SendMessageW(combo, CB_SETCURSEL, current_, 0);
        set_check(hwnd(), IDC_RADIO_MOVE_BEFORE, true);
        return true;
    }
    bool on_ok() override {
        const LRESULT selected = SendMessageW(item(IDC_COMBO_MOVE_TARGET), CB_GETCURSEL, 0, 0);
        if (selected == CB_ERR) return false;
        choice_.target = static_cast<size_t>(selected);
        choice_.place = is_checked(hwnd(), IDC_RADIO_MOVE_AFTER) ? ed::PagePlace::After : ed::PagePlace::Before;
        return true;
    }

private:
    const std::vector<std::string>& names_;
    size_t current_;
    MoveChoice choice_;
};

// ---- "Page Settings" -----------------------------------------------------------------------

class TPageAtt final : public Dialog {
public:
    explicit TPageAtt(PageSettingsRequest request)
        : r_(std::move(request)), v_(r_.values), library_(r_.program_dir, pictures_) {
        image_dir_ = r_.image_dir;
    }

    PageSettingsResult result() const { return {v_, found_, image_dir_, library_changed_}; }

protected:
    bool on_init() override {
        set_check(hwnd(), v_.wallpaper ? IDC_RADIO_PAGE_WALLPAPER : IDC_RADIO_PAGE_SOLID, true);
        set_item_text(IDC_EDIT_PAGE_IMAGE, v_.image);
        show_layout();
        SendMessageW(item(IDC_PAGE_SPEED), TBM_SETRANGE, FALSE, MAKELPARAM(ed::kSpeedTrackMin, ed::kSpeedTrackMax));
        SendMessageW(item(IDC_PAGE_SPEED), TBM_SETPOS, TRUE, v_.track);
        for (const auto& [spin, edit, text] : {std::tuple{IDC_PAGE_LEFT_SPIN, IDC_EDIT_PAGE_LEFT, &v_.left_margin},
                                               std::tuple{IDC_PAGE_TOP_SPIN, IDC_EDIT_PAGE_TOP, &v_.top_margin}}) {
            SendMessageW(item(spin), UDM_SETRANGE32, ed::kMarginMin, ed::kMarginMax);
            SendMessageW(item(edit), EM_LIMITTEXT, 3, 0);
            set_item_text(edit, *text);
        }
        set_check(hwnd(), IDC_CHECK_PAGE_MASTER, v_.show_master_items);
        set_check(hwnd(), IDC_CHECK_PAGE_COPY_ALL, v_.copy_to_all);
        set_check(hwnd(), IDC_CHECK_PAGE_HIDE, v_.hide);
        if (!v_.hide_offered) ShowWindow(item(IDC_CHECK_PAGE_HIDE), SW_HIDE);
        show_icon();
        return true;
    }

    bool on_ok() override {
        v_.wallpaper = is_checked(hwnd(), IDC_RADIO_PAGE_WALLPAPER);
        v_.image = item_text(IDC_EDIT_PAGE_IMAGE);
        v_.tile = is_checked(hwnd(), IDC_RADIO_PAGE_TILE);
        v_.center = is_checked(hwnd(), IDC_RADIO_PAGE_CENTER);
        v_.track = static_cast<int>(SendMessageW(item(IDC_PAGE_SPEED), TBM_GETPOS, 0, 0));
        v_.left_margin = item_text(IDC_EDIT_PAGE_LEFT);
        v_.top_margin = item_text(IDC_EDIT_PAGE_TOP);
        v_.show_master_items = is_checked(hwnd(), IDC_CHECK_PAGE_MASTER);
        v_.copy_to_all = is_checked(hwnd(), IDC_CHECK_PAGE_COPY_ALL);
        if (v_.hide_offered) v_.hide = is_checked(hwnd(), IDC_CHECK_PAGE_HIDE);
        found_ = r_.find_image ? r_.find_image(v_.image) : std::nullopt;
        return true;
    }

    bool on_command(int id, int code, HWND) override {
        if (code != BN_CLICKED) return false;
        switch (id) {
            case IDC_BUTTON_PAGE_COLOR:
                choose_color();
                return true;
            case IDC_BUTTON_PAGE_BROWSE:
                choose_image();
                return true;
            case IDC_BUTTON_PAGE_ICON:
                choose_icon();
                return true;
            case IDC_CHECK_PAGE_MASTER:
                v_.show_master_items = is_checked(hwnd(), IDC_CHECK_PAGE_MASTER);
                if (r_.show_master_items) r_.show_master_items(v_.show_master_items);
                return true;
            default:
                return false;
        }
    }

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == WM_DRAWITEM && static_cast<int>(wparam) == IDC_PAGE_PANEL) {
            const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            port::Palette colors{};
            for (size_t i = 0; i < colors.entries.size(); ++i) {
                const auto& e = r_.palette[i];
                colors.entries[i] = e.red | (e.green << 8) | (e.blue << 16);
            }
            const unique_hbrush brush(CreateSolidBrush(objects::rgb_of(v_.background_color, &colors)));
            FillRect(d.hDC, &d.rcItem, brush.get());
            return TRUE;
        }
        return Dialog::handle_message(message, wparam, lparam);
    }

private:
    void show_layout() const {
        const ed::PictureLayout layout = ed::layout_of(v_);
        set_check(hwnd(), IDC_RADIO_PAGE_TILE, layout == ed::PictureLayout::Tile);
        set_check(hwnd(), IDC_RADIO_PAGE_CENTER, layout == ed::PictureLayout::Center);
        set_check(hwnd(), IDC_RADIO_PAGE_STRETCH, layout == ed::PictureLayout::Stretch);
    }

    void show_icon() {
        const HICON icon = v_.tab_icon >= 0 && v_.tab_icon <= 0xFFFF
                               ? library_.still_icon(static_cast<uint16_t>(v_.tab_icon))
                               : nullptr;
        SendMessageW(item(IDC_BUTTON_PAGE_ICON), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }

    // The background's choice makes its radio button the checked one.
    void check_background(bool wallpaper) const {
        set_check(hwnd(), IDC_RADIO_PAGE_SOLID, !wallpaper);
        set_check(hwnd(), IDC_RADIO_PAGE_WALLPAPER, wallpaper);
    }

    void choose_color() {
        RECT below{};
        GetWindowRect(item(IDC_BUTTON_PAGE_COLOR), &below);
        std::optional<model::Color> chosen;
        if (r_.choose_color) {
            chosen = r_.choose_color(hwnd(), below, v_.background_color);
        } else {
            TColorPalette palette(r_.display_colors);
            palette.set_palette(r_.palette);
            chosen = palette.choose(hwnd(), below, v_.background_color);
        }
        if (!chosen) return;
        v_.background_color = *chosen;
        check_background(false);
        InvalidateRect(item(IDC_PAGE_PANEL), nullptr, FALSE);
    }

    void choose_image() {
        std::string file = item_text(IDC_EDIT_PAGE_IMAGE);
        std::string dir = image_dir_;
        const bool chosen =
            r_.choose_image ? r_.choose_image(hwnd(), dir, file)
                            : select_image(hwnd(), kBackgroundImageTitle, dir, kBackgroundImageMask, r_.restricted,
                                           r_.drives, true, file);
        if (!chosen) return;
        image_dir_ = dir_of(file).empty() ? dir : dir_of(file);
        set_item_text(IDC_EDIT_PAGE_IMAGE, file);
        check_background(true);
    }

    void choose_icon() {
        uint16_t number = static_cast<uint16_t>(std::clamp<int32_t>(v_.tab_icon, 0, 0xFFFF));
        bool chosen = false;
        if (r_.choose_icon) {
            chosen = r_.choose_icon(hwnd(), number);
        } else {
            // Moves take effect in the library at once, so the numbers follow even after Cancel.
            struct Numbers final : vx::iconlib::IconReferences {
                TPageAtt& form;
                bool renumbered = false;
                explicit Numbers(TPageAtt& f) : form(f) {}
                void renumber(const std::function<uint16_t(uint16_t)>& new_number) override {
                    renumbered = true;
                    if (form.v_.tab_icon >= 0 && form.v_.tab_icon <= 0xFFFF)
                        form.v_.tab_icon = new_number(static_cast<uint16_t>(form.v_.tab_icon));
                    if (form.r_.icon_references) form.r_.icon_references->renumber(new_number);
                }
            } numbers(*this);
            chosen = iconlib::choose_library_icon(hwnd(), r_.program_dir, r_.drives, r_.restricted, number, &numbers);
            if (numbers.renumbered) library_changed_ = true;
        }
        // The window may have moved or compacted entries: every picture of it is read again.
        library_.clear();
        if (chosen) {
            library_changed_ = true;
            v_.tab_icon = number;
        }
        show_icon();
    }

    PageSettingsRequest r_;
    ed::PageSettingsValues v_;
    objects::PictureTable pictures_;
    iconlib::LibraryPictures library_;
    std::optional<std::string> found_;
    std::string image_dir_;
    bool library_changed_ = false;
};

}  // namespace

std::optional<std::string> show_page_title(HWND owner, const std::string& caption, const std::string& initial,
                                           HelpFn help) {
    TAddPageForm form(caption, initial, std::move(help));
    if (form.run_modal(GetModuleHandleW(nullptr), IDD_PAGE_TITLE, owner) != IDOK) return std::nullopt;
    return form.title();
}

std::optional<MoveChoice> show_move_page(HWND owner, const std::vector<std::string>& names, size_t current,
                                         HelpFn help) {
    if (names.empty()) return std::nullopt;
    TMoveForm form(names, std::min(current, names.size() - 1), std::move(help));
    if (form.run_modal(GetModuleHandleW(nullptr), IDD_MOVE_PAGE, owner) != IDOK) return std::nullopt;
    return form.choice();
}

std::optional<PageSettingsResult> show_page_settings(HWND owner, PageSettingsRequest request) {
    TPageAtt form(std::move(request));
    if (form.run_modal(GetModuleHandleW(nullptr), IDD_PAGE_SETTINGS, owner) != IDOK) return std::nullopt;
    return form.result();
}

}  // namespace vx::win::editor
