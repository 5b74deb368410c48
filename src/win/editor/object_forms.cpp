#include "win/editor/object_forms.h"

#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <variant>

#include "editor/object_properties.h"
#include "objects/line_star_paint.h"
#include "objects/shape_paint.h"
#include "util/file_io.h"
#include "win/dialogs/selector_dialogs.h"
#include "win/editor/object_form_ids.h"
#include "win/editor/popup_palette.h"
#include "win/imaging/picture.h"
#include "win/objects/gdi_canvas.h"
#include "win/objects/image_pictures.h"
#include "win/util/modeless.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::editor {
namespace {

namespace core = vx::editor;
namespace paint = vx::objects;
using model::ObjectKind;

constexpr const char* kTextFileTitle = "Select Text File";
constexpr const char* kTextFileMask = "*.Txt";
constexpr const char* kImageTitle = "Select Image";
constexpr const char* kImageMask = "*.BMP *.PCX *.JPG *.PNG *.ICO *.WMF *.TIF";
constexpr const char* kLineNames[] = {"Left", "Top", "Right", "Bottom", "Top to bottom", "Bottom to top"};
// The preview leaves this much of the page sample around the object.
constexpr int kPreviewMargin = 12;
constexpr int kEditLimit = 4;

bool is_file(const std::string& path) {
    const DWORD a = GetFileAttributesW(widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int template_of(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::Shape:
            return IDD_SHAPE_FORM;
        case ObjectKind::Line:
            return IDD_LINE_FORM;
        case ObjectKind::Label:
            return IDD_LABEL_FORM;
        default:
            return IDD_IMAGE_FORM;
    }
}

int help_of(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::Shape:
            return kShapeFormHelp;
        case ObjectKind::Line:
            return kLineFormHelp;
        case ObjectKind::Label:
            return kLabelFormHelp;
        default:
            return kImageFormHelp;
    }
}

int font_height(int points) {
    const HDC screen = GetDC(nullptr);
    const int h = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return h;
}

}  // namespace

bool choose_font_dialog(HWND owner, model::FontData& font) {
    LOGFONTW lf{};
    lf.lfHeight = font_height(font.size);
    lf.lfWeight = (font.style & 1) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.style & 2) ? TRUE : FALSE;
    lf.lfUnderline = (font.style & 4) ? TRUE : FALSE;
    lf.lfStrikeOut = (font.style & 8) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, widen(font.name).c_str(), LF_FACESIZE);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontW(&cf)) return false;
    font.name = narrow(lf.lfFaceName);
    font.size = cf.iPointSize / 10;
    font.style = (lf.lfWeight >= FW_BOLD ? 1 : 0) | (lf.lfItalic ? 2 : 0) | (lf.lfUnderline ? 4 : 0) |
                 (lf.lfStrikeOut ? 8 : 0);
    return true;
}

namespace {

// The properties value of each kind, held side by side with the preview object it draws.
using Properties =
    std::variant<core::ShapeProperties, core::LineProperties, core::LabelProperties, core::ImageProperties>;

class TObjectForm final : public Dialog {
public:
    explicit TObjectForm(ObjectFormRequest request) : request_(std::move(request)) {
        kind_ = model::kind_of(request_.object);
        std::visit(
            [this](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (!std::is_same_v<T, model::ButtonData>) properties_ = core::properties_of(o);
            },
            request_.object);
        if (const auto* image = std::get_if<model::ImageData>(&request_.object))
            load_picture(image->picture_path);
        if (!request_.choose_text_file)
            request_.choose_text_file = [](HWND owner, std::string& dir, std::string& file) {
                return select_file(owner, kTextFileTitle, dir, kTextFileMask, {}, {}, true, false, file);
            };
        if (!request_.choose_image_file)
            request_.choose_image_file = [](HWND owner, std::string& dir, std::string& file) {
                return select_image(owner, kImageTitle, dir, kImageMask, {}, {}, true, file);
            };
        if (!request_.choose_font) request_.choose_font = choose_font_dialog;
    }

    bool open() {
        const HWND made = create_modeless(request_.instance ? request_.instance : GetModuleHandleW(nullptr),
                                          MAKEINTRESOURCEW(template_of(kind_)), request_.owner);
        if (!made) return false;
        registration_ = ModelessRegistration(made);
        if (request_.owner) EnableWindow(request_.owner, FALSE);
        ShowWindow(made, SW_SHOW);
        return true;
    }

    // The object OK would hand over.
    model::ObjectData edited() const {
        return std::visit(
            [this](const auto& p) -> model::ObjectData {
                using P = std::decay_t<decltype(p)>;
                if constexpr (std::is_same_v<P, core::ShapeProperties>)
                    return core::apply(p, std::get<model::ShapeData>(request_.object));
                else if constexpr (std::is_same_v<P, core::LineProperties>)
                    return core::apply(p, std::get<model::LineData>(request_.object));
                else if constexpr (std::is_same_v<P, core::LabelProperties>)
                    return core::apply(p, std::get<model::LabelData>(request_.object));
                else
                    return core::apply(p, std::get<model::ImageData>(request_.object), found_);
            },
            properties_);
    }

    void take_attributes(const model::ButtonData& style, uint16_t which) {
        read_controls();
        const bool bottom = IsDlgButtonChecked(hwnd(), IDC_OBJ_BOTTOM_COLOR) == BST_CHECKED;
        const model::ObjectData changed = core::with_attributes(edited(), style, which, bottom);
        std::visit(
            [this](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (!std::is_same_v<T, model::ButtonData>) {
                    auto p = core::properties_of(o);
                    // What the controls hold and the palette does not set stays as typed.
                    auto& mine = std::get<decltype(p)>(properties_);
                    p.bounds = mine.bounds;
                    if constexpr (std::is_same_v<T, model::LabelData>) p.text = mine.text;
                    if constexpr (std::is_same_v<T, model::ImageData>) p.file = mine.file;
                    mine = p;
                }
            },
            changed);
        if ((which & (core::attribute_bits::kFont | core::attribute_bits::kFontColor)) &&
            kind_ == ObjectKind::Label)
            memo_font();
        repaint_preview();
    }

protected:
    bool on_init() override {
        const core::StyleRange range = core::style_range(kind_);
        SendMessageW(item(IDC_OBJ_STYLE_BAR), SBM_SETRANGE, range.min, range.max);
        CheckRadioButton(hwnd(), IDC_OBJ_TOP_COLOR, IDC_OBJ_BOTTOM_COLOR, IDC_OBJ_TOP_COLOR);
        for (int id : {IDC_OBJ_X, IDC_OBJ_Y, IDC_OBJ_W, IDC_OBJ_H})
            SendMessageW(item(id), EM_LIMITTEXT, kEditLimit, 0);
        filling_ = true;
        std::visit(
            [this](const auto& p) {
                set_item_text(IDC_OBJ_X, p.bounds.x);
                set_item_text(IDC_OBJ_Y, p.bounds.y);
                set_item_text(IDC_OBJ_W, p.bounds.w);
                set_item_text(IDC_OBJ_H, p.bounds.h);
                using P = std::decay_t<decltype(p)>;
                if constexpr (std::is_same_v<P, core::LineProperties>) {
                    set_style(p.align);
                } else {
                    set_style(p.shape);
                    CheckDlgButton(hwnd(), IDC_OBJ_DITHER, p.dither ? BST_CHECKED : BST_UNCHECKED);
                }
                if constexpr (std::is_same_v<P, core::LabelProperties>) set_item_text(IDC_LABEL_MEMO, p.text);
                if constexpr (std::is_same_v<P, core::ImageProperties>) {
                    set_item_text(IDC_IMAGE_FILE, p.file);
                    CheckDlgButton(hwnd(), IDC_IMAGE_CENTER, p.center);
                    CheckDlgButton(hwnd(), IDC_IMAGE_TILE, p.tile);
                    CheckDlgButton(hwnd(), IDC_IMAGE_STRETCH, p.stretch);
                    CheckDlgButton(hwnd(), IDC_IMAGE_TRANSPARENT, p.transparent);
                }
            },
            properties_);
        filling_ = false;
        if (kind_ == ObjectKind::Label) memo_font();
        // Beside the owner's top-left corner, so the page it edits stays in view.
        RECT owner{};
        if (request_.owner && GetWindowRect(request_.owner, &owner))
            SetWindowPos(hwnd(), nullptr, owner.left + 40, owner.top + 60, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return true;
    }

    bool on_ok() override {
        read_controls();
        const auto error = std::visit([](const auto& p) { return core::validate(p); }, properties_);
        if (error) {
            MessageBoxW(hwnd(), widen(error->message).c_str(), L"Vantora!", MB_OK | MB_ICONWARNING);
            SetFocus(item(IDC_OBJ_STYLE_BAR));
            return false;
        }
        if (kind_ == ObjectKind::Image) resolve_image();
        model::ObjectData result = edited();
        if (request_.ok) request_.ok(std::move(result));
        return true;
    }

    bool on_command(int id, int code, HWND) override {
        if (filling_) return false;
        switch (id) {
            case IDHELP:
                if (request_.help) request_.help(help_of(kind_));
                return true;
            case IDC_OBJ_DITHER:
            case IDC_IMAGE_TRANSPARENT:
                read_controls();
                repaint_preview();
                return true;
            case IDC_IMAGE_CENTER:
            case IDC_IMAGE_TILE:
            case IDC_IMAGE_STRETCH:
                layout_checked(id);
                return true;
            case IDC_IMAGE_FILE:
                if (code == EN_CHANGE) resolve_image();
                return true;
            case IDC_IMAGE_BROWSE:
                browse_image();
                return true;
            case IDC_LABEL_TOGGLE:
                show_preview(!previewing_);
                return true;
            case IDC_LABEL_TEXT_FILE:
                load_text_file();
                return true;
            case IDC_LABEL_LEFT:
                set_alignment(0, ES_LEFT);
                return true;
            case IDC_LABEL_RIGHT:
                set_alignment(1, ES_RIGHT);
                return true;
            case IDC_LABEL_CENTER:
                set_alignment(2, ES_CENTER);
                return true;
            case IDC_LABEL_FONT:
                change_font();
                return true;
            default:
                return false;
        }
    }

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        switch (message) {
            case WM_HSCROLL:
                if (reinterpret_cast<HWND>(lparam) == item(IDC_OBJ_STYLE_BAR)) {
                    scroll(LOWORD(wparam), static_cast<short>(HIWORD(wparam)));
                    return TRUE;
                }
                break;
            case WM_DRAWITEM:
                if (wparam == IDC_OBJ_PREVIEW) {
                    draw_preview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
                    return TRUE;
                }
                break;
            case WM_HELP:
                if (request_.help) request_.help(help_of(kind_));
                return TRUE;
            case WM_NCDESTROY:
                closing();
                break;
            default:
                break;
        }
        return Dialog::handle_message(message, wparam, lparam);
    }

private:
    int style() const {
        return std::visit(
            [](const auto& p) {
                if constexpr (std::is_same_v<std::decay_t<decltype(p)>, core::LineProperties>)
                    return p.align;
                else
                    return p.shape;
            },
            properties_);
    }

    // The bar, the style's name and the gradient group follow the style.
    void set_style(int value) {
        const core::StyleRange range = core::style_range(kind_);
        value = std::clamp(value, range.min, range.max);
        std::visit(
            [value](auto& p) {
                if constexpr (std::is_same_v<std::decay_t<decltype(p)>, core::LineProperties>)
                    p.align = value;
                else
                    p.shape = value;
            },
            properties_);
        SendMessageW(item(IDC_OBJ_STYLE_BAR), SBM_SETPOS, value, TRUE);
        const char* name = kind_ == ObjectKind::Shape  ? paint::kShapeTypeNames[value]
                           : kind_ == ObjectKind::Line ? kLineNames[value]
                                                       : paint::kFrameTypeNames[value];
        // The painters' names carry a prefix of their own that says nothing to a person.
        const std::string_view shown(name);
        set_item_text(IDC_OBJ_STYLE_NAME, std::string(shown.starts_with("kx") ? shown.substr(2) : shown));
        const bool gradient = range.gradient(value);
        ShowWindow(item(IDC_OBJ_GRADIENT), gradient ? SW_SHOW : SW_HIDE);
        ShowWindow(item(IDC_OBJ_DITHER), gradient && screen_colors() <= 256 ? SW_SHOW : SW_HIDE);
        repaint_preview();
    }

    void scroll(int code, int thumb) {
        const core::StyleRange range = core::style_range(kind_);
        int v = style();
        switch (code) {
            case SB_LINELEFT:
            case SB_PAGELEFT:
                --v;
                break;
            case SB_LINERIGHT:
            case SB_PAGERIGHT:
                ++v;
                break;
            case SB_LEFT:
                v = range.min;
                break;
            case SB_RIGHT:
                v = range.max;
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION:
                v = thumb;
                break;
            default:
                return;
        }
        set_style(v);
    }

    void read_controls() {
        std::visit(
            [this](auto& p) {
                p.bounds = {item_text(IDC_OBJ_X), item_text(IDC_OBJ_Y), item_text(IDC_OBJ_W),
                            item_text(IDC_OBJ_H)};
                using P = std::decay_t<decltype(p)>;
                if constexpr (!std::is_same_v<P, core::LineProperties>)
                    p.dither = IsDlgButtonChecked(hwnd(), IDC_OBJ_DITHER) == BST_CHECKED;
                if constexpr (std::is_same_v<P, core::LabelProperties>) p.text = item_text(IDC_LABEL_MEMO);
                if constexpr (std::is_same_v<P, core::ImageProperties>) {
                    p.file = item_text(IDC_IMAGE_FILE);
                    p.center = IsDlgButtonChecked(hwnd(), IDC_IMAGE_CENTER) == BST_CHECKED;
                    p.tile = IsDlgButtonChecked(hwnd(), IDC_IMAGE_TILE) == BST_CHECKED;
                    p.stretch = IsDlgButtonChecked(hwnd(), IDC_IMAGE_STRETCH) == BST_CHECKED;
                    p.transparent = IsDlgButtonChecked(hwnd(), IDC_IMAGE_TRANSPARENT) == BST_CHECKED;
                }
            },
            properties_);
    }

    void repaint_preview() { InvalidateRect(item(IDC_OBJ_PREVIEW), nullptr, FALSE); }

    void draw_preview(const DRAWITEMSTRUCT& d) {
        const RECT r = d.rcItem;
        const int w = r.right - r.left, h = r.bottom - r.top;
        const HDC memory = CreateCompatibleDC(d.hDC);
        const HBITMAP bitmap = CreateCompatibleBitmap(d.hDC, w, h);
        const HGDIOBJ old = SelectObject(memory, bitmap);
        // The page's background behind the object, as the object will stand on it.
        const HBRUSH page = CreateSolidBrush(objects::rgb_of(request_.page_color, nullptr));
        const RECT all{0, 0, w, h};
        FillRect(memory, &all, page);
        DeleteObject(page);
        model::ObjectData shown = edited();
        model::bounds_of(shown) = {kPreviewMargin, kPreviewMargin, std::max(1, w - 2 * kPreviewMargin),
                                   std::max(1, h - 2 * kPreviewMargin)};
        const int saved = SaveDC(memory);
        SetViewportOrgEx(memory, kPreviewMargin, kPreviewMargin, nullptr);
        {
            objects::GdiCanvas canvas(memory);
            std::visit(
                [&](auto& o) {
                    using T = std::decay_t<decltype(o)>;
                    o.bounds.left = o.bounds.top = 0;
                    if constexpr (std::is_same_v<T, model::ShapeData>)
                        paint::paint_shape(canvas, o, {});
                    else if constexpr (std::is_same_v<T, model::LineData>)
                        paint::paint_line(canvas, o, nullptr);
                    else if constexpr (std::is_same_v<T, model::LabelData>)
                        paint::paint_label(canvas, o, {});
                    else if constexpr (std::is_same_v<T, model::ImageData>)
                        paint::paint_image(canvas, o, picture_.get(), {});
                },
                shown);
        }
        RestoreDC(memory, saved);
        BitBlt(d.hDC, r.left, r.top, w, h, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }

    // Image: the typed name is looked for and, when found, shown.
    void resolve_image() {
        const std::string typed = item_text(IDC_IMAGE_FILE);
        const auto found = core::resolve_image_file(typed, request_.program_dir, request_.image_dir, is_file);
        if (found && found != found_) load_picture(*found);
        found_ = found;
        read_controls();
        repaint_preview();
    }

    void load_picture(const std::string& path) {
        if (path.empty()) return;
        if (auto picture = objects::make_image_picture(imaging::decode_picture(path)))
            picture_ = std::move(picture);
    }

    void browse_image() {
        std::string file = item_text(IDC_IMAGE_FILE);
        if (!request_.choose_image_file(hwnd(), last_image_dir_, file)) return;
        last_image_dir_ = dir_of(file);
        set_item_text(IDC_IMAGE_FILE, file);  // EN_CHANGE resolves and shows it
    }

    void layout_checked(int id) {
        read_controls();
        auto& p = std::get<core::ImageProperties>(properties_);
        if (IsDlgButtonChecked(hwnd(), id) == BST_CHECKED) {
            core::check_layout(p, id == IDC_IMAGE_CENTER ? core::ImageLayout::Center
                                  : id == IDC_IMAGE_TILE ? core::ImageLayout::Tile
                                                         : core::ImageLayout::Stretch);
            CheckDlgButton(hwnd(), IDC_IMAGE_CENTER, p.center);
            CheckDlgButton(hwnd(), IDC_IMAGE_TILE, p.tile);
            CheckDlgButton(hwnd(), IDC_IMAGE_STRETCH, p.stretch);
        }
        repaint_preview();
    }

    // Label: the memo or the label drawn with its text.
    void show_preview(bool preview) {
        read_controls();
        previewing_ = preview;
        ShowWindow(item(IDC_LABEL_MEMO), preview ? SW_HIDE : SW_SHOW);
        ShowWindow(item(IDC_OBJ_PREVIEW), preview ? SW_SHOW : SW_HIDE);
        set_item_text(IDC_LABEL_TOGGLE, preview ? "&Edit Text" : "&Preview Text");
        repaint_preview();
    }

    void load_text_file() {
        std::string file;
        if (!request_.choose_text_file(hwnd(), last_text_dir_, file)) return;
        last_text_dir_ = dir_of(file);
        if (!is_file(file)) return;
        try {
            set_item_text(IDC_LABEL_MEMO, read_text_file(file));
        } catch (const std::exception& e) {
            log_error("label editor: " + file + ": " + e.what());
            return;
        }
        show_preview(false);
    }

    void set_alignment(int alignment, DWORD edit_style) {
        std::get<core::LabelProperties>(properties_).alignment = alignment;
        const HWND memo = item(IDC_LABEL_MEMO);
        // A multi-line edit takes a new alignment only in its style bits.
        const LONG_PTR style = GetWindowLongPtrW(memo, GWL_STYLE) & ~LONG_PTR(ES_LEFT | ES_CENTER | ES_RIGHT);
        SetWindowLongPtrW(memo, GWL_STYLE, style | edit_style);
        InvalidateRect(memo, nullptr, TRUE);
        repaint_preview();
    }

    void change_font() {
        auto& p = std::get<core::LabelProperties>(properties_);
        model::FontData font = p.font;
        if (!request_.choose_font(hwnd(), font)) return;
        font.color = p.font.color;
        p.font = font;
        memo_font();
        repaint_preview();
    }

    // The memo shows the text in the label's font.
    void memo_font() {
        const model::FontData& f = std::get<core::LabelProperties>(properties_).font;
        memo_font_.reset(CreateFontW(font_height(f.size), 0, 0, 0, (f.style & 1) ? FW_BOLD : FW_NORMAL,
                                     f.style & 2, f.style & 4, f.style & 8, DEFAULT_CHARSET, 0, 0, 0, 0,
                                     widen(f.name).c_str()));
        SendMessageW(item(IDC_LABEL_MEMO), WM_SETFONT, reinterpret_cast<WPARAM>(memo_font_.get()), TRUE);
    }

    void closing();

    ObjectFormRequest request_;
    ObjectKind kind_;
    Properties properties_;
    std::unique_ptr<paint::ImagePicture> picture_;
    std::optional<std::string> found_;
    std::string last_text_dir_, last_image_dir_;
    unique_hfont memo_font_;
    ModelessRegistration registration_;
    bool filling_ = false;
    bool previewing_ = false;
};

std::unique_ptr<TObjectForm> g_open;
// A form whose window is gone: freed at the next opening, since its own messages still run
// when it learns that it closes.
std::unique_ptr<TObjectForm> g_retired;

void TObjectForm::closing() {
    if (request_.owner) EnableWindow(request_.owner, TRUE);
    auto closed = std::move(request_.closed);
    if (g_open.get() == this) g_retired = std::move(g_open);
    if (closed) closed();
}

}  // namespace

bool open_object_form(ObjectFormRequest request) {
    if (g_open || std::holds_alternative<model::ButtonData>(request.object)) return false;
    g_retired.reset();
    auto form = std::make_unique<TObjectForm>(std::move(request));
    TObjectForm* made = form.get();
    g_open = std::move(form);
    if (made->open()) return true;
    g_open.reset();
    return false;
}

bool object_form_open() {
    return g_open != nullptr;
}

HWND object_form_window() {
    return g_open ? g_open->hwnd() : nullptr;
}

void close_object_form() {
    if (g_open && g_open->hwnd()) SendMessageW(g_open->hwnd(), WM_COMMAND, IDCANCEL, 0);
}

model::ObjectData object_form_preview() {
    return g_open ? g_open->edited() : model::ObjectData{};
}

void object_form_take_attributes(const model::ButtonData& style, uint16_t which) {
    if (g_open && g_open->hwnd()) g_open->take_attributes(style, which);
}

}  // namespace vx::win::editor
