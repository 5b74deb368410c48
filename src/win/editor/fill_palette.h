#pragma once
// TFillPalette: chooses one of the 49 fill patterns from the pattern picture, and whether the
// pattern lets the page show through ("Make Pattern Transparent").
#include <windows.h>

#include <optional>

#include "win/editor/palette_ids.h"
#include "win/editor/popup_palette.h"

namespace vx::win::editor {

struct FillChoice {
    int pattern = 0;  // 0 solid, 7 no fill, others the pattern pictures
    bool transparent = false;
    friend bool operator==(const FillChoice&, const FillChoice&) = default;
};

class TFillPalette final : public TPopUpPalette {
public:
    FillChoice value() const { return value_; }
    // Numbers outside 0 to 48 keep the pattern there was.
    void set_value(FillChoice v);

    // The callers' entry point: pops up below `button` (screen coordinates) on `current`; the
    // choice, or nullopt when the person cancelled. Ticking or clearing the check box chooses too,
    // with the pattern highlighted at that moment.
    std::optional<FillChoice> choose(HWND owner, const RECT& button, FillChoice current);

    const GridTracker& grid() const { return grid_; }
    HWND check_box() const { return GetDlgItem(hwnd(), IDC_PALETTE_TRANSPARENT); }

protected:
    SIZE content_size() const override;
    void create_children() override;
    void begin() override;
    void cancelled() override { value_ = at_begin_; }
    void paint_content(HDC dc) override;
    RECT highlight_rect() const override;
    void key(UINT vk) override;
    bool mouse_down(POINT p) override;
    void mouse_move(POINT p) override;
    void mouse_up(POINT p) override;
    void accept() override;
    bool child_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    // The pattern picture ("Patternbox"), drawn once from the objects' own pattern table.
    HBITMAP pattern_box();

    FillChoice value_{};
    FillChoice at_begin_{};
    GridTracker grid_{vx::editor::kFillGrid};
    unique_hbitmap box_;
};

}  // namespace vx::win::editor
