#pragma once
// "Copy Style" and "Paste Style": the first selected object's attributes go into a sample
// button; pasting gives each selected object, by its kind, the attribute groups the mask
// names, taken from the sample.
#include <cstdint>

#include "model/desktop.h"

namespace vx::editor {

// Bits of the style mask ("Style" in the registry), one per check box of "Copy Styles".
namespace style_bits {
inline constexpr uint16_t kLineStyle = 1u << 0;   // "Styl&e" (Line): pen style
inline constexpr uint16_t kSelectAll = 1u << 1;   // "Select &All": copies nothing
inline constexpr uint16_t kStyle = 1u << 2;       // "St&yle": style or shape, pattern, dither, transparency
inline constexpr uint16_t kAlignment = 1u << 3;   // "Align&ment": text alignment, show icon, its layout
inline constexpr uint16_t kImage = 1u << 4;       // "&Image": button icon and icon number
inline constexpr uint16_t kSound = 1u << 5;       // "&Sound": sound file and its option
inline constexpr uint16_t kColor = 1u << 6;       // "&Color": colour and second colour
inline constexpr uint16_t kLineWidth = 1u << 7;   // "Wi&dth" (Line): pen width
inline constexpr uint16_t kLineColor = 1u << 8;   // "Colo&r" (Line): pen colour
inline constexpr uint16_t kTop = 1u << 9;         // "&Top"
inline constexpr uint16_t kLeft = 1u << 10;       // "&Left"
inline constexpr uint16_t kFontName = 1u << 11;   // "&Name" (Font): font name and size
inline constexpr uint16_t kFontColor = 1u << 12;  // "C&olor" (Font)
inline constexpr uint16_t kHeight = 1u << 13;     // "&Height"
inline constexpr uint16_t kWidth = 1u << 14;      // "&Width"
}  // namespace style_bits

// What Copy Style keeps: a button holding the copied object's attributes. Size, position and
// pen always come along; an image's picture layout becomes the text alignment (tiled left,
// stretched centre, centred right) and its image file name the caption, which no paste group
// copies otherwise (a sample from any other kind has an empty caption).
model::ButtonData style_sample_of(const model::ObjectData& object);

// `target` with the groups of `mask` that its kind takes, from `sample`.
model::ObjectData paste_style(const model::ButtonData& sample, uint16_t mask,
                              const model::ObjectData& target);

}  // namespace vx::editor
