#pragma once
// The button editor's fields as a value. The dialog fills its controls from the value, reads
// them back into it, asks validate, and on success hands apply's result to make_edit (or
// make_create for a new button): the dialog only moves data, every rule is here. The property
// dialogs of the other kinds follow the same shape.
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/desktop.h"
#include "model/objects.h"
#include "security/admin_data.h"

namespace vx {
class Prompter;
}

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
    DateTime launch_at = 0;   // the date picker's day; the time of day is launch_time's
    std::string launch_time = "12:00 AM";  // "At this time:" as typed

    bool operator==(const ButtonProperties&) const = default;
};

// Opening the editor on a button. A page link that names an existing file is a desktop file
// ("&Desk:"); `is_file` answers that.
ButtonProperties properties_of(const model::ButtonData& button,
                               const std::function<bool(const std::string&)>& is_file);

enum class ButtonField { Level, LaunchTime };
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

// Whether the editor may open on `button`: one guarded for editing by a password opens only
// after the password prompt grants it.
bool may_open_editor(const model::ButtonData& button, const security::AdminData& admin, Prompter& prompter);

// The notebook's tabs for a kind: the first named after it, "Timed Execution" only for programs.
// A kind the editor never set counts as a program, which is what the button tool makes.
uint8_t editor_kind(uint8_t kind);
std::vector<std::string> button_tabs(uint8_t kind);
inline constexpr int kTimedExecutionTab = 4;
// The help topic a kind or a tab brings; nullopt leaves the one shown before.
std::optional<int> kind_help_context(uint8_t kind);
std::optional<int> tab_help_context(int tab);
// The topic a tab chosen in the dialog brings: the first tab is the kind's own page, so it
// brings the kind's topic (a page link's first tab is about page links, not programs).
std::optional<int> shown_tab_help_context(uint8_t kind, int tab);
// The window-state and single-copy boxes mean nothing to a page link.
inline bool window_options_apply(uint8_t kind) {
    return kind != model::kKindPageLink;
}
// Dithering is offered for the gradient styles, and only where a display lacks the colours to
// show a gradient smoothly.
bool dither_offered(int32_t style, int64_t display_colors);

// Speed keys: letters, digits, F1 to F12, then the same letters and function keys with Ctrl.
inline constexpr size_t kSpeedKeyCount = model::kSpeedKeyCount;
uint16_t speed_key_at(size_t index);
// The table's entries no button of `page` holds. Worked out from the buttons themselves, so it
// is right after a load (which keeps no flags) and after Undo alike; the owner may store it in
// the page's flags after each step.
std::bitset<kSpeedKeyCount> free_speed_keys(const model::Page& page);
// What "Speed &Key:" lists after "None": the free keys and the button's own, in table order.
std::vector<uint16_t> offered_speed_keys(const std::bitset<kSpeedKeyCount>& free, uint16_t own);

// "Action Scripts": the command builder's items and what each puts in at the caret.
struct CommandTemplate {
    std::string_view item;
    std::string_view text;
};
extern const std::array<CommandTemplate, 15> kCommandTemplates;
// The text put in at a caret `column` characters into its line: after a space unless the caret
// stands at the line's start, so a template never runs into the word before it.
std::string template_insertion(std::string_view text, size_t column);

// The menu builder. Lines are put in as new lines before the caret's line (at the end when the
// caret's line is past the last).
inline constexpr std::string_view kSeparatorLine = "-";
inline constexpr std::string_view kBlankLine = " ";
inline constexpr std::string_view kExitAction = "[X,<EXIT>]";
std::vector<std::string> insert_line_before(std::vector<std::string> lines, size_t line, std::string text);
std::string goto_page_action(std::string_view page);
std::string run_program_action(std::string_view path);
std::string run_button_action(std::string_view title);
// The page list of the "Page" kind and of the action menu: every page but the start-up page,
// then kNextPage and kPreviousPage.
std::vector<std::string> page_choices(const model::Desktop& desktop);
// Where a page link's target stands in those choices; the first entry when it names no page.
size_t page_choice_index(const std::vector<std::string>& choices, std::string_view target);
// The titles of the page's buttons that have one, oldest first: the "Run Existing Button" items.
std::vector<std::string> titled_buttons(const model::Page& page);

// "Find Programs": the working directory of a chosen program, without a trailing backslash
// unless it is a drive's root, and the question asked when the file holds an icon.
inline constexpr std::string_view kImportIconTitle = "Import Icon";
std::string program_directory(std::string_view path);
std::string import_icon_question(std::string_view path);

// "Timed Execution": the day buttons from "Sun" to "Last", bit 11 down to bit 0 of the word.
inline constexpr std::array<std::string_view, 12> kLaunchDayButtons = {
    "Sun", "Mon", "Tues", "Wed", "Thur", "Fri", "Sat", "1st", "2nd", "3rd", "4th", "Last"};
inline constexpr uint16_t launch_day_bit(size_t button) {
    return uint16_t(1u << (11 - button));
}
inline constexpr uint16_t kLaunchOnDate = 0x2000;  // "on this Date:"
// Bits 14 and 15 have no meaning and are never stored.
inline constexpr uint16_t kLaunchDayMask = 0x3FFF;
// "At this time:" as the edit shows it ("09:30 AM"), and the time of day it reads back.
std::string launch_time_text(DateTime at);
std::optional<CivilTime> read_launch_time(std::string_view text);

// A multi-line edit's text as its lines: line breaks are CR LF, CR or LF; a break at the very
// end opens no further line, and empty text has no lines.
std::vector<std::string> edit_lines(std::string_view text);

}  // namespace vx::editor
