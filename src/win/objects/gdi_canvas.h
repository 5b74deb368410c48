#pragma once
// The Canvas port on a GDI device context: a window's DC while painting, a memory DC over a
// DIB section in tests and benchmarks. The canvas owns the pens, brushes, font and palette it
// creates and hands the DC back with its original objects selected.
#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "port/canvas.h"
#include "win/util/handle.h"

namespace vx::win::objects {

// The plain RGB value of an object colour: a system colour (high bit) as the display has it now,
// a palette index through `palette` (black without one), otherwise its low 24 bits.
COLORREF rgb_of(port::Color c, const port::Palette* palette);

// Icons and face bitmaps by number. The owner decides what a number means (an icon library
// index, a loaded file) and keeps the handles.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    // {0, 0} for an unknown number.
    virtual port::Size size(port::IconId id) = 0;
    virtual void draw(HDC dc, port::IconId id, POINT at) = 0;
    // Changes whenever a number may come to draw differently: a face drawn from these
    // pictures and kept is good only while this stays the same.
    virtual uint64_t generation() const { return 0; }
};

// A PictureSource over icons and bitmaps it owns.
class PictureTable final : public PictureSource {
public:
    void add_icon(port::IconId id, unique_hicon icon);
    // Takes an icon under a number of its own choosing (above every number given to add_icon
    // so far) and returns that number.
    port::IconId add_icon(unique_hicon icon);
    // The first icon of an icon, cursor or program file, or kNoIcon when it has none. A file
    // asked for again answers the number it got before, with the icon read anew only when the
    // file has changed since.
    port::IconId load_first_icon(const std::string& path);
    void add_bitmap(port::IconId id, unique_hbitmap bitmap);
    port::Size size(port::IconId id) override;
    void draw(HDC dc, port::IconId id, POINT at) override;
    uint64_t generation() const override { return generation_; }

private:
    uint64_t generation_ = 0;
    std::map<port::IconId, unique_hicon> icons_;
    std::map<port::IconId, unique_hbitmap> bitmaps_;
    struct FileIcon {
        port::IconId id = port::kNoIcon;
        FILETIME written{};
    };
    std::map<std::string, FileIcon> file_icons_;
    port::IconId next_id_ = 0x10000;
};

class GdiCanvas final : public port::Canvas {
public:
    explicit GdiCanvas(HDC dc, PictureSource* pictures = nullptr);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    HDC dc() const { return dc_; }
    // What a port colour means on this DC: system colours looked up, palette indexes kept.
    COLORREF colorref(port::Color c) const;

    int bits_per_pixel() const override;
    void select_palette(const port::Palette* palette) override;
    void set_pen(const port::Pen& pen) override;
    void set_brush(const port::Brush& brush) override;
    void set_mix_mode(port::MixMode mode) override;
    void push_clip_rect(const port::Rect& r) override;
    void push_clip_ellipse(const port::Rect& r) override;
    void pop_clip() override;
    void rectangle(const port::Rect& r) override;
    void round_rect(const port::Rect& r, int corner_width, int corner_height) override;
    void ellipse(const port::Rect& r) override;
    void polygon(const port::Point* points, int count) override;
    void arc(const port::Rect& r, port::Point start, port::Point end) override;
    void line(port::Point from, port::Point to) override;
    void polyline(const port::Point* points, int count) override;
    void fill_rect(const port::Rect& r, port::Color c) override;
    void set_pixel(port::Point p, port::Color c) override;
    void set_font(const port::Font& font) override;
    void set_text_color(port::Color c) override;
    int text_height() override;
    port::Size measure_text(std::string_view text, const port::TextFormat& format) override;
    void draw_text(const port::Rect& r, std::string_view text, const port::TextFormat& format) override;
    port::Size icon_size(port::IconId icon) override;
    void draw_icon(port::IconId icon, port::Point at) override;

private:
    // An RGB value for colours that go into bitmaps, where palette indexes mean nothing.
    COLORREF rgb_of(port::Color c) const;
    // Runs a filled drawing call, in two passes when the brush lets the page show through.
    template <typename Draw>
    void filled(Draw draw);
    unique_hbrush make_pattern_brush(const port::Pattern8& p, COLORREF set, COLORREF clear) const;
    void select_brush(HBRUSH brush);

    HDC dc_;
    PictureSource* pictures_;
    HGDIOBJ original_pen_;
    HGDIOBJ original_brush_;
    HGDIOBJ original_font_;
    HPALETTE original_palette_ = nullptr;
    int original_rop2_;
    int original_bk_mode_;
    // Bevels switch between a few pens many times a paint; each is made once.
    std::vector<std::pair<port::Pen, unique_hpen>> pens_;
    HPEN pen_ = nullptr;
    port::Pen pen_value_{};
    unique_hbrush brush_;
    port::Brush brush_value_{};
    // For a see-through pattern: the pass that clears the ink pixels and the pass that paints them.
    unique_hbrush mask_brush_;
    unique_hbrush ink_brush_;
    unique_hfont font_;
    unique_hpalette palette_;
    const port::Palette* palette_value_ = nullptr;
    std::array<port::Color, 256> palette_entries_{};
    std::vector<unique_hrgn> saved_clips_;  // an empty owner: there was no clip
};

}  // namespace vx::win::objects
