#pragma once
// The fill patterns of buttons, shapes, labels and images: pattern number 0 is a solid fill,
// 7 is no fill, and 1 to 48 (there is no 7) name an 8 x 8 monochrome picture. This table is the
// only place the pictures are drawn; the fill palette's sample box reads it too.
#include <cstdint>
#include <optional>
#include <string_view>

#include "port/canvas.h"

namespace vx::objects {

inline constexpr uint8_t kPatternSolid = 0;
inline constexpr uint8_t kPatternHollow = 7;
inline constexpr uint8_t kPatternLast = 48;

struct FillPattern {
    uint8_t number;
    std::string_view name;  // what the fill palette calls it
    port::Pattern8 bits;
};

// The picture for pattern `number`, or nullopt for 0, 7 and numbers above 48.
std::optional<port::Pattern8> fill_pattern(int number);
// Every picture in number order (1 to 48 without 7).
const FillPattern* fill_patterns_begin();
const FillPattern* fill_patterns_end();

}  // namespace vx::objects
