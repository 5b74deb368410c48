#pragma once
// The drawing surface every desktop object paints on. Shaped after what the objects draw
// (outlined and filled bodies, bevel lines, gradient bands, pattern fills, captions, icons),
// so that their geometry can be checked natively against a recording canvas and their pixels
// under Wine against the GDI adapter. Coordinates are the object's own (0, 0 at its top-left);
// rectangles are [left, right) x [top, bottom) and a line's end point is not drawn.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx::port {

// 32-bit colour, red in the low byte. System colours have the high bit set; a value with
// 0x01 in the top byte is an index into the selected palette (the low byte), as palette
// displays want their gradient bands.
using Color = int32_t;
inline constexpr Color palette_index(int index) {
    return static_cast<Color>(0x01000000u | static_cast<uint32_t>(index & 0xFF));
}
inline constexpr bool is_palette_index(Color c) {
    return (static_cast<uint32_t>(c) & 0xFF000000u) == 0x01000000u;
}
inline constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int red_of(Color c) {
    return c & 0xFF;
}
inline constexpr int green_of(Color c) {
    return (c >> 8) & 0xFF;
}
inline constexpr int blue_of(Color c) {
    return (c >> 16) & 0xFF;
}

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The stored pen styles of the desktop file, in their stored order.
enum class PenStyle : int {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3,
    DashDotDot = 4,
    Clear = 5,
    InsideFrame = 6
};

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    Color color = 0;
    friend bool operator==(const Pen&, const Pen&) = default;
};

// An 8 x 8 monochrome pattern, one byte per row, the most significant bit the leftmost pixel.
// A set bit is an "ink" pixel.
struct Pattern8 {
    std::array<uint8_t, 8> rows{};
    bool bit(int x, int y) const { return (rows[static_cast<size_t>(y & 7)] >> (7 - (x & 7))) & 1; }
    friend bool operator==(const Pattern8&, const Pattern8&) = default;
};

enum class BrushKind { Solid, Hollow, Pattern };

struct Brush {
    BrushKind kind = BrushKind::Solid;
    Color color = 0;  // solid colour; the colour of a pattern's clear pixels
    Pattern8 pattern{};
    Color ink = 0;  // the colour of a pattern's set pixels
    // Clear pattern pixels leave what is underneath (the page shows through).
    bool see_through = false;

    static Brush solid(Color c) { return Brush{BrushKind::Solid, c, {}, 0, false}; }
    static Brush hollow() { return Brush{BrushKind::Hollow, 0, {}, 0, false}; }
    static Brush patterned(const Pattern8& p, Color ink, Color back, bool see_through) {
        return Brush{BrushKind::Pattern, back, p, ink, see_through};
    }
    friend bool operator==(const Brush&, const Brush&) = default;
};

// How the pen and brush combine with the pixels already there.
enum class MixMode { Copy, Mask, Merge, Xor, Not };

struct Font {
    std::string name = "MS Sans Serif";
    int size = 8;   // points
    int style = 0;  // bold 1, italic 2, underline 4, strike-out 8
    friend bool operator==(const Font&, const Font&) = default;
};

enum class TextAlign { Left, Center, Right };

struct TextFormat {
    TextAlign align = TextAlign::Left;
    bool word_wrap = false;
    bool expand_tabs = false;
    // "&" underlines the next letter and "&&" is a literal "&".
    bool prefix = true;
    // Draw outside the rectangle rather than cut the text at it.
    bool no_clip = true;
};

// Icons travel as numbers the adapter knows how to draw (an icon library index, a loaded
// file); the objects only place them.
using IconId = uint32_t;
inline constexpr IconId kNoIcon = 0;

// 256 palette entries as RGB colours; the shared desktop palette of the main window.
struct Palette {
    std::array<Color, 256> entries{};
    // The index of the entry closest to `c` (sum of squared channel differences).
    int nearest(Color c) const;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Bits per pixel of the display this canvas ends on: 8 or fewer means a palette display.
    virtual int bits_per_pixel() const = 0;
    // The shared palette, or nullptr for none. The canvas keeps the pointer; the owner keeps
    // the palette alive while it is selected.
    virtual void select_palette(const Palette* palette) = 0;

    virtual void set_pen(const Pen& pen) = 0;
    virtual void set_brush(const Brush& brush) = 0;
    virtual void set_mix_mode(MixMode mode) = 0;

    // Clip regions nest: each push intersects with what is already clipped, pop restores the
    // clip as it was before the matching push.
    virtual void push_clip_rect(const Rect& r) = 0;
    virtual void push_clip_ellipse(const Rect& r) = 0;
    virtual void pop_clip() = 0;

    // Bodies are outlined with the pen and filled with the brush.
    virtual void rectangle(const Rect& r) = 0;
    virtual void round_rect(const Rect& r, int corner_width, int corner_height) = 0;
    virtual void ellipse(const Rect& r) = 0;
    virtual void polygon(const Point* points, int count) = 0;
    // Counter-clockwise along the ellipse bounded by `r`, from the ray through `start` to the
    // ray through `end`.
    virtual void arc(const Rect& r, Point start, Point end) = 0;
    virtual void line(Point from, Point to) = 0;
    virtual void polyline(const Point* points, int count) = 0;
    // A plain fill that ignores pen, brush and mix mode.
    virtual void fill_rect(const Rect& r, Color c) = 0;
    virtual void set_pixel(Point p, Color c) = 0;

    virtual void set_font(const Font& font) = 0;
    virtual void set_text_color(Color c) = 0;
    // Height of a line of text in the current font.
    virtual int text_height() = 0;
    // Size of `text` on one line, with "&" prefixes removed when the format asks for it.
    virtual Size measure_text(std::string_view text, const TextFormat& format) = 0;
    // Draws with a transparent background in the text colour.
    virtual void draw_text(const Rect& r, std::string_view text, const TextFormat& format) = 0;

    virtual Size icon_size(IconId icon) = 0;
    virtual void draw_icon(IconId icon, Point at) = 0;
};

}  // namespace vx::port
