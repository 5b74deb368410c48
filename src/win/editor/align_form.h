#pragma once
// TAlignForm, " Align": the designer's small floating window of alignment buttons, the two
// stacking buttons, "Relative to Object" and the nudge star. It only says what was pressed; the
// owner works out and applies every move. Clicks on it never take the activation from the owner,
// so the keyboard stays with the page being edited.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "editor/alignment.h"
#include "win/util/modeless.h"
#include "win/util/window.h"

namespace vx::win::editor {

struct AlignCallbacks {
    std::function<void(vx::editor::Alignment, bool relative)> align;
    std::function<void()> bring_to_front;
    std::function<void()> send_to_back;
    // Once when an arrow is pressed (round 1), then every repeat while it is held (2, 3, ...):
    // the owner moves the selection by round times one step, so the motion accelerates.
    std::function<void(vx::editor::NudgeDirection, int round)> nudge;
    // The arrow was let go (or the press was lost).
    std::function<void()> nudge_end;
    // The close box hid the window.
    std::function<void()> hidden;
};

// The window's parts, in the order they are laid out.
enum class AlignPart {
    Left,
    CenterH,
    Right,
    Front,
    Top,
    CenterV,
    Bottom,
    Back,
    StarUp,
    StarLeft,
    StarRight,
    StarDown,
    Relative,
};

class TAlignForm final : public Window {
public:
    static constexpr UINT kRepeatMs = 100;

    explicit TAlignForm(AlignCallbacks callbacks);
    ~TAlignForm() override;

    // Makes the window (hidden), owned by `owner`, at the stored "left,top" text; `screen` is the
    // screen's size. False when it could not be made.
    bool open(HWND owner, const std::string& stored_position, SIZE screen);
    // Shows it without taking the activation; hide() hides it without telling the owner.
    void show();
    void hide();

    // "left,top" of the window as it is now, for storing.
    std::string position_text() const;
    bool relative() const { return relative_; }
    // A part's rectangle in client coordinates.
    RECT part_rect(AlignPart part) const;

    // Where the window goes: the stored "left,top" where each field is a number, else the
    // designed place; a left beyond the screen's width - 30 or a top beyond its height - 30 gives
    // 0, so the window cannot be lost off the screen.
    static POINT initial_position(const std::string& stored, SIZE screen, POINT designed);

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool on_close() override;
    void on_paint(HDC dc, const PAINTSTRUCT&) override;
    void on_destroy() override;

private:
    std::optional<AlignPart> part_at(POINT client) const;
    void press(AlignPart part);
    void stop_nudge();
    void return_activation() const;
    void add_tooltips();
    void paint_part(HDC dc, AlignPart part) const;

    AlignCallbacks callbacks_;
    HWND owner_ = nullptr;
    HWND tooltip_ = nullptr;
    ModelessRegistration registration_;
    bool relative_ = false;
    std::optional<AlignPart> held_;  // the arrow held down
    int round_ = 0;
    std::optional<AlignPart> pressed_;  // drawn sunken while the button is down on it
};

}  // namespace vx::win::editor
