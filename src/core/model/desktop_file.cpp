#include "model/desktop_file.h"

#include <charconv>
#include <filesystem>
#include <limits>
#include <optional>

#include "model/shortcut.h"
#include "security/file_cipher.h"

namespace vx::model {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr char kCtrlZ = 0x1A;

// A failure inside the reader; load_* turn it into the user's loading error.
struct FormatError {
    std::string detail;
};

[[noreturn]] void fail(std::string detail) {
    throw FormatError{std::move(detail)};
}

// Lines end at CR LF or at a CR alone; a bare LF belongs to the line. Ctrl+Z ends the text.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text.substr(0, text.find(kCtrlZ))) {}

    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const size_t cr = text_.find('\r', pos_);
        if (cr == std::string_view::npos) {
            line = text_.substr(pos_);
            pos_ = text_.size();
        } else {
            line = text_.substr(pos_, cr - pos_);
            pos_ = cr + 1;
            if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        }
        ++line_no_;
        return true;
    }
    size_t line_no() const { return line_no_; }

private:
    std::string_view text_;
    size_t pos_ = 0;
    size_t line_no_ = 0;
};

// A decimal integer as the platform's integer conversion takes it: an optional sign and
// digits, within the 32-bit range (unsigned values up to 2^32 - 1 are kept by their bits).
std::optional<int64_t> to_int(std::string_view s) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty() || s.front() == '+') return std::nullopt;
    int64_t v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    return v;
}

std::string quote(std::string_view s) {
    std::string q = "'";
    q += s.substr(0, 40);
    if (s.size() > 40) q += "...";
    return q + "'";
}

int64_t number(std::string_view s) {
    const auto v = to_int(s);
    if (!v) fail(quote(s) + " is not a valid integer value");
    return *v;
}

// Exactly `count` leading fields separated by single blanks; any further fields are ignored.
std::vector<int64_t> fields(std::string_view value, size_t count, std::string_view key) {
    std::vector<int64_t> out;
    out.reserve(count);
    size_t pos = 0;
    while (out.size() < count) {
        if (pos > value.size())
            fail(std::string(key) + " has fewer than " + std::to_string(count) + " fields");
        size_t blank = value.find(' ', pos);
        if (blank == std::string_view::npos) blank = value.size();
        out.push_back(number(value.substr(pos, blank - pos)));
        pos = blank + 1;
    }
    return out;
}

int32_t i32(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}
bool flag(int64_t v) {
    return v != 0;
}

std::string utf8_prefix(std::string_view s, size_t chars) {
    size_t pos = 0;
    for (size_t n = 0; n < chars && pos < s.size(); ++n) next_utf8(s, pos);
    return std::string(s.substr(0, pos));
}

class Reader {
public:
    Reader(Desktop& desktop, const ReadContext& ctx) : d_(desktop), ctx_(ctx) {}

    void run(LineReader& lines) {
        current_page_ = d_.current();
        std::string_view line;
        while (lines.next(line)) {
            try {
                handle(line, lines);
            } catch (FormatError& e) {
                e.detail = "line " + std::to_string(lines.line_no()) + ": " + e.detail;
                throw;
            }
        }
    }

    void handle(std::string_view line, LineReader& lines) {
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) return;
        const std::string_view key = line.substr(0, eq + 1);
        const std::string_view value = line.substr(eq + 1);

        if (key == "PageVisible=") {
            visibility_ = number(value);
        } else if (key == "PageTitle=") {
            new_page(text(value));
        } else if (key == "Master=") {
            // A second "Master=" goes on with the same master page: replacing it would free
            // objects the reader may still be filling in.
            current_page_ = d_.master() ? d_.master() : &d_.create_master_page();
            d_.set_current(current_page_);
        } else if (key == "MenuDim=") {
            const auto f = fields(value, 4, key);
            d_.bounds = {i32(f[0]), i32(f[1]), i32(f[2]), i32(f[3])};
        } else if (key == "MenuAttrib=") {
            const auto f = fields(value, 8, key);
            auto& o = d_.options;
            o.status_bar = flag(f[0]);
            o.menu_bar = flag(f[1]);
            o.ani_icon = flag(f[2]);
            o.kept1 = i32(f[3]);
            o.kept2 = i32(f[4]);
            o.page_tabs = flag(f[5]);
            o.sizeable = flag(f[6]);
            o.scrolling = flag(f[7]);
        } else if (page_key(key, value)) {
        } else if (key == "ObjectType=") {
            new_object(value);
        } else {
            object_key(key, value, lines);
        }
    }

private:
    std::string text(std::string_view ansi) const { return ctx_.codec->to_utf8(ansi); }

    void new_page(std::string name) {
        const bool ordinary = visibility_ == 1 || (ctx_.is_administrator && ctx_.is_administrator());
        Page& page = ordinary ? d_.add_page(std::move(name)) : d_.add_hidden_page(std::move(name));
        // Only 1 shows a page to users, so any other value counts as hidden throughout.
        page.visible = visibility_ == 1;
        current_page_ = &page;
        if (ctx_.on_page_created) ctx_.on_page_created(static_cast<int>(d_.tab_pages(false).size()));
    }

    Page& page_for(std::string_view key) {
        if (!current_page_) fail(std::string(key) + " comes before any page");
        return *current_page_;
    }

    bool page_key(std::string_view key, std::string_view value) {
        if (key == "PageDim=") {
            const auto f = fields(value, 2, key);
            Page& p = page_for(key);
            p.left_margin = i32(f[0]);
            p.top_margin = i32(f[1]);
        } else if (key == "PagePal=") {
            const auto f = fields(value, 768, key);
            Page& p = page_for(key);
            for (size_t i = 0; i < 256; ++i) {
                p.palette[i] = {uint8_t(f[3 * i]), uint8_t(f[3 * i + 1]), uint8_t(f[3 * i + 2]), 0};
            }
            d_.logical_palette = p.palette;
            if (ctx_.on_page_palette) ctx_.on_page_palette(p.palette);
        } else if (key == "PageAttrib=") {
            const auto f = fields(value, 6, key);
            Page& p = page_for(key);
            p.tile_image = flag(f[0]);
            p.wallpaper = flag(f[1]);
            p.show_master_items = flag(f[2]);
            p.interval = i32(f[3]);
            p.background_color = i32(f[4]);
            p.center_image = flag(f[5]);
        } else if (key == "BackGround=") {
            page_for(key).background = text(value);
        } else if (key == "Password=") {
            page_for(key).password = text(value);
        } else if (key == "PageAniIcon=") {
            const int64_t v = number(value);
            page_for(key).tab_icon = i32(v);
        } else if (key == "PageSecurity=") {
            const auto f = fields(value, 2, key);
            Page& p = page_for(key);
            p.security_level = i32(f[0]);
            p.group = static_cast<uint32_t>(f[1]);
        } else {
            return false;
        }
        return true;
    }

    void new_object(std::string_view value) {
        const auto kind = to_int(value);
        // Other values are skipped: the keys that follow act on the previous object.
        if (!kind || *kind < 1 || *kind > 5) return;
        Page& page = page_for("ObjectType=");
        ObjectData data;
        switch (*kind) {
            case 1: {
                ButtonData b;
                b.launch_date = ctx_.now;
                data = std::move(b);
                break;
            }
            case 2:
                data = ShapeData{};
                break;
            case 3:
                data = LineData{};
                break;
            case 4:
                data = LabelData{};
                break;
            default:
                data = ImageData{};
                break;
        }
        ObjectEntry& entry = d_.add_object(page, std::move(data));
        current_object_ = &entry;
        if (ctx_.on_object_created) ctx_.on_object_created(page, entry);
    }

    template <typename T>
    T& object_as(std::string_view key) {
        if (!current_object_) fail(std::string(key) + " comes before any object");
        T* o = std::get_if<T>(&current_object_->data);
        // A key of another kind would set fields the object does not have.
        if (!o) fail(std::string(key) + " does not belong to the current object's kind");
        return *o;
    }

    // n more lines, each ended by a single CR.
    std::string multi_line(std::string_view count_text, int32_t& count, LineReader& lines) {
        count = i32(number(count_text));
        std::string joined;
        std::string_view line;
        for (int32_t i = 0; i < count; ++i) {
            if (!lines.next(line)) fail("the text ends inside a multi-line value");
            joined.append(line);
            joined.push_back('\r');
        }
        return text(joined);
    }

    void object_key(std::string_view key, std::string_view value, LineReader& lines) {
        if (key == "ObjectDim=") {
            const auto f = fields(value, 4, key);
            if (!current_object_) fail("ObjectDim= comes before any object");
            bounds_of(current_object_->data) = {i32(f[0]), i32(f[1]), i32(f[2]), i32(f[3])};
        } else if (key == "Title=") {
            object_as<ButtonData>(key).caption = text(value);
        } else if (key == "BtnAttrib=") {
            const auto f = fields(value, 28, key);
            ButtonData& b = object_as<ButtonData>(key);
            b.color = i32(f[0]);
            b.color2 = i32(f[1]);
            b.pen_color = i32(f[2]);
            b.pattern = uint8_t(f[3]);
            b.dither = flag(f[4]);
            b.btn_style = i32(f[5]);
            b.transparent = flag(f[6]);
            b.run_minimized = flag(f[7]);
            b.run_maximized = flag(f[8]);
            b.show_icon = flag(f[9]);
            b.launch_password = flag(f[10]);
            b.edit_password = flag(f[11]);
            b.speed_key_shown = flag(f[12]);
            b.sound_on = flag(f[13]);
            b.single_instance = flag(f[14]);
            b.show_cursor = flag(f[15]);
            b.fill_behind_text = flag(f[16]);
            b.kind = uint8_t(f[17]);
            b.tag = i32(f[18]);
            b.icon = uint16_t(f[19]);
            b.cursor = uint16_t(f[20]);
            b.text_align = i32(f[21]);
            b.font.size = i32(f[22]);
            b.font.color = i32(f[23]);
            b.pen.width = i32(f[24]);
            b.pen.style = i32(f[25]);
            b.run_hidden = flag(f[26]);
            b.font.style = i32(f[27]);
            if (ctx_.on_button_attrib) ctx_.on_button_attrib(b);
        } else if (key == "WebAttrib=") {
            const auto f = fields(value, 2, key);
            object_as<ButtonData>(key).browser = flag(f[0]);
        } else if (key == "BtnSecurity=") {
            const auto f = fields(value, 2, key);
            ButtonData& b = object_as<ButtonData>(key);
            b.security_level = i32(f[0]);
            b.group = i32(f[1]);
        } else if (key == "Command=") {
            ButtonData& b = object_as<ButtonData>(key);
            b.command = multi_line(value, b.command_lines, lines);
        } else if (key == "Directory=") {
            object_as<ButtonData>(key).directory = text(value);
        } else if (key == "BtnPass=") {
            object_as<ButtonData>(key).password = text(value);
        } else if (key == "PhoneNum=") {
            object_as<ButtonData>(key).browser_address = utf8_prefix(text(value), kMaxBrowserAddress);
        } else if (key == "Sound=") {
            object_as<ButtonData>(key).sound = text(value);
        } else if (key == "BtnAniIcon=") {
            object_as<ButtonData>(key).ani_icon = text(value);
        } else if (key == "BtnFont=") {
            object_as<ButtonData>(key).font.name = text(value);
        } else if (key == "PageTab=") {
            object_as<ButtonData>(key).page_link = text(value);
        } else if (key == "SpeedKey=") {
            // A key the program has no name for gives no speed key, as an empty value does.
            object_as<ButtonData>(key).speed_key = text_to_shortcut(text(value)).value_or(0);
        } else if (key == "LaunchDate=") {
            ButtonData& b = object_as<ButtonData>(key);
            if (!ctx_.locale->parse_datetime(text(value), b.launch_date))
                fail(quote(value) + " is not a valid date and time");
        } else if (key == "LaunchDay=") {
            ButtonData& b = object_as<ButtonData>(key);
            b.launch_day = uint16_t(number(value));
            if (b.launch_day & kLaunchScheduled) d_.schedule(current_object_->id);
        } else if (key == "ShapeAttrib=") {
            const auto f = fields(value, 10, key);
            ShapeData& s = object_as<ShapeData>(key);
            s.color = i32(f[0]);
            s.color2 = i32(f[1]);
            s.pen_color = i32(f[2]);
            s.pattern = uint8_t(f[3]);
            s.dither = flag(f[4]);
            s.shape = i32(f[5]);
            s.transparent = flag(f[6]);
            s.pen.width = i32(f[7]);
            s.tag = i32(f[8]);
            s.pen.style = i32(f[9]);
        } else if (key == "LineAttrib=") {
            const auto f = fields(value, 7, key);
            LineData& l = object_as<LineData>(key);
            l.pen_color = i32(f[0]);
            l.pen.style = i32(f[1]);
            l.pen.width = i32(f[2]);
            l.tag = i32(f[3]);
            l.brush_style = i32(f[4]);
            l.brush_color = i32(f[5]);
            l.align = i32(f[6]);
        } else if (key == "TextAttrib=") {
            const auto f = fields(value, 14, key);
            LabelData& t = object_as<LabelData>(key);
            t.color = i32(f[0]);
            t.color2 = i32(f[1]);
            t.pen_color = i32(f[2]);
            t.pattern = uint8_t(f[3]);
            t.dither = flag(f[4]);
            t.shape = i32(f[5]);
            t.transparent = flag(f[6]);
            t.alignment = i32(f[7]);
            t.font.size = i32(f[8]);
            t.font.color = i32(f[9]);
            t.tag = i32(f[10]);
            t.pen.width = i32(f[11]);
            t.pen.style = i32(f[12]);
            t.font.style = i32(f[13]);
        } else if (key == "Text=") {
            LabelData& t = object_as<LabelData>(key);
            t.text = multi_line(value, t.text_lines, lines);
        } else if (key == "TextFont=") {
            object_as<LabelData>(key).font.name = text(value);
        } else if (key == "ImageAttrib=") {
            const auto f = fields(value, 13, key);
            ImageData& m = object_as<ImageData>(key);
            m.color = i32(f[0]);
            m.color2 = i32(f[1]);
            m.pen_color = i32(f[2]);
            m.pattern = uint8_t(f[3]);
            m.dither = flag(f[4]);
            m.shape = i32(f[5]);
            m.transparent = flag(f[6]);
            m.center = flag(f[7]);
            m.tile = flag(f[8]);
            m.stretch = flag(f[9]);
            m.tag = i32(f[10]);
            m.pen.width = i32(f[11]);
            m.pen.style = i32(f[12]);
        } else if (key == "ImageName=") {
            ImageData& m = object_as<ImageData>(key);
            const std::string name = text(value);
            const auto found = ctx_.images ? ctx_.images->resolve(name) : std::nullopt;
            m.image_name = found ? name : std::string();
            m.picture_path = found.value_or(std::string());
        }
        // Unknown keys are skipped.
    }

    Desktop& d_;
    const ReadContext& ctx_;
    int64_t visibility_ = 1;
    Page* current_page_ = nullptr;
    ObjectEntry* current_object_ = nullptr;
};

// ---- writing ----

class Writer {
public:
    explicit Writer(const WriteContext& ctx) : ctx_(ctx) {}

    void line(std::string_view ansi) {
        out_.append(ansi);
        out_.append(kCrLf);
    }
    void key(std::string_view k, std::string_view utf8) {
        out_.append(k);
        out_.append(ctx_.codec->from_utf8(utf8));
        out_.append(kCrLf);
    }
    void num(std::string_view k, int64_t v) { line(std::string(k) + std::to_string(v)); }
    void nums(std::string_view k, std::initializer_list<int64_t> vs) {
        std::string s(k);
        bool first = true;
        for (int64_t v : vs) {
            if (!first) s += ' ';
            s += std::to_string(v);
            first = false;
        }
        line(s);
    }

    void object(const ObjectData& d) {
        num("ObjectType=", static_cast<int>(kind_of(d)));
        const Bounds& r = bounds_of(d);
        nums("ObjectDim=", {r.left, r.top, r.width, r.height});
        std::visit([this](const auto& o) { write(o); }, d);
    }

    void page(const Page& p) {
        num("PageVisible=", p.visible ? 1 : 0);
        key("PageTitle=", p.name);
        std::string pal = "PagePal=";
        for (const auto& e : p.palette) {
            pal += std::to_string(e.red) + ' ' + std::to_string(e.green) + ' ' + std::to_string(e.blue) + ' ';
        }
        line(pal);
        nums("PageAttrib=", {p.tile_image, p.wallpaper, p.show_master_items, p.interval, p.background_color,
                             p.center_image});
        nums("PageDim=", {p.left_margin, p.top_margin});
        key("BackGround=", p.background);
        key("Password=", p.password);
        num("PageAniIcon=", p.tab_icon);
        nums("PageSecurity=", {p.security_level, p.group});
        objects(p);
    }

    void objects(const Page& p) {
        // Oldest first, so the file keeps creation order and a reload stacks alike.
        for (auto it = p.objects.rbegin(); it != p.objects.rend(); ++it) object(it->data);
    }

    std::string take() { return std::move(out_); }

private:
    static int64_t style7(int32_t v) { return v & 0x7F; }

    void multi(std::string_view k, int32_t count, const std::string& text, bool always) {
        num(k, count);
        if (always || count > 0) key("", text);
    }

    void write(const ButtonData& b) {
        key("Title=", b.caption);
        nums("BtnAttrib=", {b.color,
                            b.color2,
                            b.pen_color,
                            b.pattern,
                            b.dither,
                            b.btn_style,
                            b.transparent,
                            b.run_minimized,
                            b.run_maximized,
                            b.show_icon,
                            b.launch_password,
                            b.edit_password,
                            b.speed_key_shown,
                            b.sound_on,
                            b.single_instance,
                            b.show_cursor,
                            b.fill_behind_text,
                            b.kind,
                            b.tag,
                            b.icon,
                            b.cursor,
                            b.text_align,
                            b.font.size,
                            b.font.color,
                            b.pen.width,
                            style7(b.pen.style),
                            b.run_hidden,
                            style7(b.font.style)});
        nums("WebAttrib=", {b.browser, 0});
        nums("BtnSecurity=", {b.security_level, b.group});
        multi("Command=", b.command_lines, b.command, false);
        key("Directory=", b.directory);
        key("BtnPass=", b.password);
        key("PhoneNum=", b.browser_address);
        key("Sound=", b.sound);
        key("BtnAniIcon=", b.ani_icon);
        key("BtnFont=", b.font.name);
        key("PageTab=", b.page_link);
        key("SpeedKey=", shortcut_to_text(b.speed_key));
        key("LaunchDate=", ctx_.locale->format_datetime(b.launch_date));
        num("LaunchDay=", b.launch_day);
    }
    void write(const ShapeData& s) {
        nums("ShapeAttrib=", {s.color, s.color2, s.pen_color, s.pattern, s.dither, s.shape, s.transparent,
                              s.pen.width, s.tag, style7(s.pen.style)});
    }
    void write(const LineData& l) {
        nums("LineAttrib=", {l.pen_color, style7(l.pen.style), l.pen.width, l.tag, style7(l.brush_style),
                             l.brush_color, l.align});
    }
    void write(const LabelData& t) {
        nums("TextAttrib=",
             {t.color, t.color2, t.pen_color, t.pattern, t.dither, t.shape, t.transparent, t.alignment,
              t.font.size, t.font.color, t.tag, t.pen.width, style7(t.pen.style), style7(t.font.style)});
        multi("Text=", t.text_lines, t.text, true);
        key("TextFont=", t.font.name);
    }
    void write(const ImageData& m) {
        nums("ImageAttrib=", {m.color, m.color2, m.pen_color, m.pattern, m.dither, m.shape, m.transparent,
                              m.center, m.tile, m.stretch, m.tag, m.pen.width, style7(m.pen.style)});
        key("ImageName=", m.image_name);
    }

    const WriteContext& ctx_;
    std::string out_;
};

std::string_view as_text(const Bytes& b) {
    return std::string_view(reinterpret_cast<const char*>(b.data()), b.size());
}

}  // namespace

std::string load_error_text(std::string_view file_name) {
    return "An Error has occurred in loading the Desktop file\r" + std::string(file_name) +
           "\r\rThis file may be damaged or may not be a Vantora! desktop file";
}

DesktopLoadError::DesktopLoadError(const std::string& file_name, std::string detail)
    : std::runtime_error(load_error_text(file_name)),
      text_(load_error_text(file_name)),
      detail_(std::move(detail)) {}

std::optional<std::string> FolderImageResolver::resolve(std::string_view name) const {
    if (name.empty()) return std::nullopt;
    const std::string as_named(name);
    if (file_exists(as_named)) return as_named;
    const std::string file = file_name_of(name);
    for (const std::string* dir : {&program_dir_, &desktop_dir_}) {
        if (dir->empty()) continue;
        const std::string candidate = join_path(*dir, file);
        if (file_exists(candidate)) return candidate;
    }
    return std::nullopt;
}

void read_desktop_text(Desktop& desktop, std::string_view ansi, const ReadContext& ctx) {
    LineReader lines(ansi);
    Reader reader(desktop, ctx);
    try {
        reader.run(lines);
    } catch (const FormatError& e) {
        throw DesktopLoadError(ctx.file_name, e.detail);
    }
}

LoadResult load_desktop_text(Desktop& desktop, std::string_view ansi, const ReadContext& ctx) {
    LoadResult result;
    desktop.clear();
    LineReader lines(ansi);
    std::string_view first;
    const bool has_first = lines.next(first);
    desktop.file_tab_count = 0;
    Reader reader(desktop, ctx);
    try {
        if (has_first) {
            std::string_view trimmed = first;
            while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
            while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
            if (const auto count = to_int(trimmed); count && *count <= std::numeric_limits<int32_t>::max()) {
                desktop.file_tab_count = static_cast<int>(*count);
                if (ctx.on_count_line) ctx.on_count_line(desktop.file_tab_count);
            } else {
                if (ctx.on_count_line) ctx.on_count_line(0);
                // Reported, and the line is read as any other line.
                result.warnings.push_back(ctx.codec->to_utf8(quote(first)) + " is not a valid integer value");
                reader.handle(first, lines);
            }
        }
        reader.run(lines);
    } catch (const FormatError& e) {
        throw DesktopLoadError(ctx.file_name, e.detail);
    }
    desktop.renumber_pages();
    return result;
}

LoadResult load_desktop_bytes(Desktop& desktop, const Bytes& file_bytes, const ReadContext& ctx) {
    int own_mark = 0;
    int& mark = ctx.encryption_mark ? *ctx.encryption_mark : own_mark;
    const Bytes plain =
        security::cipher_bytes(file_bytes, security::kDesktopKey, security::CipherDirection::Decipher, mark);
    return load_desktop_text(desktop, as_text(plain), ctx);
}

bool load_desktop_file(Desktop& desktop, ReadContext ctx, LoadResult* result) {
    const std::string path = desktop.file_name;
    if (!file_exists(path)) return false;
    if (ctx.file_name.empty()) ctx.file_name = path;
    Bytes bytes;
    try {
        bytes = read_file(path);
    } catch (const FileError& e) {
        throw DesktopLoadError(ctx.file_name, e.what());
    }
    const bool was_plain = !security::has_cipher_trailer(bytes);
    std::optional<DesktopLoadError> failure;
    try {
        LoadResult r = load_desktop_bytes(desktop, bytes, ctx);
        if (result) *result = std::move(r);
    } catch (const DesktopLoadError& e) {
        failure = e;
    }
    // A plain file found on disk is enciphered after reading, as every load leaves it.
    if (was_plain) {
        int own_mark = 0;
        int& mark = ctx.encryption_mark ? *ctx.encryption_mark : own_mark;
        try {
            security::cipher_file(path, security::kDesktopKey, security::CipherDirection::Encipher, mark);
        } catch (const FileError& e) {
            if (!failure) failure.emplace(ctx.file_name, e.what());
        }
    }
    if (failure) throw *failure;
    return true;
}

std::string write_object_group(const ObjectData& object, const WriteContext& ctx) {
    Writer w(ctx);
    w.object(object);
    return w.take();
}

std::string write_page_group(const Page& page, const WriteContext& ctx) {
    Writer w(ctx);
    w.page(page);
    return w.take();
}

std::string write_desktop_text(const Desktop& desktop, const WriteContext& ctx) {
    Writer w(ctx);
    const int tabs = ctx.tab_count >= 0 ? ctx.tab_count : static_cast<int>(desktop.tab_pages(false).size());
    w.line(std::to_string(tabs));
    const auto& b = desktop.bounds;
    w.nums("MenuDim=", {b.left, b.top, b.width, b.height});
    const auto& o = desktop.options;
    w.nums("MenuAttrib=",
           {o.status_bar, o.menu_bar, o.ani_icon, o.kept1, o.kept2, o.page_tabs, o.sizeable, o.scrolling});
    w.line("Master=");
    if (desktop.master()) w.objects(*desktop.master());
    for (const auto& p : desktop.hidden_pages()) w.page(*p);
    for (const auto& p : desktop.pages()) w.page(*p);
    return w.take();
}

std::string backup_name_of(std::string_view file_name) {
    const std::string name = file_name_of(file_name);
    const size_t dot = name.rfind('.');
    const size_t cut = file_name.size() - name.size() + (dot == std::string::npos ? name.size() : dot);
    return std::string(file_name.substr(0, cut)) + ".BAK";
}

bool save_desktop_file(const Desktop& desktop, const WriteContext& ctx, const SaveOptions& options) {
    if (desktop.file_name.empty()) return false;
    const std::string& path = desktop.file_name;
    if (options.backup && file_exists(path)) {
        const std::string bak = backup_name_of(path);
        // An older backup stays. Copying rather than renaming keeps the desktop file in place
        // until the new one replaces it.
        if (!file_exists(bak)) {
            std::error_code ec;
            std::filesystem::copy_file(path_from_utf8(path), path_from_utf8(bak), ec);
        }
    }
    const std::string text = write_desktop_text(desktop, ctx);
    Bytes bytes(text.begin(), text.end());
    if (options.encipher) {
        int mark = ctx.encryption_mark;
        bytes =
            security::cipher_bytes(bytes, security::kDesktopKey, security::CipherDirection::Encipher, mark);
    }
    write_file_atomic(path, bytes);
    return true;
}

}  // namespace vx::model
