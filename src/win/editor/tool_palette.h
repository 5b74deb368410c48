#pragma once
// TToolPalette, " Tools": the designer's floating toolbox. It picks the current tool and holds
// the current drawing attributes (fill colour, pattern and transparency, line colour, width and
// style, font and font colour). A changed attribute goes to the open property dialog's preview
// when one is open, otherwise to the owner, who gives it to the selection (vx::editor::restyle)
// as one step. It never takes the activation: the property dialog or the main window keeps it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/object_properties.h"
#include "model/objects.h"
#include "win/editor/color_palette.h"
#include "win/editor/fill_palette.h"
#include "win/editor/line_palettes.h"
#include "win/util/handle.h"
#include "win/util/window.h"

namespace vx::win::editor {

inline constexpr const wchar_t* kToolPaletteClass = L"VxToolPalette";

// The layouts' measures, in pixels.
inline constexpr int kToolPaletteLargeWidth = 249;
inline constexpr int kToolPaletteSmallWidth = 62;
inline constexpr int kToolPanelLargeHeight = 83;
inline constexpr int kToolPanelSmallHeight = 230;
inline constexpr int kToolPaletteExpandedHeight = 230;
inline constexpr int kToolPaletteCollapsedHeight = 107;
inline constexpr int kToolTitleHeight = 14;

class TToolPalette final : public Window {
public:
    using Tool = vx::editor::Tool;

    TToolPalette();
    ~TToolPalette() override;

    // Makes the palette (hidden until show) over `owner`, in the stored state read through
    // `read`; a reading that throws leaves the designed state (`on_error` hears why).
    bool open(HWND owner, const std::function<std::optional<std::string>(std::string_view)>& read = {},
              int screen_width = GetSystemMetrics(SM_CXSCREEN),
              int screen_height = GetSystemMetrics(SM_CYSCREEN));
    // Writes the state (position, expanded, rolled up, size) and destroys the window.
    void close(const std::function<void(std::string_view, const std::string&)>& write = {});

    // The tool buttons' choices, and an attribute the person changed while no property dialog
    // was open (`which` takes vx::editor::attribute_bits).
    std::function<void(Tool)> tool_chosen;
    std::function<void(const model::ButtonData& style, uint16_t which)> attribute_changed;
    std::function<void(const std::string& message)> on_error;
    // The font dialog; the default is the system's. False when cancelled.
    std::function<bool(HWND owner, model::FontData& font)> choose_font;

    // Presses a tool's button without reporting it (the surface returning to the selector).
    void show_tool(Tool tool);
    Tool tool() const { return tool_; }
    const model::ButtonData& style() const { return style_; }
    // A clicked object's attributes become the palette's.
    void load_from(const model::ObjectData& object);

    const vx::editor::ToolPaletteState& state() const { return state_; }
    void set_large(bool large);
    void set_expanded(bool expanded);
    void set_rolled_up(bool rolled_up);
    HWND button(int id) const { return GetDlgItem(hwnd(), id); }
    // The pop-up palettes, for tests to drive.
    TColorPalette& color_palette() { return colors_; }
    TFillPalette& fill_palette() { return fills_; }
    TLineWidthPalette& width_palette() { return widths_; }
    TLineStylePalette& style_palette() { return styles_; }

protected:
    bool on_create(const CREATESTRUCTW&) override;
    bool on_command(int id, int code, HWND control) override;
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    void on_paint(HDC dc, const PAINTSTRUCT& ps) override;
    bool on_close() override { return true; }  // only leaving modify mode closes it

private:
    void layout();
    void apply(uint16_t which);
    void choose_tool(Tool tool);
    void paint_samples(HDC dc, const RECT& r) const;
    RECT title_rect() const;
    RECT samples_rect() const;

    HWND owner_ = nullptr;
    Tool tool_ = Tool::Selector;
    model::ButtonData style_{};
    vx::editor::ToolPaletteState state_{};
    HWND tips_ = nullptr;
    TColorPalette colors_;
    TFillPalette fills_;
    TLineWidthPalette widths_;
    TLineStylePalette styles_;
};

}  // namespace vx::win::editor
