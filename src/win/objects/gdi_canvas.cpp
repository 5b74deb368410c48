#include "win/objects/gdi_canvas.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#include <shellapi.h>

#include "win/util/text.h"

namespace vx::win::objects {

namespace {

// GDI objects that every canvas of a thread asks for again (a caption's font, a band's solid
// brush): a page paint makes a canvas per object, so each would otherwise be created and
// destroyed hundreds of times a frame. Kept for the thread's life, a bounded number of them;
// once full, callers make their own as before. Nothing is ever evicted, so no cached object
// can be deleted while a canvas still has it selected.
template <typename Key, typename Handle>
class GdiCache {
public:
    using Raw = std::remove_cvref_t<decltype(std::declval<Handle&>().get())>;
    // The cached object for `key`, or null when the cache is full and holds none.
    template <typename Make>
    Raw find_or_make(const Key& key, Make make) {
        for (auto& [k, h] : items_)
            if (k == key) return h.get();
        if (items_.size() >= kLimit) return nullptr;
        Handle made = make();
        if (!made) return nullptr;
        items_.emplace_back(key, std::move(made));
        return items_.back().second.get();
    }

private:
    static constexpr size_t kLimit = 64;
    std::vector<std::pair<Key, Handle>> items_;
};

struct FontKey {
    port::Font font;
    int height = 0;
    friend bool operator==(const FontKey&, const FontKey&) = default;
};

thread_local GdiCache<FontKey, unique_hfont> font_cache;
thread_local GdiCache<COLORREF, unique_hbrush> solid_brush_cache;

port::Size bitmap_size(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) == 0) return {};
    return {info.bmWidth, info.bmHeight};
}

int pen_style(port::PenStyle s) {
    switch (s) {
        case port::PenStyle::Dash:
            return PS_DASH;
        case port::PenStyle::Dot:
            return PS_DOT;
        case port::PenStyle::DashDot:
            return PS_DASHDOT;
        case port::PenStyle::DashDotDot:
            return PS_DASHDOTDOT;
        case port::PenStyle::Clear:
            return PS_NULL;
        case port::PenStyle::InsideFrame:
            return PS_INSIDEFRAME;
        default:
            return PS_SOLID;
    }
}

UINT text_flags(const port::TextFormat& f) {
    UINT flags = f.align == port::TextAlign::Center  ? DT_CENTER
                 : f.align == port::TextAlign::Right ? DT_RIGHT
                                                     : DT_LEFT;
    if (f.word_wrap) flags |= DT_WORDBREAK;
    if (f.expand_tabs) flags |= DT_EXPANDTABS;
    if (!f.prefix) flags |= DT_NOPREFIX;
    if (f.no_clip) flags |= DT_NOCLIP;
    return flags;
}

}  // namespace

void PictureTable::add_icon(port::IconId id, unique_hicon icon) {
    ++generation_;
    icons_[id] = std::move(icon);
    next_id_ = std::max(next_id_, id + 1);
}

port::IconId PictureTable::add_icon(unique_hicon icon) {
    if (!icon) return port::kNoIcon;
    const port::IconId id = next_id_;
    add_icon(id, std::move(icon));
    return id;
}

port::IconId PictureTable::load_first_icon(const std::string& path) {
    // Every view of a page asks again for the icons of its buttons: reading the file each time
    // would leave one more icon here per view, until the process runs out of USER handles.
    const std::wstring wide = widen(path);
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    const FILETIME written = GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &attributes)
                                 ? attributes.ftLastWriteTime
                                 : FILETIME{};
    const auto known = file_icons_.find(path);
    if (known != file_icons_.end() && CompareFileTime(&known->second.written, &written) == 0 &&
        icons_.count(known->second.id))
        return known->second.id;
    HICON large = nullptr;
    if (ExtractIconExW(wide.c_str(), 0, &large, nullptr, 1) == 0 || !large) return port::kNoIcon;
    // A changed file takes the old number, so buttons that show it need nothing new.
    if (known != file_icons_.end() && icons_.count(known->second.id)) {
        add_icon(known->second.id, unique_hicon(large));
        known->second.written = written;
        return known->second.id;
    }
    const port::IconId id = add_icon(unique_hicon(large));
    file_icons_[path] = FileIcon{id, written};
    return id;
}

void PictureTable::add_bitmap(port::IconId id, unique_hbitmap bitmap) {
    ++generation_;
    bitmaps_[id] = std::move(bitmap);
}

port::Size PictureTable::size(port::IconId id) {
    if (auto it = bitmaps_.find(id); it != bitmaps_.end()) return bitmap_size(it->second.get());
    auto it = icons_.find(id);
    if (it == icons_.end()) return {};
    ICONINFO info{};
    if (!GetIconInfo(it->second.get(), &info)) return {};
    unique_hbitmap colour(info.hbmColor), mask(info.hbmMask);
    if (colour) return bitmap_size(colour.get());
    const port::Size m = bitmap_size(mask.get());
    return {m.width, m.height / 2};  // a monochrome icon's mask holds AND and XOR halves
}

void PictureTable::draw(HDC dc, port::IconId id, POINT at) {
    if (auto it = bitmaps_.find(id); it != bitmaps_.end()) {
        const port::Size s = bitmap_size(it->second.get());
        unique_memory_dc source(CreateCompatibleDC(dc));
        if (!source) return;
        scoped_select keep(source.get(), it->second.get());
        BitBlt(dc, at.x, at.y, s.width, s.height, source.get(), 0, 0, SRCCOPY);
        return;
    }
    if (auto it = icons_.find(id); it != icons_.end())
        DrawIconEx(dc, at.x, at.y, it->second.get(), 0, 0, 0, nullptr, DI_NORMAL);
}

GdiCanvas::GdiCanvas(HDC dc, PictureSource* pictures)
    : dc_(dc),
      pictures_(pictures),
      original_pen_(GetCurrentObject(dc, OBJ_PEN)),
      original_brush_(GetCurrentObject(dc, OBJ_BRUSH)),
      original_font_(GetCurrentObject(dc, OBJ_FONT)),
      original_rop2_(GetROP2(dc)),
      original_bk_mode_(GetBkMode(dc)) {
    SetBkMode(dc_, TRANSPARENT);
}

GdiCanvas::~GdiCanvas() {
    while (!saved_clips_.empty()) pop_clip();
    SelectObject(dc_, original_pen_);
    SelectObject(dc_, original_brush_);
    SelectObject(dc_, original_font_);
    if (original_palette_) SelectPalette(dc_, original_palette_, FALSE);
    SetROP2(dc_, original_rop2_);
    SetBkMode(dc_, original_bk_mode_);
}

COLORREF rgb_of(port::Color c, const port::Palette* palette) {
    const auto u = static_cast<uint32_t>(c);
    if (u & 0x80000000u) return GetSysColor(static_cast<int>(u & 0xFF));
    if (port::is_palette_index(c))
        return palette ? static_cast<COLORREF>(palette->entries[u & 0xFF]) & 0x00FFFFFFu : 0;
    return u & 0x00FFFFFFu;
}

COLORREF GdiCanvas::colorref(port::Color c) const {
    const auto u = static_cast<uint32_t>(c);
    if (u & 0x80000000u) return GetSysColor(static_cast<int>(u & 0xFF));
    if (port::is_palette_index(c)) return u;  // the same encoding as PALETTEINDEX
    return u & 0x00FFFFFFu;
}

COLORREF GdiCanvas::rgb_of(port::Color c) const {
    return objects::rgb_of(c, palette_value_);
}

int GdiCanvas::bits_per_pixel() const {
    return GetDeviceCaps(dc_, BITSPIXEL) * GetDeviceCaps(dc_, PLANES);
}

void GdiCanvas::select_palette(const port::Palette* palette) {
    if (!palette) {
        if (original_palette_) SelectPalette(dc_, original_palette_, FALSE);
        original_palette_ = nullptr;
        palette_.reset();
        palette_value_ = nullptr;
        return;
    }
    // Every object of a page selects the same palette; build and realise it once.
    if (palette_ && palette_value_ == palette && palette_entries_ == palette->entries) return;
    palette_value_ = palette;
    palette_entries_ = palette->entries;
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } log{0x300, 256, {}};
    for (size_t i = 0; i < 256; ++i) {
        const port::Color e = palette->entries[i];
        log.entries[i] = {static_cast<BYTE>(port::red_of(e)), static_cast<BYTE>(port::green_of(e)),
                          static_cast<BYTE>(port::blue_of(e)), 0};
    }
    unique_hpalette created(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&log)));
    if (!created) return;
    HPALETTE previous = SelectPalette(dc_, created.get(), FALSE);
    if (!original_palette_) original_palette_ = previous;
    RealizePalette(dc_);
    palette_ = std::move(created);
}

void GdiCanvas::set_pen(const port::Pen& pen) {
    if (pen_ && pen == pen_value_) return;
    auto cached = std::find_if(pens_.begin(), pens_.end(), [&](const auto& p) { return p.first == pen; });
    if (cached == pens_.end()) {
        unique_hpen created(CreatePen(pen_style(pen.style), std::max(pen.width, 0), colorref(pen.color)));
        if (!created) return;
        if (pens_.size() >= 64) {
            // A long-lived canvas must not gather pens without end; keep only the selected one.
            auto keep = std::find_if(pens_.begin(), pens_.end(),
                                     [&](const auto& p) { return p.second.get() == pen_; });
            std::vector<std::pair<port::Pen, unique_hpen>> kept;
            if (keep != pens_.end()) kept.push_back(std::move(*keep));
            pens_ = std::move(kept);
        }
        pens_.emplace_back(pen, std::move(created));
        cached = pens_.end() - 1;
    }
    SelectObject(dc_, cached->second.get());
    pen_ = cached->second.get();
    pen_value_ = pen;
}

void GdiCanvas::select_brush(HBRUSH brush) {
    SelectObject(dc_, brush ? brush : GetStockObject(NULL_BRUSH));
}

unique_hbrush GdiCanvas::make_pattern_brush(const port::Pattern8& p, COLORREF set, COLORREF clear) const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = -8;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    unique_hbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};
    auto to_dib = [](COLORREF c) -> uint32_t {
        return static_cast<uint32_t>(GetBValue(c)) | static_cast<uint32_t>(GetGValue(c)) << 8 |
               static_cast<uint32_t>(GetRValue(c)) << 16;
    };
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pixels[y * 8 + x] = to_dib(p.bit(x, y) ? set : clear);
    GdiFlush();
    // The brush keeps its own copy of the bitmap.
    return unique_hbrush(CreatePatternBrush(bitmap.get()));
}

void GdiCanvas::set_brush(const port::Brush& brush) {
    if (brush == brush_value_ && (brush_ || brush.kind == port::BrushKind::Hollow)) {
        select_brush(brush_.get());
        return;
    }
    unique_hbrush created, mask, ink;
    switch (brush.kind) {
        case port::BrushKind::Solid:
            created.reset(CreateSolidBrush(colorref(brush.color)));
            break;
        case port::BrushKind::Hollow:
            break;
        case port::BrushKind::Pattern:
            created = make_pattern_brush(brush.pattern, rgb_of(brush.ink), rgb_of(brush.color));
            if (brush.see_through) {
                mask = make_pattern_brush(brush.pattern, RGB(0, 0, 0), RGB(255, 255, 255));
                ink = make_pattern_brush(brush.pattern, rgb_of(brush.ink), RGB(0, 0, 0));
            }
            break;
    }
    select_brush(created.get());
    brush_ = std::move(created);
    mask_brush_ = std::move(mask);
    ink_brush_ = std::move(ink);
    brush_value_ = brush;
}

void GdiCanvas::set_mix_mode(port::MixMode mode) {
    int rop = R2_COPYPEN;
    switch (mode) {
        case port::MixMode::Mask:
            rop = R2_MASKPEN;
            break;
        case port::MixMode::Merge:
            rop = R2_MERGEPEN;
            break;
        case port::MixMode::Xor:
            rop = R2_XORPEN;
            break;
        case port::MixMode::Not:
            rop = R2_NOT;
            break;
        case port::MixMode::Copy:
            break;
    }
    SetROP2(dc_, rop);
}

template <typename Draw>
void GdiCanvas::filled(Draw draw) {
    if (!(brush_value_.kind == port::BrushKind::Pattern && brush_value_.see_through && mask_brush_ &&
          ink_brush_)) {
        draw();
        return;
    }
    // Clear the ink pixels, then paint ink into them; the other pixels keep what was there.
    const int rop = GetROP2(dc_);
    SelectObject(dc_, GetStockObject(NULL_PEN));
    SelectObject(dc_, mask_brush_.get());
    SetROP2(dc_, R2_MASKPEN);
    draw();
    SelectObject(dc_, ink_brush_.get());
    SetROP2(dc_, R2_MERGEPEN);
    draw();
    SetROP2(dc_, rop);
    SelectObject(dc_, pen_ ? static_cast<HGDIOBJ>(pen_) : original_pen_);
    if (pen_value_.style != port::PenStyle::Clear && pen_value_.width > 0) {
        SelectObject(dc_, GetStockObject(NULL_BRUSH));
        draw();
    }
    select_brush(brush_.get());
}

void GdiCanvas::push_clip_rect(const port::Rect& r) {
    unique_hrgn saved(CreateRectRgn(0, 0, 0, 0));
    if (saved && GetClipRgn(dc_, saved.get()) != 1) saved.reset();
    saved_clips_.push_back(std::move(saved));
    IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::push_clip_ellipse(const port::Rect& r) {
    unique_hrgn saved(CreateRectRgn(0, 0, 0, 0));
    if (saved && GetClipRgn(dc_, saved.get()) != 1) saved.reset();
    saved_clips_.push_back(std::move(saved));
    // Regions are in device units; the page surface paints objects through a moved origin.
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    LPtoDP(dc_, corners, 2);
    unique_hrgn region(CreateEllipticRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y));
    if (region) ExtSelectClipRgn(dc_, region.get(), RGN_AND);
}

void GdiCanvas::pop_clip() {
    if (saved_clips_.empty()) return;
    SelectClipRgn(dc_, saved_clips_.back().get());
    saved_clips_.pop_back();
}

void GdiCanvas::rectangle(const port::Rect& r) {
    filled([&] { Rectangle(dc_, r.left, r.top, r.right, r.bottom); });
}

void GdiCanvas::round_rect(const port::Rect& r, int cw, int ch) {
    filled([&] { RoundRect(dc_, r.left, r.top, r.right, r.bottom, cw, ch); });
}

void GdiCanvas::ellipse(const port::Rect& r) {
    filled([&] { Ellipse(dc_, r.left, r.top, r.right, r.bottom); });
}

void GdiCanvas::polygon(const port::Point* points, int count) {
    if (count <= 0) return;
    std::vector<POINT> pts(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) pts[static_cast<size_t>(i)] = {points[i].x, points[i].y};
    filled([&] { Polygon(dc_, pts.data(), count); });
}

void GdiCanvas::arc(const port::Rect& r, port::Point s, port::Point e) {
    SetArcDirection(dc_, AD_COUNTERCLOCKWISE);
    Arc(dc_, r.left, r.top, r.right, r.bottom, s.x, s.y, e.x, e.y);
}

void GdiCanvas::line(port::Point from, port::Point to) {
    MoveToEx(dc_, from.x, from.y, nullptr);
    LineTo(dc_, to.x, to.y);
}

void GdiCanvas::polyline(const port::Point* points, int count) {
    if (count <= 0) return;
    std::vector<POINT> pts(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) pts[static_cast<size_t>(i)] = {points[i].x, points[i].y};
    Polyline(dc_, pts.data(), count);
}

void GdiCanvas::fill_rect(const port::Rect& r, port::Color c) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    const COLORREF color = colorref(c);
    const RECT rc{r.left, r.top, r.right, r.bottom};
    if (HBRUSH cached =
            solid_brush_cache.find_or_make(color, [&] { return unique_hbrush(CreateSolidBrush(color)); })) {
        FillRect(dc_, &rc, cached);
        return;
    }
    unique_hbrush brush(CreateSolidBrush(color));
    if (brush) FillRect(dc_, &rc, brush.get());
}

void GdiCanvas::set_pixel(port::Point p, port::Color c) {
    SetPixel(dc_, p.x, p.y, colorref(c));
}

void GdiCanvas::set_font(const port::Font& font) {
    const int height = -MulDiv(font.size, GetDeviceCaps(dc_, LOGPIXELSY), 72);
    auto make = [&] {
        return unique_hfont(CreateFontW(
            height, 0, 0, 0, (font.style & 1) ? FW_BOLD : FW_NORMAL, (font.style & 2) != 0,
            (font.style & 4) != 0, (font.style & 8) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, widen(font.name).c_str()));
    };
    if (HFONT cached = font_cache.find_or_make(FontKey{font, height}, make)) {
        SelectObject(dc_, cached);
        return;
    }
    unique_hfont created = make();
    if (!created) return;
    SelectObject(dc_, created.get());
    font_ = std::move(created);
}

void GdiCanvas::set_text_color(port::Color c) {
    SetTextColor(dc_, colorref(c));
}

int GdiCanvas::text_height() {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    return tm.tmHeight;
}

port::Size GdiCanvas::measure_text(std::string_view text, const port::TextFormat& format) {
    const std::wstring wide = widen(text);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | (format.prefix ? 0u : DT_NOPREFIX));
    return {r.right - r.left, r.bottom - r.top};
}

void GdiCanvas::draw_text(const port::Rect& r, std::string_view text, const port::TextFormat& format) {
    const std::wstring wide = widen(text);
    RECT rc{r.left, r.top, r.right, r.bottom};
    DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &rc, text_flags(format));
}

port::Size GdiCanvas::icon_size(port::IconId icon) {
    return pictures_ ? pictures_->size(icon) : port::Size{};
}

void GdiCanvas::draw_icon(port::IconId icon, port::Point at) {
    if (pictures_) pictures_->draw(dc_, icon, POINT{at.x, at.y});
}

}  // namespace vx::win::objects
