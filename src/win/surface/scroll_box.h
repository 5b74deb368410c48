#pragma once
// TKXScrollBox: the one child window that shows a desktop page. Desktop objects have no windows
// of their own; they live here as HostedObject entries, so one paint pass can draw the page
// background and then every visible object bottom to top without flicker. What the mouse and
// the keyboard do on the page is the tool's (surface_tool.h); without one the run tool serves.
#include <windows.h>

#include <functional>
#include <vector>

#include "win/surface/run_tool.h"
#include "win/util/handle.h"
#include "win/util/window.h"

namespace vx::win::surface {

inline constexpr const wchar_t* kScrollBoxClass = L"TKXScrollBox";

// What a desktop object offers the surface. Coordinates are page coordinates (scroll position
// already removed). The surface never owns objects; their page model does.
class HostedObject {
public:
    virtual ~HostedObject() = default;
    virtual RECT bounds() const = 0;
    virtual bool visible() const = 0;
    // Draws nothing outside bounds(): an object whose bounds miss the invalid rectangle is not
    // asked to paint.
    virtual void paint(HDC dc) = 0;
    // Finer than the bounds (round buttons answer only inside their ellipse).
    virtual bool hit_test(POINT p) const {
        const RECT r = bounds();
        return visible() && PtInRect(&r, p) != 0;
    }
    virtual void mouse_down(POINT, UINT /*button*/) {}
    virtual void mouse_up(POINT, UINT /*button*/) {}
    virtual void mouse_move(POINT) {}
    // Null keeps the surface's arrow.
    virtual HCURSOR cursor() const { return nullptr; }
};

class TKXScrollBox final : public Window {
public:
    using PaintHandler = std::function<void(HDC dc, const RECT& client, POINT scroll)>;

    HWND create(HWND parent, HINSTANCE instance, int id);

    // Paints the background; without it the client is filled with `color`.
    void set_on_paint(PaintHandler handler) { on_paint_ = std::move(handler); }
    void set_color(COLORREF color) { color_ = color; }
    // The shared desktop palette, selected and realised before every paint; may be null.
    void set_palette(HPALETTE palette) { palette_ = palette; }

    // Bottom first: the last entry is drawn last and hit first.
    void set_objects(std::vector<HostedObject*> objects);
    const std::vector<HostedObject*>& objects() const { return objects_; }
    HostedObject* object_at(POINT page_point) const;

    // Input goes to `tool` from now on; null gives the run tool back. The surface does not own
    // it. The tool that stood down lets go of what it held and its overlay is painted away.
    void set_tool(SurfaceTool* tool);
    SurfaceTool& tool() const { return *tool_; }

    void set_auto_scroll(bool on);
    bool auto_scroll() const { return auto_scroll_; }
    // Recomputes the scroll ranges from the visible objects' extent.
    void update_ranges();
    POINT scroll_pos() const { return {pos_x_, pos_y_}; }
    POINT to_screen(POINT page) const;
    // Repaints a part of the page (page coordinates), at the next paint.
    void invalidate(const RECT& page_rect) const;

protected:
    void on_paint(HDC dc, const PAINTSTRUCT& ps) override;
    void on_size(UINT kind, int width, int height) override;
    void on_destroy() override;
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void scroll(int bar, WPARAM request);
    POINT to_page(LPARAM lparam) const;
    // The memory DC the page is composed in, of the client's size; null when none can be made
    // (the paint then goes straight to the screen).
    HDC back_buffer(HDC screen, SIZE size);
    void paint_page(HDC dc, const RECT& client, const RECT& dirty);

    PaintHandler on_paint_;
    COLORREF color_ = RGB(192, 192, 192);
    HPALETTE palette_ = nullptr;
    std::vector<HostedObject*> objects_;
    RunTool run_tool_;
    SurfaceTool* tool_ = &run_tool_;
    bool auto_scroll_ = true;
    int extent_x_ = 0, extent_y_ = 0;
    int pos_x_ = 0, pos_y_ = 0;
    // Kept from paint to paint while the client keeps its size. The bitmap stays selected in
    // the DC, which goes first.
    unique_hbitmap buffer_bitmap_;
    unique_memory_dc buffer_dc_;
    SIZE buffer_size_{0, 0};
};

}  // namespace vx::win::surface
