#pragma once
// The passive desktop objects, each owning its fields, for a window that shows one on its own:
// shapes, lines, labels and images, and the star the alignment window nudges with. Painting and
// the press rule are core's; these classes keep the state between paints and ask their owner for
// a repaint. The objects of a page are the surface's page objects.
#include <functional>
#include <memory>
#include <string>

#include "model/objects.h"
#include "objects/label_accel.h"
#include "objects/line_star_paint.h"
#include "objects/shape_paint.h"
#include "win/objects/gdi_canvas.h"
#include "win/objects/image_pictures.h"

namespace vx::win::objects {

// Shared by every kind here: the owner hears when the object wants repainting.
class PassiveObject {
public:
    std::function<void()> on_refresh;

protected:
    void refresh() {
        if (on_refresh) on_refresh();
    }
};

class TKXShape : public PassiveObject {
public:
    TKXShape() = default;
    explicit TKXShape(model::ShapeData data) : data_(std::move(data)) {}
    const model::ShapeData& data() const { return data_; }
    void Paint(port::Canvas& canvas, const port::Palette* shared_palette) const {
        vx::objects::paint_shape(canvas, data_, {shared_palette});
    }

private:
    model::ShapeData data_{};
};

class TKXLine : public PassiveObject {
public:
    TKXLine() = default;
    explicit TKXLine(model::LineData data) : data_(std::move(data)) {}
    const model::LineData& data() const { return data_; }
    void Paint(port::Canvas& canvas, const port::Palette* shared_palette) const {
        vx::objects::paint_line(canvas, data_, shared_palette);
    }

private:
    model::LineData data_{};
};

class TKXStar : public PassiveObject {
public:
    int Width() const { return width_; }
    int Height() const { return height_; }
    int LastArm() const { return state_.last_arm; }
    int PressedArm() const { return state_.pressed; }
    // The arm the press picked; it is drawn pressed until the release.
    int MouseDown(int x, int y) {
        const int arm = vx::objects::star_mouse_down(state_, width_, height_, x, y);
        refresh();
        return arm;
    }
    void MouseUp() {
        if (vx::objects::star_mouse_up(state_)) refresh();
    }
    void Paint(port::Canvas& canvas, const port::Palette* shared_palette) const {
        vx::objects::paint_star(canvas, width_, height_, state_, shared_palette);
    }

private:
    int width_ = 65;
    int height_ = 65;
    vx::objects::StarState state_{};
};

class TKXLabel : public PassiveObject {
public:
    TKXLabel() = default;
    explicit TKXLabel(model::LabelData data) : data_(std::move(data)) {}
    const model::LabelData& data() const { return data_; }
    void Assign(const model::LabelData& data) {
        data_ = data;
        refresh();
    }
    bool Opaque() const { return !data_.transparent; }
    // The paint underlines the letter after "&" whatever this says; it only decides whether
    // typing that letter reaches the focus control.
    bool ShowAccelChar() const { return show_accel_char_; }
    void SetShowAccelChar(bool value) { show_accel_char_ = value; }
    // The window the accelerator focuses. Desktop files store none, so labels on a page have
    // none and their accelerator does nothing.
    HWND FocusControl() const { return focus_control_; }
    void SetFocusControl(HWND control) { focus_control_ = control; }
    // A typed character (the Alt+letter of a dialog character message). Focuses the focus
    // control and answers true when the character is this label's accelerator, the label shows
    // it, and the control can take the focus; answers false otherwise so that the key goes on
    // to whoever else wants it.
    bool DialogChar(wchar_t key);
    port::Rect Paint(port::Canvas& canvas, const port::Palette* shared_palette) const {
        return vx::objects::paint_label(canvas, data_, {shared_palette});
    }

private:
    model::LabelData data_{};
    bool show_accel_char_ = false;
    HWND focus_control_ = nullptr;
};

class TKXImage : public PassiveObject {
public:
    TKXImage() = default;
    explicit TKXImage(model::ImageData data) : data_(std::move(data)) {}
    const model::ImageData& data() const { return data_; }
    bool Opaque() const { return opaque_; }
    // Decides opacity and repaints.
    void SetPicture(std::unique_ptr<vx::objects::ImagePicture> picture);
    vx::objects::ImagePaintResult Paint(port::Canvas& canvas, const port::Palette* shared_palette) const {
        return vx::objects::paint_image(canvas, data_, picture_.get(), {shared_palette});
    }

private:
    model::ImageData data_{};
    std::unique_ptr<vx::objects::ImagePicture> picture_;
    bool opaque_ = false;
};

}  // namespace vx::win::objects
