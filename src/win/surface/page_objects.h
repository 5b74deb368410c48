#pragma once
// The desktop objects of a page as the page surface sees them. The entry is the one copy of the
// stored fields: each hosted object paints and hit-tests straight from it, so whatever changes
// the entry shows at the next paint. The wrapper keeps only what the file does not say: a
// button's face state and the icons loaded for it, an image's decoded picture.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/desktop.h"
#include "objects/button_paint.h"
#include "objects/shape_paint.h"
#include "port/canvas.h"
#include "win/iconlib/library_pictures.h"
#include "win/objects/gdi_canvas.h"
#include "win/surface/face_cache.h"
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
    // The icons and the picture the entry names are loaded here, once; a wrapper made again
    // loads them again.
    PageObject(model::ObjectEntry& entry, const PageObjectEnv& env);

    model::ObjectEntry& entry() const { return entry_; }
    RECT bounds() const override;
    bool visible() const override { return true; }
    void paint(HDC dc) override;
    bool hit_test(POINT p) const override;
    void mouse_down(POINT p, UINT button) override;
    void mouse_up(POINT p, UINT button) override;
    HCURSOR cursor() const override;
    // The run-time state of the button this object shows; null for the other kinds.
    const vx::objects::ButtonState* button_state() const { return button() ? &state_ : nullptr; }

private:
    const model::ButtonData* button() const { return std::get_if<model::ButtonData>(&entry_.data); }
    // What a face is drawn from; a kept face is copied only while all of it is as it was.
    struct FaceStamp {
        model::ObjectData data;
        vx::objects::ButtonState state;
        std::optional<port::Palette> palette;
        uint64_t pictures = 0;
        uint64_t epoch = 0;
        POINT phase{};
    };
    FaceStamp face_stamp(POINT phase) const;
    bool matches(const FaceStamp& stamp, POINT phase) const;
    // Draws the object itself; false when what it drew cannot be kept (an animation frame).
    bool paint_direct(HDC dc);
    void repaint();
    void load_icon();
    void play_icon(HDC dc, const model::ButtonData& b, const vx::objects::IconPlacement& icon);

    model::ObjectEntry& entry_;
    const PageObjectEnv& env_;
    vx::objects::ButtonState state_;
    std::unique_ptr<vx::objects::ImagePicture> picture_;
    bool pressed_ = false;
    FaceCache face_;
    std::optional<FaceStamp> face_stamp_;     // what face_ shows
    std::optional<FaceStamp> direct_stamp_;   // the last face painted directly, if it may be kept
    std::optional<FaceStamp> refused_stamp_;  // a face found to depend on the page under it
};

// Bottom first, as the surface wants them: the master page's objects under the page's own
// (when the page shows master items), each page's oldest entry lowest.
std::vector<model::ObjectEntry*> stacking_order(const model::Page* master, model::Page* page);

// The page palette as the canvas takes it.
port::Palette port_palette(const model::Palette& palette);

}  // namespace vx::win::surface
