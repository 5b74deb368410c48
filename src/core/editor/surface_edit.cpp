#include "editor/surface_edit.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

#include "editor/hit_test.h"
#include "shell/text_rules.h"
#include "util/file_io.h"

namespace vx::editor {
namespace {

int32_t clamp32(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The rectangle between two corners, whichever way round they lie.
port::Rect normalised(port::Point a, port::Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

model::Bounds bounds_between(port::Point a, port::Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), clamp32(std::abs(int64_t{a.x} - b.x)),
            clamp32(std::abs(int64_t{a.y} - b.y))};
}

bool strictly_within(const model::Bounds& b, const port::Rect& band) {
    return b.left > band.left && int64_t{b.left} + b.width < band.right && b.top > band.top &&
           int64_t{b.top} + b.height < band.bottom;
}

const model::ObjectData* object_on(const model::Page& page, model::ObjectId id) {
    for (const model::ObjectEntry& e : page.objects)
        if (e.id == id) return &e.data;
    return nullptr;
}

}  // namespace

int snap_down(int value, int grid) {
    if (grid <= 0) return value;
    // Floor, not truncation: an object left of the page's origin snaps further left, to the
    // grid line at or before it, as one on the right does.
    int rem = value % grid;
    if (rem < 0) rem += grid;
    return clamp32(int64_t{value} - rem);
}

port::Point snap_point(port::Point p, const GridSettings& grid) {
    if (!grid.snap) return p;
    return {snap_down(p.x, grid.width), snap_down(p.y, grid.height)};
}

int clamp_grid(int value) {
    return std::clamp(value, kGridMin, kGridMax);
}

void for_each_grid_dot(const GridSettings& grid, port::Point scroll, port::Size client,
                       const std::function<void(port::Point)>& dot) {
    if (!grid.show || grid.width <= 0 || grid.height <= 0) return;
    // Dots scrolled off the left or the top are not visited at all.
    auto first = [](int spacing, int offset) {
        // The smallest i with spacing * i - offset - 1 >= 0.
        return std::max<int64_t>(1, (int64_t{offset} + spacing) / spacing);
    };
    for (int64_t j = first(grid.height, scroll.y);; ++j) {
        const int64_t y = grid.height * j - scroll.y - 1;
        if (y >= client.height) break;
        if (y < 0) continue;
        for (int64_t i = first(grid.width, scroll.x);; ++i) {
            const int64_t x = grid.width * i - scroll.x - 1;
            if (x >= client.width) break;
            if (x < 0) continue;
            dot({static_cast<int>(x), static_cast<int>(y)});
        }
    }
}

std::string mouse_position_text(port::Point p) {
    return std::to_string(p.x) + " x " + std::to_string(p.y);
}

// --- Selection ---

bool Selection::contains(model::ObjectId id) const {
    return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

void Selection::add(const model::Page& page, model::ObjectId id) {
    const model::ObjectData* object = object_on(page, id);
    if (!object) return;
    const int32_t tag = model::tag_of(*object);
    if (tag <= 0) {
        if (!contains(id)) ids_.push_back(id);
        return;
    }
    for (const model::ObjectEntry& e : page.objects)
        if (model::tag_of(e.data) == tag && !contains(e.id)) ids_.push_back(e.id);
}

void Selection::select_all(const model::Page& page) {
    ids_.clear();
    for (const model::ObjectEntry& e : page.objects) ids_.push_back(e.id);
}

void Selection::prune(const model::Page& page) {
    std::erase_if(ids_, [&](model::ObjectId id) { return object_on(page, id) == nullptr; });
}

std::optional<model::Bounds> Selection::frame(const model::Desktop& desktop) const {
    std::optional<port::Rect> u;
    for (model::ObjectId id : ids_) {
        const model::ObjectRef ref = desktop.find_object(id);
        if (!ref) continue;
        const model::Bounds& b = model::bounds_of(ref.entry->data);
        const port::Rect r{b.left, b.top, clamp32(int64_t{b.left} + b.width),
                           clamp32(int64_t{b.top} + b.height)};
        if (!u) {
            u = r;
        } else {
            u = port::Rect{std::min(u->left, r.left), std::min(u->top, r.top), std::max(u->right, r.right),
                           std::max(u->bottom, r.bottom)};
        }
    }
    if (!u) return std::nullopt;
    return model::Bounds{u->left, u->top, u->width(), u->height()};
}

// --- Gestures ---

SurfaceGestures::SurfaceGestures(model::Desktop& desktop, Selection& selection, const GridSettings& grid)
    : desktop_(desktop), selection_(selection), grid_(grid) {}

bool SurfaceGestures::active() const {
    return gesture_ != Gesture::None;
}

void SurfaceGestures::cancel() {
    gesture_ = Gesture::None;
}

PressResult SurfaceGestures::press(const model::Page& page, Tool tool, const PointerInput& in) {
    PressResult r;
    // The button that began the band or the resize is still down; a second one adds nothing.
    if (gesture_ == Gesture::Band || gesture_ == Gesture::Resize) return r;

    // The handles lie over every object and answer the left button only, whatever the tool.
    if (gesture_ == Gesture::None && !selection_.empty()) {
        if (const auto hit = handle_at(desktop_, selection_.ids(), in.page)) {
            if (in.button != MouseButton::Left) return r;
            const model::ObjectRef ref = desktop_.find_object(hit->object);
            const model::Bounds& b = model::bounds_of(ref.entry->data);
            const port::Point tl{b.left, b.top};
            const port::Point br{clamp32(int64_t{b.left} + b.width), clamp32(int64_t{b.top} + b.height)};
            switch (hit->handle) {
                case 1:
                case 2:
                case 4:
                    moving_ = tl, fixed_ = br;
                    break;
                case 3:
                    moving_ = {br.x, tl.y}, fixed_ = {tl.x, br.y};
                    break;
                case 6:
                    moving_ = {tl.x, br.y}, fixed_ = {br.x, tl.y};
                    break;
                default:
                    moving_ = br, fixed_ = tl;
                    break;
            }
            handle_ = hit->handle;
            resize_object_ = hit->object;
            last_ = in.page;
            gesture_ = Gesture::Resize;
            r.outcome = PressOutcome::Resize;
            r.object = hit->object;
            return r;
        }
    }

    const model::ObjectId hit = tool == Tool::Selector ? object_at(page, in.page) : model::kNoId;
    if (hit == model::kNoId || in.ctrl) {
        if (gesture_ == Gesture::Drag) return r;
        if (in.button != MouseButton::Left) {
            r.outcome = PressOutcome::Popup;
            return r;
        }
        band_start_ = band_corner_ = snap_point(in.page, grid_);
        current_tool_ = tool;
        gesture_ = Gesture::Band;
        r.outcome = PressOutcome::RubberBand;
        return r;
    }

    r.object = hit;
    if (!selection_.contains(hit)) {
        if (!in.shift) selection_.clear();
        selection_.add(page, hit);
        r.load_palette = true;
        r.selection_changed = true;
    }
    if (gesture_ == Gesture::Drag) return r;
    if (in.button == MouseButton::Right) {
        r.outcome = PressOutcome::EditObject;
        return r;
    }
    if (in.button != MouseButton::Left) return r;
    const std::optional<model::Bounds> frame = selection_.frame(desktop_);
    if (!frame) return r;
    origin_ = anchor_ = {frame->left, frame->top};
    frame_size_ = {frame->width, frame->height};
    last_ = in.page;
    anchor_moved_ = false;
    gesture_ = Gesture::Drag;
    r.outcome = PressOutcome::Drag;
    return r;
}

MoveResult SurfaceGestures::move(port::Point page, int client_y, int surface_height) {
    MoveResult r;
    const std::optional<port::Rect> before = feedback();
    switch (gesture_) {
        case Gesture::None:
            return r;
        case Gesture::Drag:
            if (client_y > surface_height) {
                cancel();
                r.page_drag = true;
                r.feedback_changed = before.has_value();
                return r;
            }
            anchor_.x = clamp32(int64_t{anchor_.x} + page.x - last_.x);
            anchor_.y = clamp32(int64_t{anchor_.y} + page.y - last_.y);
            if (anchor_ != origin_) anchor_moved_ = true;
            break;
        case Gesture::Band:
            band_corner_ = snap_point(page, grid_);
            break;
        case Gesture::Resize: {
            const bool x_moves = handle_ != 2 && handle_ != 7;
            const bool y_moves = handle_ != 4 && handle_ != 5;
            if (x_moves) moving_.x = clamp32(int64_t{moving_.x} + page.x - last_.x);
            if (y_moves) moving_.y = clamp32(int64_t{moving_.y} + page.y - last_.y);
            break;
        }
    }
    last_ = page;
    r.feedback_changed = feedback() != before;
    return r;
}

ReleaseResult SurfaceGestures::release(const model::Page& page, const PointerInput& in) {
    ReleaseResult r;
    if (in.button != MouseButton::Left) return r;
    const Gesture ended = gesture_;
    cancel();
    switch (ended) {
        case Gesture::None:
            break;
        case Gesture::Drag: {
            const port::Point to = snap_point(anchor_, grid_);
            r.command = make_move(desktop_, selection_.ids(), to.x - origin_.x, to.y - origin_.y);
            if (r.command) r.outcome = ReleaseOutcome::Command;
            break;
        }
        case Gesture::Band: {
            r.tool = current_tool_;
            const port::Rect band = normalised(band_start_, band_corner_);
            if (current_tool_ != Tool::Selector) {
                r.outcome = ReleaseOutcome::NewObject;
                r.rect = bounds_between(band_start_, band_corner_);
                break;
            }
            selection_.clear();
            for (const model::ObjectEntry& e : page.objects)
                if (!selection_.contains(e.id) && strictly_within(model::bounds_of(e.data), band))
                    selection_.add(page, e.id);
            r.outcome = ReleaseOutcome::Selected;
            break;
        }
        case Gesture::Resize: {
            const port::Point a = snap_point(moving_, grid_);
            const port::Point b = snap_point(fixed_, grid_);
            r.command = make_resize(desktop_, resize_object_, bounds_between(a, b));
            if (r.command) r.outcome = ReleaseOutcome::Command;
            break;
        }
    }
    return r;
}

std::optional<port::Rect> SurfaceGestures::feedback() const {
    switch (gesture_) {
        case Gesture::None:
            return std::nullopt;
        case Gesture::Band:
            return normalised(band_start_, band_corner_);
        case Gesture::Drag: {
            // Nothing is drawn until the selection has actually been pulled away.
            if (!anchor_moved_) return std::nullopt;
            const port::Point at = snap_point(anchor_, grid_);
            return port::Rect{at.x, at.y, clamp32(int64_t{at.x} + frame_size_.width),
                              clamp32(int64_t{at.y} + frame_size_.height)};
        }
        case Gesture::Resize:
            return normalised(snap_point(moving_, grid_), snap_point(fixed_, grid_));
    }
    return std::nullopt;
}

// --- Keys ---

DesignKeyAction design_key(unsigned virtual_key, bool ctrl, bool shift, bool has_selection,
                           const GridSettings& grid) {
    constexpr unsigned kAdd = 0x6B, kSubtract = 0x6D, kDelete = 0x2E, kEscape = 0x1B;
    constexpr unsigned kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
    DesignKeyAction a;
    // With Ctrl or Shift the key is a speed key, looked up among the buttons instead.
    if (!has_selection || ctrl || shift) return a;
    const int sx = grid.snap ? grid.width : 1;
    const int sy = grid.snap ? grid.height : 1;
    switch (virtual_key) {
        case kAdd:
            a.action = DesignKey::BringToFront;
            break;
        case kSubtract:
            a.action = DesignKey::SendToBack;
            break;
        case kDelete:
            a.action = DesignKey::Delete;
            break;
        case kEscape:
            a.action = DesignKey::ClearSelection;
            break;
        case kLeft:
            a = {DesignKey::Nudge, {-sx, 0}};
            break;
        case kRight:
            a = {DesignKey::Nudge, {sx, 0}};
            break;
        case kUp:
            a = {DesignKey::Nudge, {0, -sy}};
            break;
        case kDown:
            a = {DesignKey::Nudge, {0, sy}};
            break;
        default:
            break;
    }
    return a;
}

// --- Arrange icons ---

CommandPtr make_arrange_icons(const model::Desktop& desktop, const model::Page& page, int surface_height) {
    std::vector<std::pair<model::ObjectId, model::ObjectData>> after;
    int64_t x = page.left_margin, y = page.top_margin;
    int64_t column_width = 0;
    bool column_used = false;
    for (const model::ObjectEntry& e : page.objects) {
        const auto* button = std::get_if<model::ButtonData>(&e.data);
        if (!button) continue;
        const model::Bounds& b = button->bounds;
        // A new column starts only past a column that holds a button, and steps over that
        // column's widest button: a button too high for the surface still gets a place, and
        // a wide first button of a column is not overlapped by the next column.
        if (column_used && y + b.height > surface_height) {
            y = page.top_margin;
            x += column_width + 10;
            column_width = 0;
        }
        column_width = std::max<int64_t>(column_width, b.width);
        column_used = true;
        model::ObjectData moved = e.data;
        model::bounds_of(moved).left = clamp32(x);
        model::bounds_of(moved).top = clamp32(y);
        after.emplace_back(e.id, std::move(moved));
        y += int64_t{b.height} + 10;
    }
    return make_edits(desktop, std::move(after), labels::kAlignIcons);
}

// --- Temporary names, the alignment window's place ---

std::string clipboard_temp_name(std::string_view dir, const std::function<bool(const std::string&)>& exists) {
    for (unsigned n = 1; n <= 99999999u; ++n) {
        char ext[16];
        std::snprintf(ext, sizeof ext, "%08u", n);
        std::string name = join_path(dir, std::string("$$$.") + ext);
        if (!exists(name)) return name;
    }
    return {};
}

port::Point align_window_position(std::string_view stored, port::Point designed, port::Size screen) {
    port::Point p = designed;
    auto field = [](std::string_view text, int& out) {
        int v = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, v);
        if (ec == std::errc() && ptr == end && !text.empty()) out = v;
    };
    const size_t comma = stored.find(',');
    field(stored.substr(0, comma), p.x);
    if (comma != std::string_view::npos) field(stored.substr(comma + 1), p.y);
    // Negative places are reset too: above the screen the caption, the only handle to drag the
    // window back by, would be out of reach.
    if (int64_t{p.x} > int64_t{screen.width} - 30 || p.x < 0) p.x = 0;
    if (int64_t{p.y} > int64_t{screen.height} - 30 || p.y < 0) p.y = 0;
    return p;
}

std::string align_window_text(port::Point position) {
    return std::to_string(position.x) + "," + std::to_string(position.y);
}

// --- Dropped files ---

bool is_shortcut_path(std::string_view path) {
    const std::string name = file_name_of(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    return shell::to_upper(std::string_view(name).substr(dot)).find(".LNK") != std::string::npos;
}

DroppedButtonSource dropped_button_source(const DroppedFile& file) {
    DroppedButtonSource s;
    const std::string name = file_name_of(file.path);
    s.caption = name.substr(0, name.rfind('.'));
    if (file.link && is_shortcut_path(file.path)) {
        const ShellLink& link = *file.link;
        s.command = link.target;
        if (!link.arguments.empty()) s.command += " " + link.arguments;
        s.folder = link.working_directory;
        s.icon_source = link.icon_location.empty() ? link.target : link.icon_location;
        return s;
    }
    s.command = file.path;
    s.folder = dir_of(file.path);
    // "C:" alone names the drive's current folder, not its root.
    if (s.folder.size() == 2 && s.folder[1] == ':') s.folder += '\\';
    s.icon_source = file.path;
    return s;
}

model::ButtonData dropped_button(const DroppedButtonSource& source, const model::ButtonData& style,
                                 port::Point cursor, int index, port::Size caption_extent, int icon_number) {
    model::ButtonData b;
    b.kind = model::kKindProgram;
    b.caption = source.caption;
    b.command = source.command + '\r';
    b.command_lines = 1;
    b.directory = source.folder;
    b.text_align = 0;  // kxLeft
    b.font = style.font;
    b.color = style.color;
    b.transparent = style.transparent;
    b.pattern = style.pattern;
    b.pen_color = style.pen_color;
    b.show_icon = true;
    b.icon = static_cast<uint16_t>(std::clamp(icon_number, 0, 0xFFFF));
    b.bounds = {clamp32(int64_t{cursor.x} + 6 * int64_t{index}),
                clamp32(int64_t{cursor.y} + 6 * int64_t{index}), clamp32(int64_t{caption_extent.width} + 65),
                clamp32(int64_t{caption_extent.height} + 40)};
    return b;
}

}  // namespace vx::editor
