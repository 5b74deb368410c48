#pragma once
// Animated cursors (RIFF "ACON"): the header chunk, optional display rates and step
// sequence, and a "fram" list of icon chunks. Used for animated library entries, the
// buttons that show them and animated page tab icons.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "util/file_io.h"

namespace vx::iconlib {

// Display rate used when neither the rate chunk nor the header gives one, in 1/60 s.
inline constexpr uint32_t kDefaultRate = 10;

struct AnimationHeader {
    uint32_t frames = 0;
    uint32_t steps = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bit_count = 0;
    uint32_t planes = 0;
    uint32_t default_rate = 0;  // 1/60 s; 0 in many files
    uint32_t flags = 0;
};

struct AnimationStep {
    uint32_t frame = 0;  // index into Animation::frames
    uint32_t rate = 0;   // 1/60 s
};

struct Animation {
    AnimationHeader header;
    // Each frame is a complete icon file whose resource type word says "icon", so that it
    // loads as an icon even when it was stored as a cursor.
    std::vector<Bytes> frames;
    std::vector<AnimationStep> steps;
};

// nullopt on any data error: a missing or short header chunk, a chunk running past the end,
// steps that name frames the file does not hold, or a frame that is not a sound icon.
// Chunks are taken in whatever order the file has them, and the RIFF size field is only
// trusted when it fits the data, since real files carry 0 or a value too large there.
std::optional<Animation> read_animation(std::span<const uint8_t> data);

// How long a step stays on screen.
inline uint64_t step_delay_ms(uint32_t rate) {
    return uint64_t{rate} * 1000 / 60;
}

// Writes an animated cursor: one step per frame (each frame an icon or cursor file), all
// shown for `rate` 1/60 s. Throws std::invalid_argument when there is no frame or a frame
// is not a sound icon.
Bytes write_animation(const std::vector<Bytes>& frames, uint32_t rate);

// True when the bytes start like an animated cursor (used to tell entries apart by content).
bool looks_like_animation(std::span<const uint8_t> data);

}  // namespace vx::iconlib
