#include "win/surface/run_tool.h"

#include "win/surface/scroll_box.h"

namespace vx::win::surface {

bool RunTool::mouse_down(TKXScrollBox& surface, POINT page, UINT button, UINT) {
    // Buttons answer the left and the right button, as they always have.
    if (button == MK_MBUTTON) return false;
    HostedObject* o = surface.object_at(page);
    if (!o) return false;  // the page itself: the owner's popup menu sees the release
    captured_ = o;
    SetCapture(surface.hwnd());
    o->mouse_down(page, button);
    // The press is drawn now, not when the queue runs dry: in a quick click the release is
    // already waiting and runs the command first, so the user would never see the button go
    // down.
    UpdateWindow(surface.hwnd());
    return true;
}

bool RunTool::mouse_up(TKXScrollBox& surface, POINT page, UINT button, UINT) {
    if (captured_) {
        HostedObject* o = captured_;
        captured_ = nullptr;
        ReleaseCapture();
        o->mouse_up(page, button);
        return true;
    }
    if (button != MK_RBUTTON) return false;
    const POINT screen = surface.to_screen(page);
    SendMessageW(GetParent(surface.hwnd()), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(surface.hwnd()),
                 MAKELPARAM(screen.x, screen.y));
    return true;
}

void RunTool::mouse_move(TKXScrollBox& surface, POINT page, UINT) {
    if (captured_)
        captured_->mouse_move(page);
    else if (HostedObject* o = surface.object_at(page))
        o->mouse_move(page);
}

HCURSOR RunTool::cursor(const TKXScrollBox& surface, POINT page) const {
    const HostedObject* o = surface.object_at(page);
    return o ? o->cursor() : nullptr;
}

void RunTool::release(TKXScrollBox&) {
    captured_ = nullptr;
}

}  // namespace vx::win::surface
