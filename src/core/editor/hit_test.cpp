#include "editor/hit_test.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "objects/button_paint.h"
#include "objects/line_star_paint.h"
#include "objects/shape_paint.h"

namespace vx::editor {
namespace {

bool strictly_inside(const model::Bounds& b, port::Point p) {
    return int64_t{b.left} < p.x && p.x < int64_t{b.left} + b.width && int64_t{b.top} < p.y &&
           p.y < int64_t{b.top} + b.height;
}

// The rounded rectangle with corner ellipses of (w div 4) by (h div 4), as the body is drawn.
bool in_round_rect(int64_t w, int64_t h, int x, int y) {
    const double rx = static_cast<double>(w / 4) / 2.0;
    const double ry = static_cast<double>(h / 4) / 2.0;
    if (rx <= 0 || ry <= 0) return true;
    const double cx = x + 0.5, cy = y + 0.5;
    // The centre of the corner ellipse nearest the point, when the point is in a corner.
    const double ex = cx < rx ? rx : (cx > static_cast<double>(w) - rx ? static_cast<double>(w) - rx : cx);
    const double ey = cy < ry ? ry : (cy > static_cast<double>(h) - ry ? static_cast<double>(h) - ry : cy);
    if (ex == cx || ey == cy) return true;
    const double dx = (cx - ex) / rx, dy = (cy - ey) / ry;
    return dx * dx + dy * dy <= 1.0;
}

double distance_to_segment(double px, double py, const objects::LineSegment& s) {
    const double ax = s.from.x, ay = s.from.y, bx = s.to.x, by = s.to.y;
    const double vx = bx - ax, vy = by - ay;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((px - ax) * vx + (py - ay) * vy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * vx), py - (ay + t * vy));
}

bool line_hit(model::LineData line, port::Point p) {
    // An invisible line is still there to be picked and moved.
    if (line.pen.style == static_cast<int>(port::PenStyle::Clear)) line.pen.style = 0;
    const objects::LineGeometry g = objects::line_geometry(line);
    const double px = static_cast<double>(int64_t{p.x} - line.bounds.left);
    const double py = static_cast<double>(int64_t{p.y} - line.bounds.top);
    const double reach = g.pen.width / 2.0 + kLineHitTolerance;
    return std::any_of(g.segments.begin(), g.segments.end(), [&](const objects::LineSegment& s) {
        return distance_to_segment(px, py, s) <= reach;
    });
}

bool body_hit(objects::BodyShape body, const model::Bounds& b, int x, int y) {
    switch (body) {
        case objects::BodyShape::Ellipse:
            return objects::in_inscribed_ellipse(b.width, b.height, x, y);
        case objects::BodyShape::RoundRect:
            return in_round_rect(b.width, b.height, x, y);
        default:
            return true;
    }
}

}  // namespace

bool object_hit(const model::ObjectData& object, port::Point p) {
    if (const auto* line = std::get_if<model::LineData>(&object)) return line_hit(*line, p);
    const model::Bounds& b = model::bounds_of(object);
    if (!strictly_inside(b, p)) return false;
    const int x = static_cast<int>(int64_t{p.x} - b.left);
    const int y = static_cast<int>(int64_t{p.y} - b.top);
    if (const auto* button = std::get_if<model::ButtonData>(&object))
        return objects::button_hit(*button, x, y);
    if (const auto* shape = std::get_if<model::ShapeData>(&object))
        return body_hit(objects::shape_body(shape->shape), b, x, y);
    return true;
}

model::ObjectId object_at(const model::Page& page, port::Point p) {
    for (const model::ObjectEntry& e : page.objects) {
        if (object_hit(e.data, p)) return e.id;
    }
    return model::kNoId;
}

namespace {

int clamped(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

port::Point handle_point(const model::Bounds& b, int handle) {
    const int right = clamped(int64_t{b.left} + b.width), bottom = clamped(int64_t{b.top} + b.height);
    const int cx = clamped(int64_t{b.left} + b.width / 2), cy = clamped(int64_t{b.top} + b.height / 2);
    switch (handle) {
        case 1:
            return {b.left, b.top};
        case 2:
            return {cx, b.top};
        case 3:
            return {right, b.top};
        case 4:
            return {b.left, cy};
        case 5:
            return {right, cy};
        case 6:
            return {b.left, bottom};
        case 7:
            return {cx, bottom};
        default:
            return {right, bottom};
    }
}

port::Rect handle_rect(const model::Bounds& b, int handle) {
    const port::Point at = handle_point(b, handle);
    const int left = clamped(int64_t{at.x} - kHandleLead), top = clamped(int64_t{at.y} - kHandleLead);
    return {left, top, clamped(int64_t{left} + kHandleSize), clamped(int64_t{top} + kHandleSize)};
}

HandleCursor handle_cursor(int handle) {
    switch (handle) {
        case 2:
        case 7:
            return HandleCursor::SizeNs;
        case 4:
        case 5:
            return HandleCursor::SizeWe;
        case 3:
        case 6:
            return HandleCursor::SizeNesw;
        default:
            return HandleCursor::SizeNwse;
    }
}

int handle_at(const model::Bounds& b, port::Point p) {
    for (int handle = kHandleCount; handle >= 1; --handle) {
        const port::Rect r = handle_rect(b, handle);
        if (r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom) return handle;
    }
    return 0;
}

std::optional<HandleHit> handle_at(const model::Desktop& desktop,
                                   const std::vector<model::ObjectId>& selection, port::Point p) {
    for (auto it = selection.rbegin(); it != selection.rend(); ++it) {
        const model::ObjectRef ref = desktop.find_object(*it);
        if (!ref) continue;
        if (const int handle = handle_at(model::bounds_of(ref.entry->data), p)) return HandleHit{*it, handle};
    }
    return std::nullopt;
}

}  // namespace vx::editor
