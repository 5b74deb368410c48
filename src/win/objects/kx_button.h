#pragma once
// A button that owns its fields, for a window that shows one on its own (a sample, a preview):
// its stored fields, its run-time state and the properties set on it. Painting and the mouse
// rules are core's; this class keeps the state between them and asks its owner for a repaint
// when a property really changed. The buttons of a page are the surface's page objects.
#include <functional>

#include "model/objects.h"
#include "objects/button_paint.h"
#include "win/objects/gdi_canvas.h"

namespace vx::win::objects {

class TKXButton {
public:
    TKXButton() = default;
    explicit TKXButton(model::ButtonData data) : data_(std::move(data)) {}

    const model::ButtonData& data() const { return data_; }
    const vx::objects::ButtonState& state() const { return state_; }

    int NumGlyphs() const { return state_.num_glyphs; }
    void SetNumGlyphs(int value) { set(state_.num_glyphs, value); }
    void SetBtnStyle(int value);
    bool StyleAbove12() const { return style_above_12_; }
    void SetColor(model::Color value) { set(data_.color, value); }
    void SetPattern(uint8_t value) { set(data_.pattern, value); }
    // An icon also turns ShowIcon on.
    void SetIcon(port::IconId icon);
    // An animated cursor file is played on a press; any other file gives its first icon to
    // Icon. Either way the icon is shown and the button repainted.
    void SetAniIcon(const std::string& file, PictureTable& pictures);
    bool Pressed() const { return state_.pressed; }

    vx::objects::ButtonPaintResult Paint(port::Canvas& canvas, const port::Palette* shared_palette);
    // True when the press hit: the button repainted pressed and the owner gets the press.
    bool MouseDown(vx::objects::MouseButton which, bool double_click, int x, int y);
    // The owner always gets the release; the result says how the button was redrawn.
    vx::objects::Refresh MouseUp(bool visible);

    // Called for a repaint of the button alone (Repaint) or of the page behind it too
    // (Invalidate).
    std::function<void(vx::objects::Refresh)> on_refresh;

private:
    template <typename T>
    void set(T& field, const T& value) {
        if (field == value) return;
        field = value;
        refresh(vx::objects::Refresh::Repaint);
    }
    void refresh(vx::objects::Refresh how) {
        if (on_refresh && how != vx::objects::Refresh::None) on_refresh(how);
    }

    model::ButtonData data_{};
    vx::objects::ButtonState state_{};
    bool style_above_12_ = false;
};

}  // namespace vx::win::objects
