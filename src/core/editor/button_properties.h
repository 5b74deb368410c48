#pragma once
// The button editor's fields as a value. The dialog fills its controls from the value, reads
// them back into it, asks validate, and on success hands apply's result to make_edit (or
// make_create for a new button): the dialog only moves data, every rule is here. The property
// dialogs of the other kinds follow the same shape.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/objects.h"

namespace vx::editor {

inline constexpr size_t kButtonPasswordMax = 100;
// The page list's two entries after the pages.
inline constexpr std::string_view kNextPage = "Next Page";
inline constexpr std::string_view kPreviousPage = "Previous Page";
// The line that divides a menu button's options from their actions.
inline constexpr std::string_view kMenuDivider = "/\\";
// What a button gets when X, Y, W or H is not a number.
inline constexpr model::Bounds kFallbackBounds{0, 0, 20, 20};
// What a width or height below 1 becomes: a button with no size could be neither seen nor
// picked again.
inline constexpr int32_t kSizeForNoSize = 30;

struct ButtonProperties {
    uint8_t kind = model::kKindProgram;  // "Icon / Control Type"

    // Above the notebook.
    std::string title;
    uint16_t speed_key = 0;  // 0: "None"
    bool show_speed_key = false;

    // "Software"
    std::vector<std::string> command;  // the lines of "&Command:"
    std::string directory;
    // "Page"
    bool desk = false;  // "&Desk:" chosen rather than "&Page:"
    std::string page;   // a page's name, kNextPage or kPreviousPage
    std::string desk_file;
    // "Menu": option i of the first list runs action i of the second.
    std::vector<std::string> menu_text;
    std::vector<std::string> menu_actions;
    // "Browser Services"
    std::string address;
    bool web_browser = false;

    // "Appearance": what the preview button draws.
    int32_t style = 1;
    model::Color color = model::kBlue;
    model::Color color2 = model::kWhite;
    model::Color pen_color = model::kBlack;
    uint8_t pattern = 0;
    bool dither = false;
    bool transparent = false;
    int32_t text_align = 0;
    bool show_icon = false;
    bool fill_behind_text = false;
    uint16_t icon = 0;
    uint16_t cursor = 0;
    bool show_cursor = false;
    std::string ani_icon;
    model::FontData font{};
    model::PenData pen{};
    // X, Y, W, H as typed.
    std::string x, y, w, h;

    // "Miscellaneous"
    bool run_minimized = false;
    bool run_maximized = false;
    bool run_hidden = false;
    bool single_instance = false;
    bool play_sound = false;
    std::string sound_file;

    // "Password"
    std::string password;
    bool launch_password = false;
    bool edit_password = false;
    std::string level;  // as typed; only administrators see the field
    int32_t group = 0;  // position in the administration file's group list

    // "Timed Execution"
    uint16_t launch_day = 0;
    DateTime launch_at = 0;

    bool operator==(const ButtonProperties&) const = default;
};

// Opening the editor on a button. A page link that names an existing file is a desktop file
// ("&Desk:"); `is_file` answers that.
ButtonProperties properties_of(const model::ButtonData& button,
                               const std::function<bool(const std::string&)>& is_file);

enum class ButtonField { Level };
struct FieldError {
    ButtonField field;
    std::string message;
    bool operator==(const FieldError&) const = default;
};
// The first field OK cannot take, with the message to show; nullopt when OK may go on.
std::optional<FieldError> validate(const ButtonProperties& properties);

// The button after OK: `before` with the editor's fields written over it. Fields of the kinds
// not chosen keep what they held. Only validated properties should be applied; a level that
// does not read keeps the button's own.
model::ButtonData apply(const ButtonProperties& properties, const model::ButtonData& before);

// A multi-line edit's text as its lines: line breaks are CR LF, CR or LF; a break at the very
// end opens no further line, and empty text has no lines.
std::vector<std::string> edit_lines(std::string_view text);

}  // namespace vx::editor
