#include "win/objects/kx_button.h"

namespace vx::win::objects {

namespace core = vx::objects;

void TKXButton::SetBtnStyle(int value) {
    style_above_12_ = value >= 13;
    set(data_.btn_style, value);
}

void TKXButton::SetIcon(port::IconId icon) {
    const bool changed = state_.icon != icon || !data_.show_icon;
    state_.icon = icon;
    data_.show_icon = true;
    if (changed) refresh(core::Refresh::Repaint);
}

void TKXButton::SetAniIcon(const std::string& file, PictureTable& pictures) {
    data_.ani_icon = file;
    if (!core::names_ani_file(file)) {
        if (const port::IconId icon = pictures.load_first_icon(file); icon != port::kNoIcon)
            state_.icon = icon;
    }
    data_.show_icon = true;
    refresh(core::Refresh::Repaint);
}

core::ButtonPaintResult TKXButton::Paint(port::Canvas& canvas, const port::Palette* shared_palette) {
    return core::paint_button(canvas, data_, state_, core::PaintEnv{shared_palette});
}

bool TKXButton::MouseDown(core::MouseButton which, bool double_click, int x, int y) {
    if (!core::button_mouse_down(data_, state_, which, double_click, x, y)) return false;
    refresh(core::face_refresh(data_));
    return true;
}

core::Refresh TKXButton::MouseUp(bool visible) {
    const core::Refresh how = core::button_mouse_up(data_, state_, visible);
    refresh(how);
    return how;
}

}  // namespace vx::win::objects
