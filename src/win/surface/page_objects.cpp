#include "win/surface/page_objects.h"

#include "iconlib/animation.h"
#include "objects/button_paint.h"
#include "util/file_io.h"
#include "win/imaging/picture.h"
#include "win/util/text.h"

namespace vx::win::surface {

namespace {

PageObject::Drawn make_drawn(const model::ObjectData& data) {
    return std::visit(
        [](const auto& d) -> PageObject::Drawn {
            using T = std::decay_t<decltype(d)>;
            if constexpr (std::is_same_v<T, model::ButtonData>) {
                return objects::TKXButton(d);
            } else if constexpr (std::is_same_v<T, model::ShapeData>) {
                return objects::TKXShape(d);
            } else if constexpr (std::is_same_v<T, model::LineData>) {
                return objects::TKXLine(d);
            } else if constexpr (std::is_same_v<T, model::LabelData>) {
                return objects::TKXLabel(d);
            } else {
                objects::TKXImage image(d);
                // A picture that cannot be read leaves the frame alone.
                if (!d.picture_path.empty()) {
                    if (auto picture = objects::make_image_picture(imaging::decode_picture(d.picture_path)))
                        image.SetPicture(std::move(picture));
                }
                return image;
            }
        },
        data);
}

}  // namespace

PageObject::PageObject(model::ObjectEntry& entry, const PageObjectEnv& env)
    : entry_(entry), env_(env), drawn_(make_drawn(entry.data)) {
    std::visit(
        [this](auto& o) {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, objects::TKXButton>)
                o.on_refresh = [this](vx::objects::Refresh) { repaint(); };
            else
                o.on_refresh = [this] { repaint(); };
        },
        drawn_);
    load_icon();
}

void PageObject::load_icon() {
    auto* b = std::get_if<objects::TKXButton>(&drawn_);
    if (!b) return;
    const model::ButtonData& d = b->data();
    if (d.show_icon && env_.library) {
        const auto icon = env_.library->icon(d.icon);
        if (icon.id != port::kNoIcon || icon.animated) b->SetLibraryIcon(icon.id, icon.animated);
    }
    // A still icon file named beside the number takes its place, as the editor sets it.
    if (!d.ani_icon.empty() && !vx::objects::names_ani_file(d.ani_icon) && env_.pictures) {
        if (auto* table = dynamic_cast<objects::PictureTable*>(env_.pictures))
            b->SetAniIcon(d.ani_icon, *table);
    }
}

HCURSOR PageObject::cursor() const {
    const auto* b = std::get_if<objects::TKXButton>(&drawn_);
    if (!b || !b->data().show_cursor || !env_.library) return nullptr;
    return env_.library->cursor(b->data().cursor);
}

void PageObject::play_icon(HDC dc, const vx::objects::IconPlacement& icon) {
    const auto* b = std::get_if<objects::TKXButton>(&drawn_);
    if (!b) return;
    const iconlib::FrameList* frames = nullptr;
    std::optional<iconlib::FrameList> from_file;
    if (icon.action == vx::objects::IconPlacement::Action::PlayStream && env_.library) {
        frames = env_.library->frames(b->data().icon);
    } else if (icon.action == vx::objects::IconPlacement::Action::PlayFile) {
        // An unreadable animation file plays nothing; the button is drawn all the same.
        try {
            if (const auto animation = vx::iconlib::read_animation(read_file(b->data().ani_icon)))
                from_file = iconlib::frame_list(*animation);
        } catch (const std::exception&) {
        }
        if (from_file) frames = &*from_file;
    }
    if (frames)
        iconlib::play_frames(dc, *frames, {icon.at.x, icon.at.y},
                             b->data().btn_style == vx::objects::kxClear);
}

RECT PageObject::bounds() const {
    const model::Bounds& b = model::bounds_of(entry_.data);
    return {b.left, b.top, b.left + b.width, b.top + b.height};
}

void PageObject::repaint() {
    if (env_.invalidate) env_.invalidate(bounds());
}

void PageObject::paint(HDC dc) {
    const RECT r = bounds();
    const int saved = SaveDC(dc);
    // Objects never draw outside their own box, whatever their pen does.
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
    {
        objects::GdiCanvas canvas(dc, env_.pictures);
        std::visit(
            [&](auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, objects::TKXButton>) {
                    const auto result = o.Paint(canvas, env_.palette);
                    if (result.icon.action == vx::objects::IconPlacement::Action::PlayStream ||
                        result.icon.action == vx::objects::IconPlacement::Action::PlayFile)
                        play_icon(dc, result.icon);
                } else {
                    o.Paint(canvas, env_.palette);
                }
            },
            drawn_);
    }
    RestoreDC(dc, saved);
}

bool PageObject::hit_test(POINT p) const {
    const RECT r = bounds();
    if (!PtInRect(&r, p)) return false;
    if (const auto* button = std::get_if<objects::TKXButton>(&drawn_))
        return vx::objects::button_hit(button->data(), p.x - r.left, p.y - r.top);
    return true;
}

void PageObject::mouse_down(POINT p, UINT button) {
    auto* b = std::get_if<objects::TKXButton>(&drawn_);
    if (!b) return;
    const RECT r = bounds();
    const auto which =
        button == MK_LBUTTON ? vx::objects::MouseButton::Left : vx::objects::MouseButton::Right;
    pressed_ =
        b->MouseDown(which, false, p.x - r.left, p.y - r.top) && which == vx::objects::MouseButton::Left;
}

void PageObject::mouse_up(POINT p, UINT) {
    auto* b = std::get_if<objects::TKXButton>(&drawn_);
    if (!b) return;
    const bool was_pressed = pressed_;
    pressed_ = false;
    b->MouseUp(true);
    // A release away from the button takes the press back, as a user expects.
    if (was_pressed && hit_test(p) && env_.button_click) env_.button_click(entry_);
}

std::vector<model::ObjectEntry*> stacking_order(const model::Page* master, model::Page* page) {
    std::vector<model::ObjectEntry*> out;
    if (!page) return out;
    auto add = [&out](std::list<model::ObjectEntry>& list) {
        for (auto it = list.rbegin(); it != list.rend(); ++it) out.push_back(&*it);
    };
    if (master && master != page && page->show_master_items) add(const_cast<model::Page*>(master)->objects);
    add(page->objects);
    return out;
}

port::Palette port_palette(const model::Palette& palette) {
    port::Palette out;
    for (size_t i = 0; i < palette.size(); ++i)
        out.entries[i] =
            static_cast<port::Color>(palette[i].red | (palette[i].green << 8) | (palette[i].blue << 16));
    return out;
}

}  // namespace vx::win::surface
