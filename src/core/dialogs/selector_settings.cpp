#include "dialogs/selector_settings.h"

#include <charconv>
#include <exception>

#include "dialogs/selector_rules.h"

namespace vx::dialogs {
namespace {

std::optional<long long> parse_number(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Reads through the store, turning a failure into a collected message and an absent value.
class Reader {
public:
    Reader(SettingsStore& store, std::vector<std::string>& errors) : store_(store), errors_(errors) {}

    std::optional<std::string> text(const std::string& section, const std::string& name) {
        try {
            return store_.read(section, name);
        } catch (const std::exception& e) {
            errors_.emplace_back(e.what());
            return std::nullopt;
        }
    }
    // A stored value out of [low, high] or not a number leaves the default.
    void number(const std::string& section, const std::string& name, int& out, long long low,
                long long high) {
        const auto value = text(section, name);
        if (!value) return;
        const auto n = parse_number(*value);
        if (n && *n >= low && *n <= high) out = static_cast<int>(*n);
    }
    void flag(const std::string& section, const std::string& name, bool& out) {
        int value = out ? 1 : 0;
        number(section, name, value, -0x7fffffffLL, 0x7fffffffLL);
        out = value != 0;
    }
    void font(const std::string& section, FontSettings& font, bool with_style, bool with_selected) {
        if (auto name = text(section, "FontName"); name && !name->empty()) font.name = *name;
        int size = 0;
        number(section, "FontSize", size, 1, 1000);
        if (size > 0) font.size = size;
        if (with_style) number(section, "FontStyle", font.style, 0, 15);
        colour(section, "NormalText", font.normal_text);
        if (with_selected) colour(section, "SelectedText", font.selected_text);
    }

private:
    void colour(const std::string& section, const std::string& name, std::optional<unsigned>& out) {
        const auto value = text(section, name);
        if (!value) return;
        const auto n = parse_number(*value);
        if (n && *n >= 0 && *n <= 0xFFFFFF) out = static_cast<unsigned>(*n);
    }

    SettingsStore& store_;
    std::vector<std::string>& errors_;
};

const char* window_pos_name(SelectorKind kind) {
    return kind == SelectorKind::kIcon ? "Window" : "WindowPos";
}
const char* invert_name(SelectorKind kind) {
    return kind == SelectorKind::kImage ? "InvertTreeFileList1" : "InvertFileList";
}

}  // namespace

std::optional<WindowPos> parse_window_pos(const std::string& text) {
    WindowPos pos;
    int* fields[] = {&pos.left, &pos.top, &pos.width, &pos.height};
    size_t start = 0;
    for (size_t i = 0; i < 4; ++i) {
        size_t end = text.find(',', start);
        if ((end == std::string::npos) != (i == 3)) return std::nullopt;
        if (end == std::string::npos) end = text.size();
        const auto n = parse_number(std::string_view(text).substr(start, end - start));
        if (!n || *n < -100000 || *n > 100000) return std::nullopt;
        *fields[i] = static_cast<int>(*n);
        start = end + 1;
    }
    if (pos.width <= 0 || pos.height <= 0) return std::nullopt;
    return pos;
}

std::string format_window_pos(const WindowPos& pos) {
    return std::to_string(pos.left) + "," + std::to_string(pos.top) + "," + std::to_string(pos.width) + "," +
           std::to_string(pos.height);
}

Loaded<BrowserSettings> load_browser_settings(SettingsStore& store, SelectorKind kind) {
    Loaded<BrowserSettings> out;
    BrowserSettings& s = out.value;
    Reader r(store, out.errors);
    if (kind == SelectorKind::kDirectory) {
        const std::string section = kDirBrowserSection;
        if (auto pos = r.text(section, "WindowPos")) s.window_pos = parse_window_pos(*pos);
        r.flag(section, "ShowSystemFiles", s.show_system_files);
        r.flag(section, "SelTreeView", s.sel_tree_view);
        r.font(section, s.font, false, true);
    } else {
        const std::string section = kFileBrowserSection;
        if (auto pos = r.text(section, window_pos_name(kind))) s.window_pos = parse_window_pos(*pos);
        r.number(section, "DetailWidth", s.detail_width, 0, 10000);
        r.flag(section, "SelTreeView", s.sel_tree_view);
        r.flag(section, "GenericIcon", s.generic_icon);
        r.flag(section, "ShowFileDetails", s.show_file_details);
        r.flag(section, invert_name(kind), s.invert_list);
        r.flag(section, "Preview", s.preview);
        if (auto dir = r.text(section, "SplitDir")) s.split_horizontal = *dir == "Horz";
        r.number(section, "SplitPos", s.split_pos, 0, 100000);
        r.flag(section, "ShowSystemFiles", s.show_system_files);
        r.font(section, s.font, true, true);
        for (int i = 0; i < kMaxFileMasks; ++i) {
            auto mask = r.text(section, "FileMask" + std::to_string(i));
            if (!mask) break;
            s.file_masks.push_back(std::move(*mask));
        }
    }
    r.number("", "TextCase", s.text_case, 0, 3);
    return out;
}

std::vector<std::string> save_browser_settings(SettingsStore& store, SelectorKind kind,
                                               const BrowserSettings& s) {
    std::vector<std::string> errors;
    const auto put = [&](const std::string& section, const std::string& name, const std::string& value) {
        try {
            store.write(section, name, value);
        } catch (const std::exception& e) {
            errors.emplace_back(e.what());
        }
    };
    const auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
    if (kind == SelectorKind::kDirectory) {
        const std::string section = kDirBrowserSection;
        if (s.window_pos) put(section, "WindowPos", format_window_pos(*s.window_pos));
        put(section, "ShowSystemFiles", flag(s.show_system_files));
        put(section, "SelTreeView", flag(s.sel_tree_view));
        return errors;
    }
    const std::string section = kFileBrowserSection;
    if (s.window_pos) put(section, window_pos_name(kind), format_window_pos(*s.window_pos));
    put(section, "DetailWidth", std::to_string(s.detail_width));
    put(section, "SelTreeView", flag(s.sel_tree_view));
    put(section, "GenericIcon", flag(s.generic_icon));
    put(section, "ShowFileDetails", flag(s.show_file_details));
    put(section, invert_name(kind), flag(s.invert_list));
    put(section, "Preview", flag(s.preview));
    put(section, "SplitDir", s.split_horizontal ? "Horz" : "Vert");
    put(section, "SplitPos", std::to_string(s.split_pos));
    put(section, "ShowSystemFiles", flag(s.show_system_files));
    // Only the administrator's extra entries go back: writing the default and fixed entries
    // as well would make the list grow by them on every opening.
    for (size_t i = 0; i < s.file_masks.size(); ++i)
        put(section, "FileMask" + std::to_string(i), s.file_masks[i]);
    return errors;
}

Loaded<ViewerSettings> load_viewer_settings(SettingsStore& store) {
    Loaded<ViewerSettings> out;
    Reader r(store, out.errors);
    r.font(kFileViewerSection, out.value.font, true, false);
    r.flag(kFileViewerSection, "ExpandTabs", out.value.expand_tabs);
    r.number(kFileViewerSection, "TabSize", out.value.tab_size, 1, 64);
    return out;
}

}  // namespace vx::dialogs
