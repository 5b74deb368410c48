#include "editor/button_properties.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>

#include "help/topics.h"
#include "editor/object_properties.h"
#include "model/shortcut.h"
#include "port/text_codec.h"
#include "security/access.h"
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
    p.launch_time = launch_time_text(b.launch_date);
    return p;
}

std::optional<FieldError> validate(const ButtonProperties& p) {
    if (!security::parse_security_level(p.level))
        return FieldError{ButtonField::Level, std::string(security::kLevelRangeText)};
    if (!read_launch_time(p.launch_time))
        return FieldError{ButtonField::LaunchTime,
                          "The time must be given as hours and minutes, such as 09:30 AM."};
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
    b.launch_day = p.launch_day & kLaunchDayMask;
    b.launch_date = p.launch_at;
    // A time left as shown keeps the seconds the edit cannot show.
    if (p.launch_time != launch_time_text(p.launch_at)) {
        if (const auto t = read_launch_time(p.launch_time))
            b.launch_date = make_datetime(date_of(p.launch_at), *t);
    }
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

bool may_open_editor(const model::ButtonData& b, const security::AdminData& admin, Prompter& prompter) {
    if (!b.edit_password || b.password.empty()) return true;
    return security::password_prompt(admin, prompter, "", b.password, b.security_level);
}

uint8_t editor_kind(uint8_t kind) {
    return kind >= model::kKindProgram && kind <= model::kKindBrowser ? kind : uint8_t{model::kKindProgram};
}

std::vector<std::string> button_tabs(uint8_t kind) {
    static constexpr std::array<const char*, 4> kFirst = {"Software", "Pages", "Menu", "Browser Services"};
    kind = editor_kind(kind);
    std::vector<std::string> tabs = {kFirst[kind - 1], "Appearance", "Miscellaneous", "Password"};
    if (kind == model::kKindProgram) tabs.emplace_back("Timed Execution");
    return tabs;
}

std::optional<int> kind_help_context(uint8_t kind) {
    switch (kind) {
        case model::kKindProgram:
            return help::kSoftwareButtonTopic;
        case model::kKindPageLink:
            return help::kPageButtonTopic;
        case model::kKindBrowser:
            return help::kBrowserButtonTopic;
        default:
            return std::nullopt;
    }
}

std::optional<int> tab_help_context(int tab) {
    static constexpr std::array<int, 4> kTopics = {help::kSoftwareButtonTopic, help::kButtonAppearanceTopic,
                                                   help::kButtonMiscellaneousTopic, help::kButtonPasswordTopic};
    if (tab < 0 || tab >= static_cast<int>(kTopics.size())) return std::nullopt;
    return kTopics[static_cast<size_t>(tab)];
}

std::optional<int> shown_tab_help_context(uint8_t kind, int tab) {
    return tab == 0 ? kind_help_context(kind) : tab_help_context(tab);
}

bool dither_offered(int32_t style, int64_t display_colors) {
    return style >= 15 && style <= 26 && display_colors <= 256;
}

uint16_t speed_key_at(size_t i) {
    if (i < 26) return static_cast<uint16_t>('A' + i);
    if (i < 36) return static_cast<uint16_t>('0' + (i - 26));
    if (i < 48) return static_cast<uint16_t>(0x70 + (i - 36));  // F1
    if (i < 74) return static_cast<uint16_t>(model::kShortcutCtrl | ('A' + (i - 48)));
    if (i < kSpeedKeyCount) return static_cast<uint16_t>(model::kShortcutCtrl | (0x70 + (i - 74)));
    return 0;
}

std::bitset<kSpeedKeyCount> free_speed_keys(const model::Page& page) {
    std::bitset<kSpeedKeyCount> free;
    free.set();
    for (const model::ObjectEntry& entry : page.objects) {
        const auto* b = std::get_if<model::ButtonData>(&entry.data);
        if (!b || b->speed_key == 0) continue;
        for (size_t i = 0; i < kSpeedKeyCount; ++i) {
            if (speed_key_at(i) == b->speed_key) free.reset(i);
        }
    }
    return free;
}

std::vector<uint16_t> offered_speed_keys(const std::bitset<kSpeedKeyCount>& free, uint16_t own) {
    std::vector<uint16_t> keys;
    for (size_t i = 0; i < kSpeedKeyCount; ++i) {
        const uint16_t key = speed_key_at(i);
        if (free.test(i) || (own != 0 && key == own)) keys.push_back(key);
    }
    return keys;
}

const std::array<CommandTemplate, 15> kCommandTemplates = {{
    {"&File Selector", "[F,Select a File=*.*]"},
    {"&Program Selector", "[E,Select an Executable file=C:\\]"},
    {"&Directory Selector", "[D,Select a Directory=C:\\]"},
    {"&Alert Box", "[A,Enter your~message here.]"},
    {"Confirmation (&Ok/Cancel)", "[O,Continue?]"},
    {"Confirmation (&Yes/No)", "[Y,Do you want to continue?]"},
    {"&Wait for a set amount of time", "[W,2000,Please wait...]"},
    {"Key Stuff", "[K, ]"},
    {"&Multiple Choice (Query)", "[M,Choose one:|Choice 1|Choice 2]"},
    {"&Text Input", "[T,Please enter the desired text:]"},
    {"E&xit", "<EXIT>"},
    {"Pat&h", "<PATH>"},
    {"Wi&ndows (Windows Directory)", "<WINDOWS>"},
    {"DefaultDir (&Vantora Directory)", "<DEFAULTDIR>"},
    {"&LogOff", "<LOGOFF>"},
}};

std::string template_insertion(std::string_view text, size_t column) {
    std::string s = column > 0 ? " " : "";
    s += text;
    return s;
}

std::vector<std::string> insert_line_before(std::vector<std::string> lines, size_t line, std::string text) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(std::min(line, lines.size())), std::move(text));
    return lines;
}

namespace {
std::string action(char letter, std::string_view argument) {
    std::string s = "[";
    s += letter;
    s += ',';
    s += argument;
    s += ']';
    return s;
}
}  // namespace

std::string goto_page_action(std::string_view page) {
    return action('P', page);
}
std::string run_program_action(std::string_view path) {
    return action('R', path);
}
std::string run_button_action(std::string_view title) {
    return action('B', title);
}

std::vector<std::string> page_choices(const model::Desktop& desktop) {
    std::vector<std::string> choices;
    for (const auto& page : desktop.pages()) {
        if (!page->is_startup()) choices.push_back(page->name);
    }
    choices.emplace_back(kNextPage);
    choices.emplace_back(kPreviousPage);
    return choices;
}

size_t page_choice_index(const std::vector<std::string>& choices, std::string_view target) {
    // The two fixed entries are looked for from the end, where they stand, so that a page of
    // that name does not hide them.
    for (size_t i = choices.size(); i-- > 0;) {
        if (choices[i] == target) return i;
    }
    return 0;
}

std::vector<std::string> titled_buttons(const model::Page& page) {
    std::vector<std::string> titles;
    for (auto it = page.objects.rbegin(); it != page.objects.rend(); ++it) {
        const auto* b = std::get_if<model::ButtonData>(&it->data);
        if (b && !b->caption.empty()) titles.push_back(b->caption);
    }
    return titles;
}

std::string program_directory(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string_view::npos) return {};
    std::string dir(path.substr(0, slash));
    if (dir.size() == 2 && dir[1] == ':') dir += '\\';
    return dir;
}

std::string import_icon_question(std::string_view path) {
    std::string q = "Do you want to import the Icon from ";
    q += path;
    q += '?';
    return q;
}

std::string launch_time_text(DateTime at) {
    const CivilTime t = time_of(at);
    const int hour = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d %s", hour, t.minute % 60, t.hour < 12 ? "AM" : "PM");
    return text;
}

std::optional<CivilTime> read_launch_time(std::string_view s) {
    // The edit's blanks are underscores until typed over.
    auto blank = [](char c) { return c == ' ' || c == '_'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    const size_t colon = s.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2) return std::nullopt;
    auto digits = [](std::string_view d, int& v) {
        if (d.empty()) return false;
        for (char c : d) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        }
        return std::from_chars(d.data(), d.data() + d.size(), v).ec == std::errc();
    };
    int hour = 0, minute = 0;
    if (!digits(s.substr(0, colon), hour)) return std::nullopt;
    std::string_view rest = s.substr(colon + 1);
    if (rest.size() < 2 || !digits(rest.substr(0, 2), minute) || minute > 59) return std::nullopt;
    rest.remove_prefix(2);
    while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
    std::string half;
    for (char c : rest) half += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (half.empty()) {
        if (hour > 23) return std::nullopt;
    } else if (half == "AM" || half == "A" || half == "PM" || half == "P") {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour %= 12;
        if (half[0] == 'P') hour += 12;
    } else {
        return std::nullopt;
    }
    CivilTime t;
    t.hour = hour;
    t.minute = minute;
    return t;
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
