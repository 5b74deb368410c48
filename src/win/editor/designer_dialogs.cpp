#include "win/editor/designer_dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "editor/style_copy.h"
#include "win/editor/designer_dialog_ids.h"
#include "win/editor/helped_dialog.h"
#include "win/util/window.h"

namespace vx::win::editor {
namespace {

namespace bits = vx::editor::style_bits;

int in_grid_range(int spacing) {
    return std::clamp(spacing, kGridMinimum, kGridMaximum);
}

// The spacing a box holds: digits brought into range, anything else `fallback`. Long runs of
// digits are simply too large, whatever number they would make.
int spacing_from(const std::string& text, int fallback) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return fallback;
    const size_t last = text.find_last_not_of(' ');
    std::string digits = text.substr(first, last - first + 1);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return fallback;
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.size() > 3) return kGridMaximum;
    return in_grid_range(std::stoi(digits));
}

class TSetGridForm final : public HelpedDialog {
public:
    TSetGridForm(const GridChoice& current, HelpFn help)
        : HelpedDialog(kSetGridHelpContext, std::move(help)),
          choice_{in_grid_range(current.width), in_grid_range(current.height), current.show, current.snap} {}

    const GridChoice& choice() const { return choice_; }

protected:
    bool on_init() override {
        for (const auto& [spin, value] : {std::pair{IDC_GRID_WIDTH_SPIN, choice_.width},
                                          std::pair{IDC_GRID_HEIGHT_SPIN, choice_.height}}) {
            SendMessageW(item(spin), UDM_SETRANGE32, kGridMinimum, kGridMaximum);
            SendMessageW(item(spin), UDM_SETPOS32, 0, value);
        }
        for (int edit : {IDC_GRID_WIDTH, IDC_GRID_HEIGHT}) SendMessageW(item(edit), EM_LIMITTEXT, 3, 0);
        CheckDlgButton(hwnd(), IDC_GRID_SHOW, choice_.show ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(hwnd(), IDC_GRID_SNAP, choice_.snap ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    bool on_ok() override {
        choice_.width = settle_box(IDC_GRID_WIDTH, choice_.width);
        choice_.height = settle_box(IDC_GRID_HEIGHT, choice_.height);
        choice_.show = IsDlgButtonChecked(hwnd(), IDC_GRID_SHOW) == BST_CHECKED;
        choice_.snap = IsDlgButtonChecked(hwnd(), IDC_GRID_SNAP) == BST_CHECKED;
        return true;
    }
    bool on_command(int id, int code, HWND control) override {
        if ((id == IDC_GRID_WIDTH || id == IDC_GRID_HEIGHT) && code == EN_KILLFOCUS) {
            settle_box(id, id == IDC_GRID_WIDTH ? choice_.width : choice_.height);
            return true;
        }
        return HelpedDialog::on_command(id, code, control);
    }

private:
    // The box's spacing in range, written back so the person sees what will be used.
    int settle_box(int id, int fallback) {
        const int spacing = spacing_from(item_text(id), fallback);
        if (item_text(id) != std::to_string(spacing)) set_item_text(id, std::to_string(spacing));
        return spacing;
    }

    GridChoice choice_;
};

// The check boxes and their bits.
struct StyleBox {
    int id;
    uint16_t bit;
};
constexpr StyleBox kStyleBoxes[] = {
    {IDC_STYLE_WIDTH, bits::kWidth},
    {IDC_STYLE_HEIGHT, bits::kHeight},
    {IDC_STYLE_FONT_COLOR, bits::kFontColor},
    {IDC_STYLE_FONT_NAME, bits::kFontName},
    {IDC_STYLE_LEFT, bits::kLeft},
    {IDC_STYLE_TOP, bits::kTop},
    {IDC_STYLE_LINE_COLOR, bits::kLineColor},
    {IDC_STYLE_LINE_WIDTH, bits::kLineWidth},
    {IDC_STYLE_BUTTON_COLOR, bits::kColor},
    {IDC_STYLE_SOUND, bits::kSound},
    {IDC_STYLE_IMAGE, bits::kImage},
    {IDC_STYLE_ALIGNMENT, bits::kAlignment},
    {IDC_STYLE_BUTTON_STYLE, bits::kStyle},
    {IDC_STYLE_SELECT_ALL, bits::kSelectAll},
    {IDC_STYLE_LINE_STYLE, bits::kLineStyle},
};

class TCopyStyleForm final : public HelpedDialog {
public:
    TCopyStyleForm(uint16_t mask, HelpFn help)
        : HelpedDialog(kCopyStyleHelpContext, std::move(help)), mask_(mask) {}

    uint16_t mask() const { return mask_; }

protected:
    bool on_init() override {
        for (const StyleBox& box : kStyleBoxes)
            CheckDlgButton(hwnd(), box.id, (mask_ & box.bit) ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    bool on_ok() override {
        mask_ = 0;
        for (const StyleBox& box : kStyleBoxes)
            if (IsDlgButtonChecked(hwnd(), box.id) == BST_CHECKED) mask_ |= box.bit;
        return true;
    }
    bool on_command(int id, int code, HWND control) override {
        if (id == IDC_STYLE_SELECT_ALL && code == BN_CLICKED) {
            const UINT state = IsDlgButtonChecked(hwnd(), IDC_STYLE_SELECT_ALL);
            for (const StyleBox& box : kStyleBoxes) CheckDlgButton(hwnd(), box.id, state);
            return true;
        }
        return HelpedDialog::on_command(id, code, control);
    }

private:
    uint16_t mask_;
};

}  // namespace

std::optional<GridChoice> show_set_grid(HWND owner, const GridChoice& current, HelpFn help) {
    TSetGridForm form(current, std::move(help));
    if (form.run_modal(GetModuleHandleW(nullptr), IDD_SET_GRID, owner) != IDOK) return std::nullopt;
    return form.choice();
}

std::optional<uint16_t> show_copy_style(HWND owner, uint16_t mask, HelpFn help) {
    TCopyStyleForm form(mask, std::move(help));
    if (form.run_modal(GetModuleHandleW(nullptr), IDD_COPY_STYLE, owner) != IDOK) return std::nullopt;
    return form.mask();
}

}  // namespace vx::win::editor
