// Animated cursors come from users: any bytes must give an animation or none, never a crash.
#include <cstdint>
#include <cstdlib>

#include "iconlib/animation.h"
#include "iconlib/icon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::iconlib;
    const auto anim = read_animation(std::span<const uint8_t>(data, size));
    if (!anim) return 0;
    if (anim->frames.empty() || anim->steps.empty()) std::abort();
    for (const auto& step : anim->steps)
        if (step.frame >= anim->frames.size()) std::abort();
    for (const auto& frame : anim->frames)
        if (!read_icon_file(frame)) std::abort();
    return 0;
}
