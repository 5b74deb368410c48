#include "win/surface/design_tool.h"

#include <windowsx.h>

#include "editor/hit_test.h"
#include "win/surface/scroll_box.h"
#include "win/util/handle.h"

namespace vx::win::surface {
namespace {

// The inverting pen is this wide, centred on the frame's edge.
constexpr int kFeedbackPen = 3;

RECT win_rect(const port::Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

editor::PointerInput pointer_input(POINT page, UINT button, UINT keys) {
    editor::PointerInput in;
    in.page = {page.x, page.y};
    in.button = button == MK_LBUTTON   ? editor::MouseButton::Left
                : button == MK_MBUTTON ? editor::MouseButton::Middle
                                       : editor::MouseButton::Right;
    in.shift = (keys & MK_SHIFT) != 0;
    in.ctrl = (keys & MK_CONTROL) != 0;
    return in;
}

LPCWSTR cursor_name(editor::HandleCursor c) {
    switch (c) {
        case editor::HandleCursor::SizeNwse:
            return IDC_SIZENWSE;
        case editor::HandleCursor::SizeNs:
            return IDC_SIZENS;
        case editor::HandleCursor::SizeNesw:
            return IDC_SIZENESW;
        case editor::HandleCursor::SizeWe:
            return IDC_SIZEWE;
    }
    return IDC_ARROW;
}

}  // namespace

DesignTool::DesignTool(model::Desktop& desktop, editor::Selection& selection, const editor::GridSettings& grid,
                       DesignToolEvents events)
    : desktop_(desktop),
      selection_(selection),
      grid_(grid),
      gestures_(desktop, selection, grid),
      events_(std::move(events)) {}

bool DesignTool::mouse_down(TKXScrollBox& surface, POINT page, UINT button, UINT keys) {
    const model::Page* shown = events_.page ? events_.page() : nullptr;
    // Keys go to the surface from the first press on it, as they would to any control clicked.
    SetFocus(surface.hwnd());
    if (!shown) return true;
    const editor::Tool tool = events_.tool ? events_.tool() : editor::Tool::Selector;
    const editor::PressResult r = gestures_.press(*shown, tool, pointer_input(page, button, keys));
    if (gestures_.active() && !captured_) {
        captured_ = true;
        SetCapture(surface.hwnd());
    }
    invalidate_feedback(surface, gestures_.feedback());
    if (r.selection_changed) selection_changed(surface);
    if (events_.pressed && (r.outcome == editor::PressOutcome::Popup ||
                            r.outcome == editor::PressOutcome::EditObject || r.load_palette || r.selection_changed))
        events_.pressed(r, surface.to_screen(page));
    return true;
}

bool DesignTool::mouse_up(TKXScrollBox& surface, POINT page, UINT button, UINT keys) {
    if (button != MK_LBUTTON) return true;
    const model::Page* shown = events_.page ? events_.page() : nullptr;
    const auto before = gestures_.feedback();
    editor::ReleaseResult r;
    if (shown) r = gestures_.release(*shown, pointer_input(page, button, keys));
    if (captured_ && !gestures_.active()) {
        captured_ = false;
        ReleaseCapture();
    }
    invalidate_feedback(surface, before);
    if (r.outcome == editor::ReleaseOutcome::Selected) selection_changed(surface);
    if (r.outcome != editor::ReleaseOutcome::None && events_.released) events_.released(std::move(r));
    return true;
}

void DesignTool::mouse_move(TKXScrollBox& surface, POINT page, UINT) {
    if (events_.pointer) events_.pointer(page);
    if (!gestures_.active()) return;
    RECT client;
    GetClientRect(surface.hwnd(), &client);
    const POINT scroll = surface.scroll_pos();
    const auto before = gestures_.feedback();
    const editor::MoveResult r = gestures_.move({page.x, page.y}, page.y - scroll.y, client.bottom);
    if (r.feedback_changed || r.page_drag) {
        invalidate_feedback(surface, before);
        invalidate_feedback(surface, gestures_.feedback());
    }
    if (r.page_drag) {
        if (captured_) {
            captured_ = false;
            ReleaseCapture();
        }
        if (events_.page_drag) events_.page_drag();
    }
}

bool DesignTool::key(TKXScrollBox&, UINT message, WPARAM wparam, LPARAM lparam) {
    return events_.key && events_.key(message, wparam, lparam);
}

HCURSOR DesignTool::cursor(const TKXScrollBox&, POINT page) const {
    if (gestures_.active()) return nullptr;
    if (const auto hit = editor::handle_at(desktop_, selection_.ids(), {page.x, page.y}))
        return LoadCursorW(nullptr, cursor_name(editor::handle_cursor(hit->handle)));
    return nullptr;
}

void DesignTool::release(TKXScrollBox& surface) {
    const auto before = gestures_.feedback();
    gestures_.cancel();
    // Called from WM_CAPTURECHANGED too: the capture is already gone then.
    captured_ = false;
    invalidate_feedback(surface, before);
}

std::vector<RECT> DesignTool::handle_rects() const {
    std::vector<RECT> out;
    for (model::ObjectId id : selection_.ids()) {
        const model::ObjectRef ref = desktop_.find_object(id);
        if (!ref) continue;
        const model::Bounds& b = model::bounds_of(ref.entry->data);
        for (int h = 1; h <= editor::kHandleCount; ++h) out.push_back(win_rect(editor::handle_rect(b, h)));
    }
    return out;
}

void DesignTool::selection_changed(TKXScrollBox& surface) {
    for (const RECT& r : shown_handles_) surface.invalidate(r);
    shown_handles_ = handle_rects();
    for (const RECT& r : shown_handles_) surface.invalidate(r);
}

void DesignTool::invalidate_feedback(TKXScrollBox& surface, const std::optional<port::Rect>& f) const {
    if (!f) return;
    // Only the frame's four edges change: a band across the page repaints strips, not the page.
    const int w = kFeedbackPen + 1;
    const RECT r = win_rect(*f);
    surface.invalidate(RECT{r.left - w, r.top - w, r.right + w, r.top + w});
    surface.invalidate(RECT{r.left - w, r.bottom - w, r.right + w, r.bottom + w});
    surface.invalidate(RECT{r.left - w, r.top - w, r.left + w, r.bottom + w});
    surface.invalidate(RECT{r.right - w, r.top - w, r.right + w, r.bottom + w});
}

void DesignTool::paint_overlay(TKXScrollBox& surface, HDC dc, const RECT& dirty) {
    if (grid_.show) {
        RECT client;
        GetClientRect(surface.hwnd(), &client);
        const POINT scroll = surface.scroll_pos();
        editor::for_each_grid_dot(grid_, {scroll.x, scroll.y}, {client.right, client.bottom},
                                  [&](port::Point p) {
                                      const POINT at{p.x + scroll.x, p.y + scroll.y};
                                      if (PtInRect(&dirty, at)) SetPixelV(dc, at.x, at.y, RGB(0, 0, 0));
                                  });
    }
    shown_handles_ = handle_rects();
    if (!shown_handles_.empty()) {
        const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        RECT overlap;
        for (const RECT& r : shown_handles_)
            if (IntersectRect(&overlap, &r, &dirty)) FillRect(dc, &r, black);
    }
    if (const auto f = gestures_.feedback()) {
        const unique_hpen pen(CreatePen(PS_SOLID, kFeedbackPen, RGB(0, 0, 0)));
        const scoped_select use_pen(dc, pen.get());
        const scoped_select use_brush(dc, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
        const int rop = SetROP2(dc, R2_NOT);
        Rectangle(dc, f->left, f->top, f->right, f->bottom);
        SetROP2(dc, rop);
    }
}

}  // namespace vx::win::surface
