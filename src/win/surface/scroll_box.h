#pragma once
// TKXScrollBox: the one child window that shows a desktop page. Desktop objects have no windows
// of their own; they live here as HostedObject entries, so one paint pass can draw the page
// background and then every visible object bottom to top without flicker.
#include <windows.h>

#include <functional>
#include <vector>

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

    void set_auto_scroll(bool on);
    bool auto_scroll() const { return auto_scroll_; }
    // Recomputes the scroll ranges from the visible objects' extent.
    void update_ranges();
    POINT scroll_pos() const { return {pos_x_, pos_y_}; }

protected:
    void on_paint(HDC dc, const PAINTSTRUCT& ps) override;
    void on_size(UINT kind, int width, int height) override;
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void scroll(int bar, WPARAM request);
    POINT to_page(LPARAM lparam) const;

    PaintHandler on_paint_;
    COLORREF color_ = RGB(192, 192, 192);
    HPALETTE palette_ = nullptr;
    std::vector<HostedObject*> objects_;
    HostedObject* captured_ = nullptr;
    bool auto_scroll_ = true;
    int extent_x_ = 0, extent_y_ = 0;
    int pos_x_ = 0, pos_y_ = 0;
};

}  // namespace vx::win::surface
