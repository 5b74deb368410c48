#pragma once
// The designer's tool on the page surface: presses, moves and releases go to the core's
// gestures (selection, rubber band, drag, resize through a handle); the tool draws their marks
// (grid dots, the selection's handles, the inverted feedback frame) over the page and hands
// what a gesture ends in to its owner, the main window in modify mode. The objects themselves
// get no input while it is in place.
#include <windows.h>

#include <functional>
#include <vector>

#include "editor/surface_edit.h"
#include "win/surface/surface_tool.h"

namespace vx::win::surface {

struct DesignToolEvents {
    // The page shown; null for none (then nothing can be pressed).
    std::function<const model::Page*()> page;
    std::function<editor::Tool()> tool;
    // A press asked for more than feedback (the popup, a property dialog, the palette's
    // attributes, a changed selection). `screen` is where it happened.
    std::function<void(const editor::PressResult&, POINT screen)> pressed;
    std::function<void(editor::ReleaseResult)> released;
    // The drag left the surface downwards: the selection is to be dropped on a tab.
    std::function<void()> page_drag;
    // Each move over the surface, in page coordinates ("Show Mouse Position").
    std::function<void(POINT page)> pointer;
    // Keys the tool does not take itself.
    std::function<bool(UINT message, WPARAM, LPARAM)> key;
};

class DesignTool final : public SurfaceTool {
public:
    DesignTool(model::Desktop& desktop, editor::Selection& selection, const editor::GridSettings& grid,
               DesignToolEvents events);

    bool mouse_down(TKXScrollBox& surface, POINT page, UINT button, UINT keys) override;
    bool mouse_up(TKXScrollBox& surface, POINT page, UINT button, UINT keys) override;
    void mouse_move(TKXScrollBox& surface, POINT page, UINT keys) override;
    bool double_click(TKXScrollBox& surface, POINT page, UINT button, UINT keys) override {
        return mouse_down(surface, page, button, keys);
    }
    bool key(TKXScrollBox& surface, UINT message, WPARAM wparam, LPARAM lparam) override;
    HCURSOR cursor(const TKXScrollBox& surface, POINT page) const override;
    void release(TKXScrollBox& surface) override;
    void paint_overlay(TKXScrollBox& surface, HDC dc, const RECT& dirty) override;

    // The selection or the objects changed: the handles are drawn where they are now.
    void selection_changed(TKXScrollBox& surface);
    bool busy() const { return gestures_.active(); }

private:
    void invalidate_feedback(TKXScrollBox& surface, const std::optional<port::Rect>& r) const;
    std::vector<RECT> handle_rects() const;

    model::Desktop& desktop_;
    editor::Selection& selection_;
    const editor::GridSettings& grid_;
    editor::SurfaceGestures gestures_;
    DesignToolEvents events_;
    // Where handles were drawn last, to paint them away when the selection moves on.
    std::vector<RECT> shown_handles_;
    bool captured_ = false;
};

}  // namespace vx::win::surface
