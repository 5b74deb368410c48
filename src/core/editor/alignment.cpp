#include "editor/alignment.h"

namespace vx::editor {

std::vector<model::Bounds> align(const std::vector<model::Bounds>& objects, Alignment how,
                                 const AlignContext& ctx) {
    const model::Bounds& f = ctx.frame;
    // Integer division truncates: the halves round toward zero.
    const int frame_mid_x = f.left + f.width / 2;
    const int frame_mid_y = f.top + f.height / 2;
    std::vector<model::Bounds> out = objects;
    for (model::Bounds& b : out) {
        if (ctx.relative) {
            switch (how) {
                case Alignment::Left:
                    b.left = f.left;
                    break;
                case Alignment::CenterH:
                    b.left = frame_mid_x - b.width / 2;
                    break;
                case Alignment::Right:
                    b.left = f.left + f.width - b.width;
                    break;
                case Alignment::Top:
                    b.top = f.top;
                    break;
                case Alignment::CenterV:
                    b.top = frame_mid_y - b.height / 2;
                    break;
                case Alignment::Bottom:
                    b.top = f.top + f.height - b.height;
                    break;
            }
            continue;
        }
        switch (how) {
            case Alignment::Left:
                b.left += ctx.margins.x - f.left;
                break;
            case Alignment::CenterH:
                b.left -= frame_mid_x - ctx.surface.width / 2;
                break;
            case Alignment::Right:
                b.left += ctx.surface.width - f.left - f.width - ctx.margins.x;
                break;
            case Alignment::Top:
                b.top += ctx.margins.y - f.top;
                break;
            case Alignment::CenterV:
                b.top -= frame_mid_y - ctx.surface.height / 2;
                break;
            case Alignment::Bottom:
                b.top += ctx.surface.height - f.top - f.height - ctx.margins.y;
                break;
        }
    }
    return out;
}

port::Point nudge_step(NudgeDirection direction, bool snap, port::Point grid) {
    const int sx = snap ? grid.x : 1;
    const int sy = snap ? grid.y : 1;
    switch (direction) {
        case NudgeDirection::Left:
            return {-sx, 0};
        case NudgeDirection::Right:
            return {sx, 0};
        case NudgeDirection::Up:
            return {0, -sy};
        case NudgeDirection::Down:
            return {0, sy};
    }
    return {};
}

}  // namespace vx::editor
