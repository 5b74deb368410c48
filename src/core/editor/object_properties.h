#pragma once
// The shape, line, label and image editors' fields as values, in the button editor's pattern
// (button_properties.h): properties_of fills the value from an object, the dialog moves its
// controls in and out of it, validate names the first field OK cannot take, and apply gives the
// edited object. The tool palette's attributes and how they reach objects are here too.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/button_properties.h"
#include "editor/object_commands.h"
#include "editor/tool.h"
#include "model/desktop.h"
#include "model/objects.h"

namespace vx::editor {

// What the style scroll bar of each editor runs over, and the styles that draw a gradient (the
// dialog shows its gradient panel only for those). A kind without gradients has an empty range.
struct StyleRange {
    int32_t min = 0;
    int32_t max = 0;
    int32_t gradient_first = 1;
    int32_t gradient_last = 0;
    bool gradient(int32_t style) const { return style >= gradient_first && style <= gradient_last; }
    bool contains(int32_t style) const { return style >= min && style <= max; }
};
StyleRange style_range(model::ObjectKind kind);

// X, Y, W, H as typed. Text that does not read as four integers places the object at
// kFallbackBounds; a width or height below 1 becomes kSizeForNoSize.
struct TypedBounds {
    std::string x, y, w, h;
    bool operator==(const TypedBounds&) const = default;
};
TypedBounds typed_bounds(const model::Bounds& b);
model::Bounds bounds_from(const TypedBounds& t);

struct ShapeProperties {
    int32_t shape = 1;
    model::Color color = model::kBlue;
    model::Color color2 = model::kWhite;
    model::Color pen_color = model::kBlack;
    uint8_t pattern = 0;
    bool dither = false;
    bool transparent = false;
    model::PenData pen{};
    TypedBounds bounds;
    bool operator==(const ShapeProperties&) const = default;
};

struct LineProperties {
    int32_t align = 4;  // 0 to 5: which corners the line joins
    model::Color pen_color = model::kBlack;
    model::Color brush_color = model::kWhite;
    int32_t brush_style = model::kBrushSolid;
    model::PenData pen{};
    TypedBounds bounds;
    bool operator==(const LineProperties&) const = default;
};

struct LabelProperties {
    int32_t shape = 19;
    model::Color color = model::kSilver;
    model::Color color2 = model::kWhite;
    model::Color pen_color = model::kBlack;
    uint8_t pattern = 0;
    bool dither = false;
    bool transparent = false;
    int32_t alignment = 0;  // left 0, right 1, centre 2
    model::FontData font{};
    model::PenData pen{};
    // The memo's text as it holds it: lines joined by CR LF, no break after the last.
    std::string text;
    TypedBounds bounds;
    bool operator==(const LabelProperties&) const = default;
};

struct ImageProperties {
    int32_t shape = 19;  // the frame
    model::Color color = model::kSilver;
    model::Color color2 = model::kWhite;
    model::Color pen_color = model::kBlack;
    uint8_t pattern = 0;
    bool dither = false;
    bool transparent = false;
    bool center = false;
    bool tile = false;
    bool stretch = false;
    model::PenData pen{};
    std::string file;  // "Image &File:" as typed
    TypedBounds bounds;
    bool operator==(const ImageProperties&) const = default;
};

ShapeProperties properties_of(const model::ShapeData& shape);
LineProperties properties_of(const model::LineData& line);
LabelProperties properties_of(const model::LabelData& label);
ImageProperties properties_of(const model::ImageData& image);

enum class ObjectField { Style };
struct ObjectFieldError {
    ObjectField field;
    std::string message;
    bool operator==(const ObjectFieldError&) const = default;
};
// Bounds never stop OK (they fall back); a style outside the kind's range does, since the
// painters draw no such style.
std::optional<ObjectFieldError> validate(const ShapeProperties& p);
std::optional<ObjectFieldError> validate(const LineProperties& p);
std::optional<ObjectFieldError> validate(const LabelProperties& p);
std::optional<ObjectFieldError> validate(const ImageProperties& p);

model::ShapeData apply(const ShapeProperties& p, const model::ShapeData& before);
model::LineData apply(const LineProperties& p, const model::LineData& before);
// The memo's lines become the label's text, each ending in CR LF, and their number its count.
model::LabelData apply(const LabelProperties& p, const model::LabelData& before);
// `found` is where the typed file was found (resolve_image_file). Found: the object keeps the
// name as typed and shows that file. Not found: name and picture stay as they were, so the
// object never names a file other than the one it shows. An empty name clears both.
model::ImageData apply(const ImageProperties& p, const model::ImageData& before,
                       const std::optional<std::string>& found);

// Where a typed image name is found: as typed, then relative to the program's folder, then
// relative to the open desktop file's folder (in each folder also under its bare file name, as
// the desktop loader looks). nullopt when none exists or the name is empty.
std::optional<std::string> resolve_image_file(std::string_view typed, std::string_view program_dir,
                                              std::string_view desktop_dir,
                                              const std::function<bool(const std::string&)>& is_file);

// "Center", "Tile Image" and "Stretch" exclude each other: the one just checked clears the others.
enum class ImageLayout { Center, Tile, Stretch };
void check_layout(ImageProperties& p, ImageLayout checked);

// The tool palette's attributes, one bit each, as the palette reports a change and restyle takes
// it.
namespace attribute_bits {
inline constexpr uint16_t kFillColor = 1u << 0;  // "Main Color"
inline constexpr uint16_t kPattern = 1u << 1;    // "Object Pattern": pattern and transparency
inline constexpr uint16_t kLineColor = 1u << 2;
inline constexpr uint16_t kLineWidth = 1u << 3;
inline constexpr uint16_t kLineStyle = 1u << 4;
inline constexpr uint16_t kFontColor = 1u << 5;
inline constexpr uint16_t kFont = 1u << 6;  // name, size, style and the current font colour
inline constexpr uint16_t kAll = kFillColor | kPattern | kLineColor | kLineWidth | kLineStyle | kFontColor | kFont;
}  // namespace attribute_bits

// The palette holds its attributes in a button: colour (the fill), pattern, transparency, pen
// colour, pen, font (with the font colour).
// A clicked object's attributes over the palette's `current` ones: every kind gives fill colour,
// pattern, transparency, pen colour and pen; buttons and labels also their font; a line gives
// only its brush (colour and whether it is clear), pen colour and pen.
model::ButtonData attributes_of(const model::ObjectData& object, model::ButtonData current);

// `which` of the palette's attributes in `style` given to one object by its kind: fonts go to
// buttons and labels only; a line takes the fill colour as its brush colour and the
// transparency as its brush style. `to_color2` sends the fill colour to the second colour (a
// property dialog's "Bottom Color").
model::ObjectData with_attributes(const model::ObjectData& object, const model::ButtonData& style,
                                  uint16_t which, bool to_color2 = false);

// A new object of the tool's kind over the band, as its property dialog opens on it: the tool
// palette's attributes applied as to a selected object of that kind. A button is a software
// button launching from `made`; a label starts with one line of text. Throws for the selector.
model::ObjectData new_object(Tool tool, const model::ButtonData& palette, const model::Bounds& band, DateTime made);

// The selected objects with the attributes, for make_edits as one step; objects the change
// leaves as they were, and ids that name nothing, are not listed.
std::vector<std::pair<model::ObjectId, model::ObjectData>> restyle(const model::Desktop& desktop,
                                                                   const ObjectIds& ids,
                                                                   const model::ButtonData& style,
                                                                   uint16_t which);

// A line's brush styles as the tool palette's transparency gives them.
inline constexpr int32_t kBrushClear = 1;
// The pen style of width 0 ("None").
inline constexpr int32_t kPenClear = 5;

// The tool palette's stored window state.
struct ToolPaletteState {
    bool has_position = false;  // false: the designed position
    int32_t left = 0;
    int32_t top = 0;
    bool expanded = true;
    bool rolled_up = false;
    bool large = true;
    bool operator==(const ToolPaletteState&) const = default;
};
inline constexpr std::string_view kToolPalWindow = "ToolPalWindow";
inline constexpr std::string_view kToolPalExpand = "ToolPalExpand";
inline constexpr std::string_view kToolPalRolledUp = "ToolPalRolledUp";
inline constexpr std::string_view kToolPalSize = "ToolPalSize";
// Reads the four values; a left beyond screen width - 30 or a top beyond screen height - 30 is
// reset to 0, so a palette saved on a larger screen is never out of reach. `read` answers nullopt
// for a value that is absent, and may throw std::runtime_error (the caller shows it and keeps the
// designed state).
ToolPaletteState read_tool_palette_state(
    const std::function<std::optional<std::string>(std::string_view)>& read, int screen_width,
    int screen_height);
void write_tool_palette_state(const ToolPaletteState& state,
                              const std::function<void(std::string_view, const std::string&)>& write);

}  // namespace vx::editor
