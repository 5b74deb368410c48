#pragma once
// What the page surface does with the mouse and the keyboard is its tool's business: the run
// tool presses and clicks the objects (run mode); a designer's tool selects, sizes and drags them
// and draws its marks over the page. The surface only turns messages into page coordinates,
// paints, and hands the tool its turn.
#include <windows.h>

namespace vx::win::surface {

class TKXScrollBox;

class SurfaceTool {
public:
    virtual ~SurfaceTool() = default;

    // Points are page coordinates (the scroll position already added); `button` is MK_LBUTTON
    // or MK_RBUTTON, `keys` the MK_ flags the message carried. Answer true when the tool took
    // the message, false to leave it to the window's default handling.
    virtual bool mouse_down(TKXScrollBox& surface, POINT page, UINT button, UINT keys) = 0;
    virtual bool mouse_up(TKXScrollBox& surface, POINT page, UINT button, UINT keys) = 0;
    virtual void mouse_move(TKXScrollBox& surface, POINT page, UINT keys) = 0;
    // The second press of a double click (the class asks for double clicks), in place of a
    // mouse_down.
    virtual bool double_click(TKXScrollBox& /*surface*/, POINT /*page*/, UINT /*button*/, UINT /*keys*/) {
        return false;
    }
    // WM_KEYDOWN, WM_KEYUP, their WM_SYS forms and WM_CHAR while the surface has the focus.
    virtual bool key(TKXScrollBox& /*surface*/, UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/) {
        return false;
    }
    // The cursor over a point of the page; null shows the arrow.
    virtual HCURSOR cursor(const TKXScrollBox& surface, POINT page) const = 0;
    // Let go of every object held: the capture went elsewhere, the surface's objects were
    // replaced, or another tool takes over (it may hear more than one of these at once). Held
    // pointers are stale after this.
    virtual void release(TKXScrollBox& /*surface*/) {}
    // Drawn after the objects, into the same buffer, in page coordinates; `dirty` is the part
    // of the page being repainted (nothing outside it reaches the screen).
    virtual void paint_overlay(TKXScrollBox& /*surface*/, HDC /*dc*/, const RECT& /*dirty*/) {}
};

}  // namespace vx::win::surface
