#include "shell/settings.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <optional>

#include "util/file_io.h"

namespace vx::shell {
namespace {

std::optional<int> parse_int(const std::string& text) {
    size_t b = text.find_first_not_of(" \t");
    size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos) return std::nullopt;
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    if (*first == '+') ++first;
    int value = 0;
    auto [p, ec] = std::from_chars(first, last, value);
    if (ec != std::errc{} || p != last) return std::nullopt;
    return value;
}

// One pass over the table serves reading and writing, so the two can never disagree on names.
// `read_name` is the spelling read, `write_name` the one written (they differ only in case).
template <typename Visitor>
void visit_table(ShellSettings& s, Visitor&& v) {
    v.text("DeskTopFile", "DeskTopFile", s.desktop_file, true);
    v.text("ImageDir", "ImageDir", s.image_dir, true);
    v.text("PalDir", "PalDir", s.pal_dir, true);
    v.text("IconDir", "IconDir", s.icon_dir, true);
    v.text("FileDir", "FileDir", s.file_dir, true);
    v.text("AdminDir", "AdminDir", s.admin_dir, false);
    v.text("LogFile", "LogFile", s.log_file, true);
    v.text("Title", "Title", s.title, false);
    v.flag("BackUpMenu", "BackUpMenu", s.backup);
    v.flag("ExitPrompt", "ExitPrompt", s.exit_prompt);
    v.flag("Showgrid", "ShowGrid", s.show_grid);
    v.flag("Snaptogrid", "SnapToGrid", s.snap_to_grid);
    v.flag("ShowMouse", "ShowMouse", s.show_mouse);
    v.flag("AllowPopup", "AllowPopup", s.allow_popup);
    v.flag("RunMinimized", "RunMinimized", s.run_minimized);
    v.flag("Confirm", "Confirm", s.confirm);
    v.flag("AlignShow", "AlignShow", s.align_show);
    v.text("LastProgram", "LastProgram", s.last_program, true);
    v.integer("Style", "Style", s.style);
    v.integer("Xvalue", "XValue", s.x_value);
    v.integer("Yvalue", "YValue", s.y_value);
    v.text("TempDir", "TempDir", s.temp_dir, true);
}

struct Reader {
    SettingsStore& store;
    void text(const char* name, const char*, std::string& value, bool) {
        if (auto t = store.read("", name)) value = *t;
    }
    void flag(const char* name, const char*, bool& value) {
        if (auto t = store.read("", name))
            if (auto n = parse_int(*t)) value = *n != 0;
    }
    void integer(const char* name, const char*, int& value) {
        if (auto t = store.read("", name))
            if (auto n = parse_int(*t)) value = *n;
    }
};

struct Writer {
    SettingsStore& store;
    void text(const char*, const char* name, std::string& value, bool writable) {
        if (writable) store.write("", name, value);
    }
    void flag(const char*, const char* name, bool& value) { store.write("", name, value ? "1" : "0"); }
    void integer(const char*, const char* name, int& value) { store.write("", name, std::to_string(value)); }
};

}  // namespace

ShellSettings default_settings(std::string_view program_dir) {
    ShellSettings s;
    const std::string dir(program_dir);
    s.desktop_file = join_path(dir, "VX.DTP");
    s.image_dir = s.pal_dir = s.icon_dir = s.file_dir = s.admin_dir = dir;
    s.log_file = join_path(dir, "VX.LOG");
    return s;
}

SettingsOutcome read_settings(SettingsStore& store, std::string_view program_dir) {
    SettingsOutcome out{default_settings(program_dir), {}};
    try {
        visit_table(out.settings, Reader{store});
    } catch (const std::exception& e) {
        out.error = e.what();
        if (out.error.empty()) out.error = "The settings could not be read from the registry.";
    }
    return out;
}

std::string write_settings(SettingsStore& store, const ShellSettings& settings) {
    ShellSettings copy = settings;
    try {
        visit_table(copy, Writer{store});
    } catch (const std::exception& e) {
        std::string message = e.what();
        return message.empty() ? "The settings could not be written to the registry." : message;
    }
    return {};
}

std::string effective_temp_dir(const ShellSettings& settings,
                               const std::function<bool(const std::string&)>& is_dir,
                               const std::string& current_dir) {
    if (!settings.temp_dir.empty() && is_dir(settings.temp_dir)) return settings.temp_dir;
    return current_dir;
}

model::WindowBounds reset_offscreen(model::WindowBounds bounds, int screen_width, int screen_height) {
    if (bounds.left > screen_width - 30) bounds.left = 0;
    if (bounds.top > screen_height - 30) bounds.top = 0;
    return bounds;
}

namespace {

std::string folder_key(std::string_view dir) {
    std::string out;
    out.reserve(dir.size());
    for (char c : dir) {
        if (c == '/') c = '\\';
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    // "C:\" keeps its separator: without it the name would mean the drive's current folder.
    while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':')) out.pop_back();
    return out;
}

}  // namespace

bool same_directory(std::string_view a, std::string_view b) {
    return folder_key(a) == folder_key(b);
}

SetupValues setup_values(const ShellSettings& settings, const model::WindowOptions& options,
                         std::string_view windows_temp) {
    SetupValues v;
    v.options = options;
    v.exit_prompt = settings.exit_prompt;
    v.backup = settings.backup;
    v.allow_popup = settings.allow_popup;
    v.temp_dir = settings.temp_dir;
    v.use_windows_temp = !windows_temp.empty() && same_directory(settings.temp_dir, windows_temp);
    return v;
}

SetupResult apply_setup(const SetupValues& values, const ShellSettings& settings,
                        const model::WindowOptions& options, std::string_view windows_temp,
                        const std::string& border_width_text) {
    SetupResult r{settings, options, 0};
    model::WindowOptions& o = r.options;
    o.status_bar = values.options.status_bar;
    o.menu_bar = values.options.menu_bar;
    o.page_tabs = values.options.page_tabs;
    o.sizeable = values.options.sizeable;
    o.ani_icon = values.options.ani_icon;
    o.scrolling = values.options.scrolling;
    // The two kept integers are the desktop file's, not the dialog's.
    r.settings.exit_prompt = values.exit_prompt;
    r.settings.backup = values.backup;
    r.settings.allow_popup = values.allow_popup;
    r.settings.temp_dir =
        values.use_windows_temp && !windows_temp.empty() ? std::string(windows_temp) : values.temp_dir;
    if (o.sizeable != options.sizeable) {
        // The border width doubled; text that is not a number counts as 1, and a nonsensical
        // value must not throw the window off the screen.
        const int b = 2 * std::clamp(parse_int(border_width_text).value_or(1), 0, 50);
        r.size_change = o.sizeable ? b : -b;
    }
    return r;
}

}  // namespace vx::shell
