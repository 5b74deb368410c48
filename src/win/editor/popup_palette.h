#pragma once
// TPopUpPalette: the small window that drops down below a colour, pattern or line button, lets
// the person choose with the mouse or the keys, and goes away. It never takes the activation
// from the window that opened it: it runs a loop of its own that keeps every mouse and keyboard
// message meant for another window away from it, so the first click elsewhere only closes the
// palette and nothing under the pointer reacts to it.
#include <windows.h>

#include <functional>
#include <optional>

#include "editor/palette_geometry.h"
#include "model/desktop.h"
#include "port/canvas.h"
#include "win/util/handle.h"
#include "win/util/window.h"

namespace vx::win::editor {

class TPopUpPalette : public Window {
public:
    static constexpr int kChosen = 1;
    static constexpr int kCancelled = 2;

    TPopUpPalette() = default;
    ~TPopUpPalette() override;

    // Shows the palette with its top-left corner at the screen point (moved to stay on the
    // screen), runs until the person chooses or cancels, hides it again and returns kChosen or
    // kCancelled. `owner` is the window the palette belongs to (it stays above it). A palette that
    // is already up refuses a second popup with kCancelled.
    int popup(int x, int y, HWND owner = nullptr);
    // Directly below a button: at its left edge and bottom, in screen coordinates.
    int popup_below(const RECT& button, HWND owner = nullptr) {
        return popup(button.left, button.bottom, owner);
    }

    bool running() const { return running_; }
    // Whether the blinking highlight is drawn at this moment.
    bool highlight_shown() const { return pressed_ || blink_on_; }

    // Runs once the palette is on the screen, inside its loop: where tests start their input.
    std::function<void(TPopUpPalette&)> on_shown;

    static constexpr UINT kBlinkMs = 400;

protected:
    // The client area the content needs; the window is never smaller than 25 x 25.
    virtual SIZE content_size() const = 0;
    // Once, after the window exists: child controls.
    virtual void create_children() {}
    // Each time the palette pops up, before it shows: the highlight goes to the current value.
    virtual void begin() {}
    // The palette was cancelled: the value it had when it popped up comes back.
    virtual void cancelled() {}
    virtual void paint_content(HDC dc) = 0;
    // Where the highlight is drawn, for repainting it as it blinks or moves.
    virtual RECT highlight_rect() const = 0;
    // A key pressed while the palette was up (arrow keys, among others), wherever the focus was.
    virtual void key(UINT /*vk*/) {}
    // Client coordinates. `mouse_down` returns true to track the press (the palette takes the
    // capture until the release); `mouse_move` comes with or without a press.
    virtual bool mouse_down(POINT) { return false; }
    virtual void mouse_move(POINT) {}
    virtual void mouse_up(POINT) {}
    // Enter: close with the current value.
    virtual void accept() { finish(kChosen); }
    // Messages of the child controls (WM_COMMAND, WM_HSCROLL, WM_DRAWITEM, ...); true when handled.
    virtual bool child_message(UINT /*message*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }

    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    void on_paint(HDC dc, const PAINTSTRUCT& ps) override;

    // Ends the loop with a result.
    void finish(int result);
    bool pressed() const { return pressed_; }
    // Repaints the highlight where it was and where it is now.
    void move_highlight(const RECT& before);
    // A frame `thickness` pixels wide inside `r`: white while the highlight shows, else black.
    void frame_highlight(HDC dc, const RECT& r, int thickness) const;
    // A control of the palette in the user-interface font; `r` in client coordinates.
    HWND add_child(const wchar_t* window_class, const wchar_t* text, DWORD style, const RECT& r, int id,
                   DWORD ex_style = 0);

private:
    bool ensure_window(HWND owner);
    // True when the loop handled `msg` itself and it must not be dispatched.
    bool filter(MSG& msg);
    bool own(HWND window) const { return window == hwnd() || IsChild(hwnd(), window); }
    void restart_blink();

    int result_ = 0;
    POINT pointer_{};  // where the pointer was last seen, on the screen
    bool running_ = false;
    bool pressed_ = false;
    bool blink_on_ = true;
};

// The direction of an arrow key; nullopt for other keys.
std::optional<vx::editor::Arrow> arrow_of(UINT vk);

// The highlighted cell of a palette's grid, moved by the mouse and the arrow keys. The grid sits
// inside the palette's frame.
struct GridTracker {
    vx::editor::Grid grid;
    vx::editor::Cell cell{};
    POINT origin{vx::editor::kPaletteMargin, vx::editor::kPaletteMargin};

    // Client coordinates of a cell, and of the whole grid.
    RECT rect(vx::editor::Cell c) const;
    RECT bounds() const;
    // A press on the grid highlights its cell; false off the grid.
    bool press(POINT p);
    // While pressed, the cell under the pointer, or the nearest one along the edge.
    void track(POINT p) { cell = grid.clamped({p.x - origin.x, p.y - origin.y}); }
    // True when `vk` was an arrow key (the highlight moved as far as the grid lets it).
    bool arrow(UINT vk);
    int number() const { return grid.number(cell); }
};

// A logical palette of the 256 entries, for drawing palette-index colours.
unique_hpalette make_logical_palette(const model::Palette& palette);
// Copies a whole bitmap of `size` onto `dc` at `at`.
void draw_bitmap(HDC dc, HBITMAP bitmap, POINT at, SIZE size);
// The screen's colour count: what the palettes show when the caller does not say.
int64_t screen_colors();
// A window's rectangle on the screen: where its palette drops down from.
RECT screen_rect(HWND button);

}  // namespace vx::win::editor
