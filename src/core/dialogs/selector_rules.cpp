#include "dialogs/selector_rules.h"

#include "dialogs/selector_settings.h"
#include "security/admin_data.h"

namespace vx::dialogs {

FilterEntry parse_filter_entry(std::string_view text) {
    const size_t bar = text.find('|');
    if (bar == std::string_view::npos) return {std::string(text), std::string(text)};
    return {std::string(text.substr(0, bar)), std::string(text.substr(bar + 1))};
}

namespace {
FilterEntry default_entry(std::string_view mask) {
    const std::string m = mask.empty() ? "*.*" : std::string(mask);
    return {"Default (" + m + ")", m};
}
}  // namespace

std::vector<FilterEntry> file_filter_list(std::string_view mask, const std::vector<std::string>& extra) {
    std::vector<FilterEntry> list{default_entry(mask)};
    for (size_t i = 0; i < extra.size() && i < static_cast<size_t>(kMaxFileMasks); ++i)
        list.push_back(parse_filter_entry(extra[i]));
    if (list.size() == 1) {
        list.push_back({"All Files", "*.*"});
        list.push_back({"Programs", "*.EXE *.COM *.BAT *.PIF *.LNK"});
        list.push_back({"Documents", "*.DOC *.TXT *.WRI"});
        list.push_back({"INI Files", "*.INI"});
    }
    return list;
}

std::vector<FilterEntry> icon_filter_list(std::string_view mask) {
    return {default_entry(mask),
            {"Icon File (ICO)", "*.ICO"},
            {"Cursor File (CUR)", "*.CUR"},
            {"BitMap File (BMP)", "*.BMP"},
            {"BitMap File (PCX)", "*.PCX"},
            {"BitMap File (JPG)", "*.JPG"},
            {"BitMap File (PNG)", "*.PNG"},
            {"BitMap File (TIF)", "*.TIF"},
            {"All Files (*.*)", "*.*"}};
}

OkAction ok_action(Focus focus, bool has_file_name, bool file_required) {
    switch (focus) {
        case Focus::kFileList:
            return OkAction::kActivateItem;
        case Focus::kFilterBox:
        case Focus::kLocationBox:
            return OkAction::kFocusFileList;
        case Focus::kFilterList:
            return OkAction::kApplyFilter;
        case Focus::kOther:
            break;
    }
    if (!has_file_name && file_required) return OkAction::kBeep;
    return OkAction::kCloseOk;
}

CancelAction cancel_action(Focus focus) {
    return focus == Focus::kFilterList ? CancelAction::kFocusFilterBox : CancelAction::kCloseCancel;
}

std::string apply_text_case(std::string_view name, int text_case) {
    switch (text_case) {
        case 0:
            return std::string(name);
        case 2: {
            std::string out(name);
            for (char& c : out)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
            return out;
        }
        case 3:
            return security::ansi_upper(name);
        default:
            break;
    }
    std::string out(name);
    bool has_lower = false;
    for (char c : out) has_lower = has_lower || (c >= 'a' && c <= 'z');
    if (has_lower) return out;  // a name someone wrote in mixed case keeps it
    bool first = true;
    for (char& c : out) {
        const bool letter = (c >= 'A' && c <= 'Z');
        if (letter && !first) c = static_cast<char>(c + 0x20);
        if (letter) first = false;
    }
    return out;
}

int add_icons_of_files(const std::vector<std::string>& files,
                       const std::function<int(const std::string&)>& count,
                       const std::function<void(const std::string&, int)>& add) {
    int added = 0;
    for (const auto& file : files) {
        const int n = count(file);
        for (int index = 0; index < n; ++index) {
            add(file, index);
            ++added;
        }
    }
    return added;
}

std::string preview_text(std::string_view bytes, bool expand_tabs, int tab_size, size_t max_bytes) {
    if (bytes.size() > max_bytes) bytes = bytes.substr(0, max_bytes);
    if (tab_size < 1) tab_size = 1;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    size_t column = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            out += "\r\n";
            column = 0;
        } else if (c == '\t' && expand_tabs) {
            const size_t next = (column / static_cast<size_t>(tab_size) + 1) * static_cast<size_t>(tab_size);
            out.append(next - column, ' ');
            column = next;
        } else {
            const auto u = static_cast<unsigned char>(c);
            out.push_back(u < 0x20 && c != '\t' ? '.' : c);
            ++column;
        }
    }
    return out;
}

namespace {
bool has_extension(std::string_view file_name, std::initializer_list<std::string_view> extensions) {
    const size_t dot = file_name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string ext = security::ansi_upper(file_name.substr(dot));
    for (auto e : extensions)
        if (ext == e) return true;
    return false;
}
}  // namespace

bool is_picture_preview(std::string_view f) {
    return has_extension(f, {".WMF", ".ICO", ".BMP", ".PCX", ".JPG", ".PNG", ".TIF", ".MOV", ".AVI", ".MID",
                             ".WAV", ".RMI", ".PCD", ".CMS", ".SCM"});
}
bool is_media_preview(std::string_view f) {
    return has_extension(f, {".MOV", ".AVI", ".MID", ".WAV", ".RMI"});
}
bool is_icon_preview(std::string_view f) {
    return has_extension(f, {".ICO", ".EXE", ".DLL", ".ANI", ".CUR"});
}

PreviewKind preview_kind(SelectorKind kind, std::string_view f) {
    switch (kind) {
        case SelectorKind::kIcon:
            return is_icon_preview(f) ? PreviewKind::kIcons : PreviewKind::kNone;
        case SelectorKind::kFile:
        case SelectorKind::kImage:
            if (is_media_preview(f)) return PreviewKind::kMedia;
            if (is_picture_preview(f)) return PreviewKind::kPicture;
            return kind == SelectorKind::kFile ? PreviewKind::kText : PreviewKind::kNone;
        case SelectorKind::kDirectory:
            break;
    }
    return PreviewKind::kNone;
}

bool looks_binary(std::string_view bytes) {
    size_t control = 0;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0) return true;
        if (u < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f') ++control;
    }
    return control * 16 > bytes.size();
}

std::string hex_preview(std::string_view bytes, size_t max_bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    if (bytes.size() > max_bytes) bytes = bytes.substr(0, max_bytes);
    std::string out;
    for (size_t row = 0; row < bytes.size(); row += 16) {
        for (int shift = 28; shift >= 0; shift -= 4) out.push_back(kDigits[(row >> shift) & 0xF]);
        out += "  ";
        const size_t n = std::min<size_t>(16, bytes.size() - row);
        for (size_t i = 0; i < 16; ++i) {
            if (i < n) {
                const auto u = static_cast<unsigned char>(bytes[row + i]);
                out.push_back(kDigits[u >> 4]);
                out.push_back(kDigits[u & 0xF]);
                out.push_back(' ');
            } else {
                out += "   ";
            }
        }
        out.push_back(' ');
        for (size_t i = 0; i < n; ++i) {
            const auto u = static_cast<unsigned char>(bytes[row + i]);
            out.push_back(u >= 0x20 && u < 0x7F ? static_cast<char>(u) : '.');
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace vx::dialogs
