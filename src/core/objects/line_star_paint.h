#pragma once
// How lines and the four-armed star paint themselves, and which star arm a press picks.
#include <vector>

#include "model/objects.h"
#include "objects/face_draw.h"

namespace vx::objects {

enum TKXLineDirection : int {
    kxLineLeft = 0,
    kxLineTop = 1,
    kxLineRight = 2,
    kxLineBottom = 3,
    kxLineTopBottom = 4,
    kxLineBottomTop = 5,
};
inline constexpr int kLineDirectionCount = 6;

struct LineSegment {
    port::Point from{};
    port::Point to{};  // not drawn
    friend bool operator==(const LineSegment&, const LineSegment&) = default;
};

// The pen the line is drawn with and the segments: one of the pen's width for a solid pen,
// parallel one-pixel lines for the styles the system draws only one pixel wide.
struct LineGeometry {
    port::Pen pen{};
    std::vector<LineSegment> segments;
};
LineGeometry line_geometry(const model::LineData& l);

void paint_line(Canvas& c, const model::LineData& l, const port::Palette* palette);

enum StarArm : int { kStarNone = -1, kStarLeft = 0, kStarRight = 1, kStarTop = 2, kStarBottom = 3 };

struct StarState {
    int pressed = kStarNone;   // the arm drawn pressed, until the release
    int last_arm = kStarNone;  // the arm the last press picked; the nudge control reads it
};

// The arm under (x, y) by the two diagonals; points on a diagonal go to the right-hand side
// and the exact centre to the right arm.
int star_arm_at(int width, int height, int x, int y);

// The system's button face colour, behind the centre square while an arm is pressed.
inline constexpr Color kButtonFace = static_cast<Color>(0x8000000Fu);

void paint_star(Canvas& c, int width, int height, const StarState& s, const port::Palette* palette);
// The press picks and records an arm and draws it pressed.
int star_mouse_down(StarState& s, int width, int height, int x, int y);
// All arms up again; true when something was pressed (a repaint is due).
bool star_mouse_up(StarState& s);

}  // namespace vx::objects
