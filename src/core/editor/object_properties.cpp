#include "editor/object_properties.h"

#include <algorithm>
#include <stdexcept>

#include "util/file_io.h"
#include "util/integer_text.h"

namespace vx::editor {
namespace {

using model::ObjectKind;

// A name that already says where it lies: a drive or a leading separator.
bool is_rooted(std::string_view name) {
    if (!name.empty() && (name.front() == '\\' || name.front() == '/')) return true;
    return name.size() >= 2 && name[1] == ':';
}

std::optional<ObjectFieldError> check_style(ObjectKind kind, int32_t style) {
    if (style_range(kind).contains(style)) return std::nullopt;
    const StyleRange r = style_range(kind);
    return ObjectFieldError{ObjectField::Style, "The style must lie between " + std::to_string(r.min) +
                                                    " and " + std::to_string(r.max) + "."};
}

int32_t clamp_style(ObjectKind kind, int32_t style) {
    const StyleRange r = style_range(kind);
    return std::clamp(style, r.min, r.max);
}

std::string memo_text_of(const std::string& stored) {
    std::string text;
    const std::vector<std::string> lines = edit_lines(stored);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text;
}

// What every kind with a fill takes from the palette.
template <typename Filled>
void fill_attributes(Filled& o, const model::ButtonData& s, uint16_t which, bool to_color2) {
    using namespace attribute_bits;
    if (which & kFillColor) (to_color2 ? o.color2 : o.color) = s.color;
    if (which & kPattern) {
        o.pattern = s.pattern;
        o.transparent = s.transparent;
    }
}

template <typename Stroked>
void pen_attributes(Stroked& o, const model::ButtonData& s, uint16_t which) {
    using namespace attribute_bits;
    if (which & kLineColor) o.pen_color = s.pen_color;
    if (which & kLineWidth) {
        // "None" clears the pen; a width given to a clear pen makes it solid again, any other
        // style stays.
        o.pen.width = s.pen.width;
        if (s.pen.width == 0)
            o.pen.style = kPenClear;
        else if (o.pen.style == kPenClear)
            o.pen.style = model::kPenSolid;
    }
    if (which & kLineStyle) o.pen.style = s.pen.style;
}

void font_attributes(model::FontData& f, const model::ButtonData& s, uint16_t which) {
    using namespace attribute_bits;
    if (which & kFont) f = s.font;
    if (which & kFontColor) f.color = s.font.color;
}

}  // namespace

StyleRange style_range(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::Shape:
            return {1, 26, 13, 24};
        case ObjectKind::Line:
            return {0, 5, 1, 0};
        case ObjectKind::Label:
        case ObjectKind::Image:
            return {0, 20, 9, 18};
        case ObjectKind::Button:
            break;
    }
    return {};
}

TypedBounds typed_bounds(const model::Bounds& b) {
    return {std::to_string(b.left), std::to_string(b.top), std::to_string(b.width), std::to_string(b.height)};
}

model::Bounds bounds_from(const TypedBounds& t) {
    const auto x = read_int(t.x), y = read_int(t.y), w = read_int(t.w), h = read_int(t.h);
    if (!(x && y && w && h)) return kFallbackBounds;
    return {*x, *y, *w < 1 ? kSizeForNoSize : *w, *h < 1 ? kSizeForNoSize : *h};
}

ShapeProperties properties_of(const model::ShapeData& s) {
    return {s.shape,  s.color,       s.color2, s.pen_color,           s.pattern,
            s.dither, s.transparent, s.pen,    typed_bounds(s.bounds)};
}

LineProperties properties_of(const model::LineData& l) {
    return {l.align, l.pen_color, l.brush_color, l.brush_style, l.pen, typed_bounds(l.bounds)};
}

LabelProperties properties_of(const model::LabelData& l) {
    return {l.shape,
            l.color,
            l.color2,
            l.pen_color,
            l.pattern,
            l.dither,
            l.transparent,
            l.alignment,
            l.font,
            l.pen,
            memo_text_of(l.text),
            typed_bounds(l.bounds)};
}

ImageProperties properties_of(const model::ImageData& i) {
    return {i.shape,
            i.color,
            i.color2,
            i.pen_color,
            i.pattern,
            i.dither,
            i.transparent,
            i.center,
            i.tile,
            i.stretch,
            i.pen,
            i.image_name,
            typed_bounds(i.bounds)};
}

std::optional<ObjectFieldError> validate(const ShapeProperties& p) {
    return check_style(ObjectKind::Shape, p.shape);
}
std::optional<ObjectFieldError> validate(const LineProperties& p) {
    return check_style(ObjectKind::Line, p.align);
}
std::optional<ObjectFieldError> validate(const LabelProperties& p) {
    return check_style(ObjectKind::Label, p.shape);
}
std::optional<ObjectFieldError> validate(const ImageProperties& p) {
    return check_style(ObjectKind::Image, p.shape);
}

model::ShapeData apply(const ShapeProperties& p, const model::ShapeData& before) {
    model::ShapeData s = before;
    s.bounds = bounds_from(p.bounds);
    s.pen = p.pen;
    s.dither = p.dither;
    s.color = p.color;
    s.color2 = p.color2;
    s.pen_color = p.pen_color;
    s.pattern = p.pattern;
    s.transparent = p.transparent;
    s.shape = clamp_style(ObjectKind::Shape, p.shape);
    return s;
}

model::LineData apply(const LineProperties& p, const model::LineData& before) {
    model::LineData l = before;
    l.bounds = bounds_from(p.bounds);
    l.pen = p.pen;
    l.brush_color = p.brush_color;
    l.brush_style = p.brush_style;
    l.pen_color = p.pen_color;
    l.align = clamp_style(ObjectKind::Line, p.align);
    return l;
}

model::LabelData apply(const LabelProperties& p, const model::LabelData& before) {
    model::LabelData l = before;
    l.bounds = bounds_from(p.bounds);
    l.pen = p.pen;
    l.dither = p.dither;
    l.color = p.color;
    l.color2 = p.color2;
    l.pen_color = p.pen_color;
    l.pattern = p.pattern;
    l.transparent = p.transparent;
    l.shape = clamp_style(ObjectKind::Label, p.shape);
    l.font = p.font;
    l.alignment = p.alignment;
    const std::vector<std::string> lines = edit_lines(p.text);
    l.text.clear();
    for (const std::string& line : lines) {
        l.text += line;
        l.text += "\r\n";
    }
    l.text_lines = static_cast<int32_t>(std::min<size_t>(lines.size(), INT32_MAX));
    return l;
}

model::ImageData apply(const ImageProperties& p, const model::ImageData& before,
                       const std::optional<std::string>& found) {
    model::ImageData i = before;
    if (found) {
        i.image_name = p.file;
        i.picture_path = *found;
    } else if (p.file.empty()) {
        i.image_name.clear();
        i.picture_path.clear();
    }
    i.bounds = bounds_from(p.bounds);
    i.pen = p.pen;
    i.dither = p.dither;
    i.color = p.color;
    i.color2 = p.color2;
    i.pen_color = p.pen_color;
    i.pattern = p.pattern;
    i.transparent = p.transparent;
    i.shape = clamp_style(ObjectKind::Image, p.shape);
    i.center = p.center;
    i.stretch = p.stretch;
    i.tile = p.tile;
    return i;
}

std::optional<std::string> resolve_image_file(std::string_view typed, std::string_view program_dir,
                                              std::string_view desktop_dir,
                                              const std::function<bool(const std::string&)>& is_file) {
    if (typed.empty() || !is_file) return std::nullopt;
    const std::string as_typed(typed);
    if (is_file(as_typed)) return as_typed;
    const std::string bare = file_name_of(typed);
    for (const std::string_view dir : {program_dir, desktop_dir}) {
        if (dir.empty()) continue;
        if (!is_rooted(typed)) {
            std::string relative = join_path(dir, typed);
            if (is_file(relative)) return relative;
        }
        if (bare.empty() || bare == typed) continue;
        std::string candidate = join_path(dir, bare);
        if (is_file(candidate)) return candidate;
    }
    return std::nullopt;
}

void check_layout(ImageProperties& p, ImageLayout checked) {
    p.center = checked == ImageLayout::Center;
    p.tile = checked == ImageLayout::Tile;
    p.stretch = checked == ImageLayout::Stretch;
}

model::ButtonData attributes_of(const model::ObjectData& object, model::ButtonData s) {
    std::visit(
        [&s](const auto& o) {
            using T = std::decay_t<decltype(o)>;
            s.pen_color = o.pen_color;
            s.pen = o.pen;
            if constexpr (std::is_same_v<T, model::LineData>) {
                s.color = o.brush_color;
                s.transparent = o.brush_style == kBrushClear;
            } else {
                s.color = o.color;
                s.pattern = o.pattern;
                s.transparent = o.transparent;
            }
            if constexpr (std::is_same_v<T, model::ButtonData> || std::is_same_v<T, model::LabelData>)
                s.font = o.font;
        },
        object);
    return s;
}

model::ObjectData with_attributes(const model::ObjectData& object, const model::ButtonData& s, uint16_t which,
                                  bool to_color2) {
    model::ObjectData result = object;
    std::visit(
        [&](auto& o) {
            using T = std::decay_t<decltype(o)>;
            pen_attributes(o, s, which);
            if constexpr (std::is_same_v<T, model::LineData>) {
                if (which & attribute_bits::kFillColor) o.brush_color = s.color;
                if (which & attribute_bits::kPattern)
                    o.brush_style = s.transparent ? kBrushClear : model::kBrushSolid;
            } else {
                fill_attributes(o, s, which, to_color2);
            }
            if constexpr (std::is_same_v<T, model::ButtonData> || std::is_same_v<T, model::LabelData>)
                font_attributes(o.font, s, which);
        },
        result);
    return result;
}

model::ObjectData new_object(Tool tool, const model::ButtonData& palette, const model::Bounds& band, DateTime made) {
    model::ObjectData object;
    switch (tool) {
        case Tool::Button: {
            model::ButtonData b;
            b.launch_date = made;
            b.kind = model::kKindProgram;
            b.color2 = palette.color2;
            b.bounds = band;
            object = std::move(b);
            break;
        }
        case Tool::Shape:
            object = model::ShapeData{};
            std::get<model::ShapeData>(object).bounds = band;
            break;
        case Tool::Line:
            object = model::LineData{};
            std::get<model::LineData>(object).bounds = band;
            break;
        case Tool::Label: {
            model::LabelData l;
            l.bounds = band;
            l.text = "Text\r";
            l.text_lines = 1;
            object = std::move(l);
            break;
        }
        case Tool::Image:
            object = model::ImageData{};
            std::get<model::ImageData>(object).bounds = band;
            break;
        case Tool::Selector:
            throw std::logic_error("no object for the selector");
    }
    return with_attributes(object, palette, attribute_bits::kAll);
}

std::vector<std::pair<model::ObjectId, model::ObjectData>> restyle(const model::Desktop& desktop,
                                                                   const ObjectIds& ids,
                                                                   const model::ButtonData& style,
                                                                   uint16_t which) {
    std::vector<std::pair<model::ObjectId, model::ObjectData>> edits;
    for (const model::ObjectId id : ids) {
        const model::ObjectRef ref = desktop.find_object(id);
        if (!ref) continue;
        if (std::any_of(edits.begin(), edits.end(), [id](const auto& e) { return e.first == id; })) continue;
        model::ObjectData after = with_attributes(ref.entry->data, style, which);
        if (after != ref.entry->data) edits.emplace_back(id, std::move(after));
    }
    return edits;
}

ToolPaletteState read_tool_palette_state(
    const std::function<std::optional<std::string>(std::string_view)>& read, int screen_width,
    int screen_height) {
    ToolPaletteState state;
    auto flag = [&read](std::string_view name, bool& value) {
        if (const auto text = read(name))
            if (const auto n = read_int(*text)) value = *n != 0;
    };
    if (const auto window = read(kToolPalWindow)) {
        const size_t comma = window->find(',');
        if (comma != std::string::npos) {
            const auto left = read_int(std::string_view(*window).substr(0, comma));
            const auto top = read_int(std::string_view(*window).substr(comma + 1));
            if (left && top) {
                state.has_position = true;
                state.left = *left > screen_width - 30 ? 0 : *left;
                state.top = *top > screen_height - 30 ? 0 : *top;
            }
        }
    }
    flag(kToolPalExpand, state.expanded);
    flag(kToolPalRolledUp, state.rolled_up);
    flag(kToolPalSize, state.large);
    return state;
}

void write_tool_palette_state(const ToolPaletteState& s,
                              const std::function<void(std::string_view, const std::string&)>& write) {
    write(kToolPalWindow, std::to_string(s.left) + "," + std::to_string(s.top));
    write(kToolPalExpand, s.expanded ? "1" : "0");
    write(kToolPalRolledUp, s.rolled_up ? "1" : "0");
    write(kToolPalSize, s.large ? "1" : "0");
}

}  // namespace vx::editor
