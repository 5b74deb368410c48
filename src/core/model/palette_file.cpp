#include "model/palette_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <vector>

#include "util/file_io.h"

namespace vx::model {
namespace {

constexpr int kMaxEntries = 256;

// Splits on CR LF, LF or a lone CR: files travel between systems and editors.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The next blank-separated decimal number of `s`, consumed; nullopt for anything else.
std::optional<int> next_number(std::string_view& s) {
    s = trim(s);
    size_t end = 0;
    while (end < s.size() && !blank(s[end])) ++end;
    const std::string_view token = s.substr(0, end);
    int value = 0;
    const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (token.empty() || ec != std::errc() || ptr != token.data() + token.size()) return std::nullopt;
    s.remove_prefix(end);
    return value;
}

std::string quoted(std::string_view line) {
    // A damaged file may hold a whole binary blob on one "line"; the message shows its start.
    constexpr size_t kShown = 40;
    std::string out = "\"";
    for (char c : line.substr(0, kShown)) out += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    if (line.size() > kShown) out += "...";
    return out + "\"";
}

PaletteReadResult refused(int entries, size_t line_number, std::string_view line, const char* what) {
    PaletteReadResult r;
    r.status = PaletteReadResult::Status::Refused;
    r.entries = entries;
    r.message = "line " + std::to_string(line_number) + ": " + quoted(line) + " " + what;
    return r;
}

}  // namespace

PaletteReadResult read_jasc_pal(std::string_view text, Palette& palette) {
    using Status = PaletteReadResult::Status;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // written by a UTF-8 editor
    const std::vector<std::string_view> lines = split_lines(text);
    if (lines.empty()) return {};
    std::string magic(trim(lines[0]));
    std::transform(magic.begin(), magic.end(), magic.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (magic != "JASC-PAL") return {};
    // Line 2 is the version, which no reader has ever needed.
    if (lines.size() < 3) return {Status::Short, 0, {}};

    std::string_view count_text = lines[2];
    const std::optional<int> announced = next_number(count_text);
    if (!announced || *announced < 0 || !trim(count_text).empty())
        return refused(0, 3, lines[2], "is not a number of colours");
    const int count = std::min(*announced, kMaxEntries);

    palette[0] = PaletteEntry{};
    PaletteReadResult result{Status::Complete, 0, {}};
    size_t line = 3;
    for (int entry = 0; entry < count; ++entry) {
        // Blank lines between colours carry nothing; hand-edited files have them.
        while (line < lines.size() && trim(lines[line]).empty()) ++line;
        if (line >= lines.size()) {
            result.status = Status::Short;
            break;
        }
        std::string_view rest = lines[line];
        int rgb[3] = {};
        bool ok = true;
        for (int& component : rgb) {
            const std::optional<int> n = next_number(rest);
            if (!n || *n < 0 || *n > 255) {
                ok = false;
                break;
            }
            component = *n;
        }
        // Anything after the three numbers (some writers add an alpha value) is not ours to read.
        if (!ok) return refused(entry, line + 1, lines[line], "is not three numbers from 0 to 255");
        if (entry > 0)
            palette[static_cast<size_t>(entry)] = {static_cast<uint8_t>(rgb[0]), static_cast<uint8_t>(rgb[1]),
                                                   static_cast<uint8_t>(rgb[2]), 0};
        result.entries = entry + 1;
        ++line;
    }
    return result;
}

std::string write_jasc_pal(const Palette& palette) {
    std::string out = "JASC-PAL\r\n0100\r\n256\r\n";
    out.reserve(out.size() + palette.size() * 13);
    for (const PaletteEntry& e : palette) {
        out += std::to_string(e.red);
        out += ' ';
        out += std::to_string(e.green);
        out += ' ';
        out += std::to_string(e.blue);
        out += "\r\n";
    }
    return out;
}

PaletteReadResult load_palette_file(const std::string& path, Palette& palette) {
    return read_jasc_pal(read_text_file(path), palette);
}

void save_palette_file(const std::string& path, const Palette& palette) {
    write_file_atomic(path, write_jasc_pal(palette));
}

bool is_palette_file_name(std::string_view path) {
    const std::string name = file_name_of(path);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || name.size() - dot != 4) return false;
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext == "PAL";
}

const std::array<PaletteEntry, 16>& windows16_colors() {
    // clang-format off
    static constexpr std::array<PaletteEntry, 16> kColors = {{
        {0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0}, {0, 128, 128, 0}, {128, 128, 128, 0},
        {192, 192, 192, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0},
    }};
    // clang-format on
    return kColors;
}

}  // namespace vx::model
