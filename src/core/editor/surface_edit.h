#pragma once
// The editing surface's rules: the selection, the grid, and the three gestures (rubber band,
// drag, resize through a handle) as a state machine over page-client coordinates. The window
// feeds it presses, moves and releases; it answers what to draw (the feedback rectangle) and
// what the gesture ends in (a command for the undo stack, a selection, a new object's
// rectangle, a property dialog or the popup to open). Nothing here touches a window.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/command.h"
#include "editor/object_commands.h"
#include "editor/tool.h"
#include "model/desktop.h"
#include "port/canvas.h"
#include "port/shell_links.h"

namespace vx::editor {

inline constexpr int kGridMin = 4;
inline constexpr int kGridMax = 100;
inline constexpr int kGridDefault = 10;

struct GridSettings {
    int width = kGridDefault;
    int height = kGridDefault;
    bool show = false;
    bool snap = false;
};

// Snapping always moves down to the grid line at or before the coordinate, on either side of
// 0 (-3 snaps to -10 on a grid of 10); a grid below 1 leaves the value as it is.
int snap_down(int value, int grid);
port::Point snap_point(port::Point p, const GridSettings& grid);
// A typed grid spacing brought into 4..100.
int clamp_grid(int value);

// The overlay's grid dots in surface (client) coordinates, for a client of `client` size
// scrolled to `scroll`; `dot` is called once per dot.
void for_each_grid_dot(const GridSettings& grid, port::Point scroll, port::Size client,
                       const std::function<void(port::Point)>& dot);

// "Show Mouse Position": "X x Y".
std::string mouse_position_text(port::Point surface_point);

// The selected objects of the shown page, in the order they were added (the handles of the
// last one lie on top). Objects of one positive group tag are selected together.
class Selection {
public:
    const ObjectIds& ids() const { return ids_; }
    bool empty() const { return ids_.empty(); }
    bool contains(model::ObjectId id) const;
    void clear() { ids_.clear(); }
    // The object and, when its tag is above 0, every object of the page with the same tag
    // (walked front to back); objects already selected are passed over.
    void add(const model::Page& page, model::ObjectId id);
    void select_all(const model::Page& page);
    // Drops ids that no longer name an object of `page` (after Undo, a delete, a page change).
    void prune(const model::Page& page);
    // The union of the selected objects' bounds; nullopt when empty.
    std::optional<model::Bounds> frame(const model::Desktop& desktop) const;

private:
    ObjectIds ids_;
};

enum class MouseButton { Left, Right, Middle };

struct PointerInput {
    port::Point page;  // page-client coordinates (scroll already added)
    MouseButton button = MouseButton::Left;
    bool shift = false;
    bool ctrl = false;
};

// What a press asks of the window beyond the feedback.
enum class PressOutcome {
    None,
    Popup,       // open the modify popup at the cursor (the popup's own permission applies)
    RubberBand,  // a band began; draw feedback()
    Drag,        // a drag of the selection began
    Resize,      // a resize through a handle began
    EditObject,  // open the property dialog of `object`
};

struct PressResult {
    PressOutcome outcome = PressOutcome::None;
    model::ObjectId object = model::kNoId;  // the object hit (EditObject; the palette loads from it)
    // A newly selected object: the tool palette takes its attributes.
    bool load_palette = false;
    bool selection_changed = false;
};

struct MoveResult {
    bool feedback_changed = false;
    // The drag left the surface below its bottom edge: the gesture has ended (no command),
    // the window starts the page drag-and-drop of the selection.
    bool page_drag = false;
};

enum class ReleaseOutcome {
    None,
    Command,    // run `command` (a move or a resize) through the undo stack
    Selected,   // the band selected objects (the selection changed)
    NewObject,  // a band drawn with a creating tool: open its new-object dialog with `rect`
};

struct ReleaseResult {
    ReleaseOutcome outcome = ReleaseOutcome::None;
    CommandPtr command;
    model::Bounds rect{};  // NewObject: x, y = the corners' minimum, w, h = |dx|, |dy|
    Tool tool = Tool::Selector;
};

class SurfaceGestures {
public:
    SurfaceGestures(model::Desktop& desktop, Selection& selection, const GridSettings& grid);

    // A press on the page shown (`page`). The selection's handles are tested first; only the
    // selector tool hit-tests objects. With Ctrl or on the bare page, the left button starts a
    // rubber band (its corner snapped) and the others ask for the popup.
    PressResult press(const model::Page& page, Tool tool, const PointerInput& in);
    // `client_y` and `surface_height`: where the pointer is in the surface's client area and
    // how high that is, for the page drag.
    MoveResult move(port::Point page, int client_y, int surface_height);
    // Left button only; other releases end nothing.
    ReleaseResult release(const model::Page& page, const PointerInput& in);
    // Ends any gesture without a result (capture lost, page changed, Escape).
    void cancel();

    bool active() const;
    // The rectangle the inverting pen shows now, page-client coordinates; nullopt when none.
    std::optional<port::Rect> feedback() const;

private:
    enum class Gesture { None, Band, Drag, Resize };

    model::Desktop& desktop_;
    Selection& selection_;
    const GridSettings& grid_;
    Gesture gesture_ = Gesture::None;
    Tool current_tool_ = Tool::Selector;  // the tool of the press that began the band
    port::Point last_{};                  // the pointer at the last press or move
    // Rubber band: where it began and the corner that follows the pointer, both snapped.
    port::Point band_start_{}, band_corner_{};
    // Drag: the frame's top-left at the press, where it has been pulled to (unsnapped), and
    // the frame's size.
    port::Point origin_{}, anchor_{};
    port::Size frame_size_{};
    bool anchor_moved_ = false;
    // Resize: the handle's object, its number, and the corner it pulls against the fixed one.
    model::ObjectId resize_object_ = model::kNoId;
    int handle_ = 0;
    port::Point moving_{}, fixed_{};
};

// Keys on the surface in modify mode (virtual-key codes as Windows numbers them).
enum class DesignKey { None, BringToFront, SendToBack, Delete, ClearSelection, Nudge };
struct DesignKeyAction {
    DesignKey action = DesignKey::None;
    port::Point delta{};  // Nudge: one pixel, or one grid step with snap on
};
// Keypad plus and minus (front, back) and Delete, the arrows and Escape act only on a selection.
DesignKeyAction design_key(unsigned virtual_key, bool ctrl, bool shift, bool has_selection,
                           const GridSettings& grid);

// "&Align Icons...": the page's buttons front to back in columns from the page's margins, 10
// pixels apart, a new column when the next would pass `surface_height`. Null when nothing moves.
CommandPtr make_arrange_icons(const model::Desktop& desktop, const model::Page& page, int surface_height);

// The object clipboard's temporary file in `dir`: "$$$." and eight digits, counting from 1 to
// the first name `exists` denies.
std::string clipboard_temp_name(std::string_view dir, const std::function<bool(const std::string&)>& exists);

// The alignment window's position from the registry's "AlignWindow" ("left,top"): a missing or
// unreadable field keeps the designed one; a left beyond screen width - 30 or a top beyond
// screen height - 30 becomes 0, and so does a negative one.
port::Point align_window_position(std::string_view stored, port::Point designed, port::Size screen);
std::string align_window_text(port::Point position);

// A file dropped on the surface in modify mode, the index-th of the drop.
struct DroppedFile {
    std::string path;
    // Set for a shortcut (an extension holding ".LNK" in any case): what it resolves to.
    std::optional<ShellLink> link;
};
struct DroppedButtonSource {
    std::string command;      // a shortcut's target, a space and its arguments; else the path
    std::string folder;       // its working directory; else the file's folder (a root keeps its "\")
    std::string icon_source;  // a shortcut's icon location, else its target; else the file
    std::string caption;      // the file name without its extension
};
bool is_shortcut_path(std::string_view path);
DroppedButtonSource dropped_button_source(const DroppedFile& file);
// The button: software kind, `kxLeft`, attributes from `style` (font, font colour, colour,
// transparency, pattern, pen colour), at `cursor` + 6·index, text extent + (65, 40).
model::ButtonData dropped_button(const DroppedButtonSource& source, const model::ButtonData& style,
                                 port::Point cursor, int index, port::Size caption_extent, int icon_number);

}  // namespace vx::editor
