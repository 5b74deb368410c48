#include "win/surface/page_objects.h"

#include "iconlib/animation.h"
#include "objects/line_star_paint.h"
#include "util/file_io.h"
#include "win/imaging/picture.h"
#include "win/objects/image_pictures.h"
#include "win/util/text.h"

namespace vx::win::surface {

namespace core = vx::objects;

PageObject::PageObject(model::ObjectEntry& entry, const PageObjectEnv& env) : entry_(entry), env_(env) {
    if (const auto* image = std::get_if<model::ImageData>(&entry_.data)) {
        // A picture that cannot be read leaves the frame alone.
        if (!image->picture_path.empty())
            picture_ = objects::make_image_picture(imaging::decode_picture(image->picture_path));
    }
    load_icon();
}

void PageObject::load_icon() {
    const model::ButtonData* b = button();
    if (!b) return;
    if (b->show_icon && env_.library) {
        const auto icon = env_.library->icon(b->icon);
        if (icon.id != port::kNoIcon || icon.animated) {
            state_.icon = icon.id;
            state_.has_animation_stream = icon.animated;
        }
    }
    // A still icon file named beside the number takes its place, as the editor sets it.
    if (!b->ani_icon.empty() && !core::names_ani_file(b->ani_icon) && env_.pictures) {
        if (auto* table = dynamic_cast<objects::PictureTable*>(env_.pictures)) {
            if (const port::IconId icon = table->load_first_icon(b->ani_icon); icon != port::kNoIcon)
                state_.icon = icon;
            state_.icon_from_file = true;
        }
    }
}

HCURSOR PageObject::cursor() const {
    const model::ButtonData* b = button();
    if (!b || !b->show_cursor || !env_.library) return nullptr;
    return env_.library->cursor(b->cursor);
}

void PageObject::play_icon(HDC dc, const model::ButtonData& b, const core::IconPlacement& icon) {
    const iconlib::FrameList* frames = nullptr;
    std::optional<iconlib::FrameList> from_file;
    if (icon.action == core::IconPlacement::Action::PlayStream && env_.library) {
        frames = env_.library->frames(b.icon);
    } else if (icon.action == core::IconPlacement::Action::PlayFile) {
        // An unreadable animation file plays nothing; the button is drawn all the same.
        try {
            if (const auto animation = vx::iconlib::read_animation(read_file(b.ani_icon)))
                from_file = iconlib::frame_list(*animation);
        } catch (const std::exception&) {
        }
        if (from_file) frames = &*from_file;
    }
    if (frames) iconlib::play_frames(dc, *frames, {icon.at.x, icon.at.y}, b.btn_style == core::kxClear);
}

RECT PageObject::bounds() const {
    const model::Bounds& b = model::bounds_of(entry_.data);
    return {b.left, b.top, b.left + b.width, b.top + b.height};
}

void PageObject::repaint() {
    if (env_.invalidate) env_.invalidate(bounds());
}

PageObject::FaceStamp PageObject::face_stamp(POINT phase) const {
    FaceStamp s{entry_.data,  state_, std::nullopt, env_.pictures ? env_.pictures->generation() : 0,
                kept_faces_epoch(), phase};
    if (env_.palette) s.palette = *env_.palette;
    return s;
}

bool PageObject::matches(const FaceStamp& s, POINT phase) const {
    if (s.phase.x != phase.x || s.phase.y != phase.y || !(s.state == state_)) return false;
    if ((env_.pictures ? env_.pictures->generation() : 0) != s.pictures || s.epoch != kept_faces_epoch())
        return false;
    if (s.palette.has_value() != (env_.palette != nullptr)) return false;
    if (env_.palette && s.palette->entries != env_.palette->entries) return false;
    return s.data == entry_.data;
}

void PageObject::paint(HDC dc) {
    const auto target = dib_pixels(dc);
    if (!target) {
        paint_direct(dc);
        return;
    }
    const RECT r = bounds();
    POINT at{r.left, r.top};
    LPtoDP(dc, &at, 1);
    const POINT phase = brush_phase(dc, at);
    if (face_stamp_ && matches(*face_stamp_, phase)) {
        face_.draw(*target, at);
        return;
    }
    // A face is learnt at its second paint unchanged, so that a page shown once, or a face
    // that differs at every paint, costs no more than painting it.
    if (direct_stamp_ && matches(*direct_stamp_, phase) && !(refused_stamp_ && matches(*refused_stamp_, phase))) {
        if (face_.learn(SIZE{r.right - r.left, r.bottom - r.top}, POINT{r.left, r.top}, phase,
                        [this](HDC scratch) { paint_direct(scratch); })) {
            face_stamp_ = std::move(direct_stamp_);
            direct_stamp_.reset();
            face_.draw(*target, at);
            return;
        }
        face_stamp_.reset();
        refused_stamp_ = std::move(direct_stamp_);
        direct_stamp_.reset();
    }
    if (paint_direct(dc)) {
        direct_stamp_ = face_stamp(phase);
    } else {
        direct_stamp_.reset();
    }
}

bool PageObject::paint_direct(HDC dc) {
    bool keepable = true;
    const RECT r = bounds();
    const int saved = SaveDC(dc);
    // Objects never draw outside their own box, whatever their pen does.
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
    {
        objects::GdiCanvas canvas(dc, env_.pictures);
        std::visit(
            [&](const auto& d) {
                using T = std::decay_t<decltype(d)>;
                if constexpr (std::is_same_v<T, model::ButtonData>) {
                    const auto result = core::paint_button(canvas, d, state_, core::PaintEnv{env_.palette});
                    if (result.icon.action == core::IconPlacement::Action::PlayStream ||
                        result.icon.action == core::IconPlacement::Action::PlayFile) {
                        play_icon(dc, d, result.icon);
                        keepable = false;
                    }
                } else if constexpr (std::is_same_v<T, model::ShapeData>) {
                    core::paint_shape(canvas, d, {env_.palette});
                } else if constexpr (std::is_same_v<T, model::LineData>) {
                    core::paint_line(canvas, d, env_.palette);
                } else if constexpr (std::is_same_v<T, model::LabelData>) {
                    core::paint_label(canvas, d, {env_.palette});
                } else {
                    core::paint_image(canvas, d, picture_.get(), {env_.palette});
                }
            },
            entry_.data);
    }
    RestoreDC(dc, saved);
    return keepable;
}

bool PageObject::hit_test(POINT p) const {
    const RECT r = bounds();
    if (!PtInRect(&r, p)) return false;
    if (const model::ButtonData* b = button()) return core::button_hit(*b, p.x - r.left, p.y - r.top);
    return true;
}

void PageObject::mouse_down(POINT p, UINT button_flag) {
    const model::ButtonData* b = button();
    if (!b) return;
    const RECT r = bounds();
    const auto which = button_flag == MK_LBUTTON ? core::MouseButton::Left : core::MouseButton::Right;
    pressed_ = false;
    if (!core::button_mouse_down(*b, state_, which, false, p.x - r.left, p.y - r.top)) return;
    if (core::face_refresh(*b) != core::Refresh::None) repaint();
    pressed_ = which == core::MouseButton::Left;
}

void PageObject::mouse_up(POINT p, UINT) {
    const model::ButtonData* b = button();
    if (!b) return;
    const bool was_pressed = pressed_;
    pressed_ = false;
    if (core::button_mouse_up(*b, state_, true) != core::Refresh::None) repaint();
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
