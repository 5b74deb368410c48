#pragma once
// The alignment window's commands and the arithmetic behind them. The window only says which
// button was pressed and whether "Relative to Object" is checked; every position is worked out
// here.
#include <vector>

#include "model/objects.h"
#include "port/canvas.h"

namespace vx::editor {

enum class Alignment {
    Left,     // "Align Object Left"
    CenterH,  // "Center Object (Left to Right)"
    Right,    // "Align Object Right"
    Top,      // "Align Object to the Top"
    CenterV,  // "Center Object (Top to Bottom)"
    Bottom,   // "Align Object  to the Bottom"
};

// The direction of one arrow of the nudge star.
enum class NudgeDirection { Left, Right, Up, Down };

struct AlignContext {
    model::Bounds frame;    // the selection frame: the union of the selected objects' bounds
    port::Size surface{};   // the surface's client width and height
    port::Point margins{};  // the page's left and top margins
    bool relative = false;  // "Relative to Object"
};

// The new bounds of each object (same order), halves rounded toward zero. Relative: each
// object lines up with the frame. Otherwise the frame as a whole moves against the surface
// and the page margins, and every object moves with it.
std::vector<model::Bounds> align(const std::vector<model::Bounds>& objects, Alignment how,
                                 const AlignContext& ctx);

// One step of the nudge star along `direction`: the grid spacing of that axis with snap on,
// else one pixel.
port::Point nudge_step(NudgeDirection direction, bool snap, port::Point grid);

}  // namespace vx::editor
