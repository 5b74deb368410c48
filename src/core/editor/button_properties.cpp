#include "editor/button_properties.h"

#include <limits>

#include "editor/object_properties.h"
#include "port/text_codec.h"
#include "security/level.h"

namespace vx::editor {
namespace {

// The stored command as the lines the editor shows: split at each CR, as many as the stored
// count says.
std::vector<std::string> stored_lines(const std::string& text, int32_t count) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (static_cast<int64_t>(lines.size()) < count) {
        if (pos < text.size() && text[pos] == '\n') ++pos;  // a label editor's CR LF
        const size_t cr = text.find('\r', pos);
        if (cr == std::string::npos) {
            lines.push_back(pos < text.size() ? text.substr(pos) : std::string());
            pos = text.size();
        } else {
            lines.push_back(text.substr(pos, cr - pos));
            pos = cr + 1;
        }
    }
    return lines;
}

void append_lines(std::string& text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        text += line;
        text += '\r';
    }
}

int32_t line_count(size_t n) {
    return static_cast<int32_t>(std::min<size_t>(n, std::numeric_limits<int32_t>::max()));
}

std::string utf8_cut(const std::string& s, size_t chars) {
    size_t pos = 0;
    for (size_t n = 0; n < chars && pos < s.size(); ++n) next_utf8(s, pos);
    return s.substr(0, pos);
}

}  // namespace

ButtonProperties properties_of(const model::ButtonData& b,
                               const std::function<bool(const std::string&)>& is_file) {
    ButtonProperties p;
    p.kind = b.kind;
    p.title = b.caption;
    p.speed_key = b.speed_key;
    p.show_speed_key = b.speed_key_shown;

    const std::vector<std::string> lines = stored_lines(b.command, b.command_lines);
    if (b.kind == model::kKindMenu) {
        bool after_divider = false;
        for (const std::string& line : lines) {
            if (!after_divider && line.starts_with(kMenuDivider)) {
                after_divider = true;
            } else {
                (after_divider ? p.menu_actions : p.menu_text).push_back(line);
            }
        }
    } else {
        p.command = lines;
    }
    p.directory = b.directory;
    p.desk = !b.page_link.empty() && is_file && is_file(b.page_link);
    (p.desk ? p.desk_file : p.page) = b.page_link;
    p.address = b.browser_address;
    p.web_browser = b.browser;

    p.style = b.btn_style;
    p.color = b.color;
    p.color2 = b.color2;
    p.pen_color = b.pen_color;
    p.pattern = b.pattern;
    p.dither = b.dither;
    p.transparent = b.transparent;
    p.text_align = b.text_align;
    p.show_icon = b.show_icon;
    p.fill_behind_text = b.fill_behind_text;
    p.icon = b.icon;
    p.cursor = b.cursor;
    p.show_cursor = b.show_cursor;
    p.ani_icon = b.ani_icon;
    p.font = b.font;
    p.pen = b.pen;
    p.x = std::to_string(b.bounds.left);
    p.y = std::to_string(b.bounds.top);
    p.w = std::to_string(b.bounds.width);
    p.h = std::to_string(b.bounds.height);

    p.run_minimized = b.run_minimized;
    p.run_maximized = b.run_maximized;
    p.run_hidden = b.run_hidden;
    p.single_instance = b.single_instance;
    p.play_sound = b.sound_on;
    p.sound_file = b.sound;

    p.password = b.password;
    p.launch_password = b.launch_password;
    p.edit_password = b.edit_password;
    p.level = std::to_string(b.security_level);
    p.group = b.group;

    p.launch_day = b.launch_day;
    p.launch_at = b.launch_date;
    return p;
}

std::optional<FieldError> validate(const ButtonProperties& p) {
    if (!security::parse_security_level(p.level))
        return FieldError{ButtonField::Level, std::string(security::kLevelRangeText)};
    return std::nullopt;
}

model::ButtonData apply(const ButtonProperties& p, const model::ButtonData& before) {
    model::ButtonData b = before;

    b.bounds = bounds_from({p.x, p.y, p.w, p.h});

    b.caption = p.title;
    b.btn_style = p.style;
    b.color = p.color;
    b.color2 = p.color2;
    b.pen_color = p.pen_color;
    b.pattern = p.pattern;
    b.dither = p.dither;
    b.transparent = p.transparent;
    b.text_align = p.text_align;
    b.icon = p.icon;
    b.cursor = p.cursor;
    b.ani_icon = p.ani_icon;
    b.font = p.font;
    b.pen = p.pen;

    b.security_level = security::parse_security_level(p.level).value_or(before.security_level);
    b.group = p.group;
    b.edit_password = p.edit_password;
    b.launch_password = p.launch_password;
    b.password = utf8_cut(p.password, kButtonPasswordMax);
    b.show_icon = p.show_icon;
    b.show_cursor = p.show_cursor;
    b.fill_behind_text = p.fill_behind_text;
    b.run_minimized = p.run_minimized;
    b.run_maximized = p.run_maximized;
    b.run_hidden = p.run_hidden;
    b.single_instance = p.single_instance;
    b.sound = p.sound_file;
    b.sound_on = p.play_sound;
    b.browser = p.web_browser;

    // The schedule follows the scheduling bit of this word when the desktop takes the edit.
    b.launch_day = p.launch_day;
    b.launch_date = p.launch_at;
    b.speed_key = p.speed_key;
    b.speed_key_shown = p.show_speed_key;

    switch (p.kind) {
        case model::kKindProgram:
            b.command.clear();
            append_lines(b.command, p.command);
            b.command_lines = line_count(p.command.size());
            b.directory = p.directory;
            break;
        case model::kKindPageLink:
            b.page_link = p.desk ? p.desk_file : p.page;
            break;
        case model::kKindMenu:
            b.command.clear();
            append_lines(b.command, p.menu_text);
            b.command += kMenuDivider;
            b.command += '\r';
            append_lines(b.command, p.menu_actions);
            b.command_lines = line_count(p.menu_text.size() + p.menu_actions.size() + 1);
            break;
        case model::kKindBrowser:
            b.browser_address = utf8_cut(p.address, model::kMaxBrowserAddress);
            break;
        default:
            // No kind chosen: the button keeps its own.
            return b;
    }
    b.kind = p.kind;
    return b;
}

std::vector<std::string> edit_lines(std::string_view text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t brk = text.find_first_of("\r\n", pos);
        if (brk == std::string_view::npos) {
            lines.emplace_back(text.substr(pos));
            break;
        }
        lines.emplace_back(text.substr(pos, brk - pos));
        pos = brk + 1;
        if (text[brk] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }
    return lines;
}

}  // namespace vx::editor
