#pragma once
// The desktop objects of a page as the page surface sees them. The model keeps the stored
// fields; each hosted object wraps one entry in its drawing class and moves it to its place on
// the page, so the drawing classes keep painting at their own origin.
#include <windows.h>

#include <functional>
#include <memory>
#include <variant>
#include <vector>

#include "model/desktop.h"
#include "port/canvas.h"
#include "win/iconlib/library_pictures.h"
#include "win/objects/gdi_canvas.h"
#include "win/objects/kx_button.h"
#include "win/objects/kx_shapes.h"
#include "win/surface/scroll_box.h"

namespace vx::win::surface {

// What the objects of a page share with their owner.
struct PageObjectEnv {
    const port::Palette* palette = nullptr;  // the shared desktop palette; may be null
    objects::PictureSource* pictures = nullptr;
    // Redraws a part of the page (page coordinates).
    std::function<void(const RECT&)> invalidate;
    // A left press and release on the same button.
    std::function<void(model::ObjectEntry&)> button_click;
    // Button icons and cursors by icon library number; null: none shown.
    iconlib::LibraryPictures* library = nullptr;
};

class PageObject final : public HostedObject {
public:
    PageObject(model::ObjectEntry& entry, const PageObjectEnv& env);

    model::ObjectEntry& entry() const { return entry_; }
    RECT bounds() const override;
    bool visible() const override { return true; }
    void paint(HDC dc) override;
    bool hit_test(POINT p) const override;
    void mouse_down(POINT p, UINT button) override;
    void mouse_up(POINT p, UINT button) override;
    HCURSOR cursor() const override;
    // The button this object draws; null for the other kinds.
    const objects::TKXButton* button() const { return std::get_if<objects::TKXButton>(&drawn_); }

    using Drawn = std::variant<objects::TKXButton, objects::TKXShape, objects::TKXLine, objects::TKXLabel,
                               objects::TKXImage>;

private:
    void repaint();
    void load_icon();
    void play_icon(HDC dc, const vx::objects::IconPlacement& icon);

    model::ObjectEntry& entry_;
    const PageObjectEnv& env_;
    Drawn drawn_;
    bool pressed_ = false;
};

// Bottom first, as the surface wants them: the master page's objects under the page's own
// (when the page shows master items), each page's oldest entry lowest.
std::vector<model::ObjectEntry*> stacking_order(const model::Page* master, model::Page* page);

// The page palette as the canvas takes it.
port::Palette port_palette(const model::Palette& palette);

}  // namespace vx::win::surface
