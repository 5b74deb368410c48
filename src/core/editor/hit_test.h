#pragma once
// What a press on the editing surface picks: a sizing handle of the selection first, then the
// frontmost object whose drawn area holds the point. All points are page-client coordinates.
//
// Hit areas by kind:
// - every kind but the line: strictly inside the bounds (a press on the edge misses), and
//   there inside the body it draws where that is not its whole box:
// - buttons: as a press in run mode, the inscribed ellipse for the round styles, else the box;
// - shapes: the inscribed ellipse for the ellipse styles, the rounded rectangle for kxRoundRect
//   (corners of a quarter of the width and height), the box for every other style, kxClear
//   included, so that an invisible panel can still be picked;
// - labels and images: the box, their frames being rectangles;
// - lines: within kLineHitTolerance pixels of what the pen strokes, whatever the bounds say,
//   since a one-pixel line has no inside; a clear pen counts as solid there.
#include <optional>
#include <vector>

#include "model/desktop.h"
#include "port/canvas.h"

namespace vx::editor {

// Either side of a line's stroke: a one-pixel line becomes a seven-pixel band to aim at.
inline constexpr int kLineHitTolerance = 3;

bool object_hit(const model::ObjectData& object, port::Point p);
// Walks the page's list from the front; kNoId when nothing is hit.
model::ObjectId object_at(const model::Page& page, port::Point p);

// The eight sizing handles, numbered 1 to 8: left-top, centre-top, right-top, left-centre,
// right-centre, left-bottom, centre-bottom, right-bottom (centres rounded toward zero).
inline constexpr int kHandleCount = 8;
inline constexpr int kHandleSize = 5;
// A handle's top-left lies this many pixels above and to the left of the point it marks.
inline constexpr int kHandleLead = 3;

enum class HandleCursor {
    SizeNwse,  // diagonal NW-SE
    SizeNs,    // vertical
    SizeNesw,  // diagonal NE-SW
    SizeWe,    // horizontal
};

port::Point handle_point(const model::Bounds& b, int handle);
port::Rect handle_rect(const model::Bounds& b, int handle);
HandleCursor handle_cursor(int handle);
// The handle (1 to 8) under `p`, or 0. Where the handles of a small object overlap, the one
// shown last, the highest number, is on top.
int handle_at(const model::Bounds& b, port::Point p);

struct HandleHit {
    model::ObjectId object = model::kNoId;
    int handle = 0;
    bool operator==(const HandleHit&) const = default;
};
// The selection's handles, which lie over every object. They are shown entry by entry in the
// selection's order, so the last entry's handles are on top.
std::optional<HandleHit> handle_at(const model::Desktop& desktop,
                                   const std::vector<model::ObjectId>& selection, port::Point p);

}  // namespace vx::editor
