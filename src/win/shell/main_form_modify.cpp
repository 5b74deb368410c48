// The main window in modify mode: entering and leaving it, its menus, and what the editing
// surface's gestures, keys, the clipboard and dropped files do to the desktop. Every change
// goes through the designer's history (DesignSession::undo); the rules are in core/editor.
#include "win/shell/main_form.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "editor/hit_test.h"
#include "editor/object_properties.h"
#include "editor/object_commands.h"
#include "editor/page_commands.h"
#include "iconlib/library.h"
#include "model/desktop_file.h"
#include "security/access.h"
#include "shell/desktop_buttons.h"
#include "shell/user_restrictions.h"
#include "util/file_io.h"
#include "win/dialogs/win_file_system.h"
#include "win/editor/align_form.h"
#include "win/editor/button_form.h"
#include "win/editor/object_forms.h"
#include "win/editor/tool_palette.h"
#include "win/editor/designer_dialogs.h"
#include "win/iconlib/win_icon_source.h"
#include "win/shell/shell_links.h"
#include "win/util/system_locale.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {

using vx::shell::MenuCommand;
namespace ed = vx::editor;

// Out of line: the designer's windows are complete types only here.
DesignSession::DesignSession(model::Desktop& desktop) : undo(desktop, events) {}
DesignSession::~DesignSession() = default;

void DesignSession::renumber(const std::function<uint16_t(uint16_t)>& new_number) {
    undo.renumber_icons(new_number);
    if (style_sample) {
        model::ObjectData sample = *style_sample;
        if (ed::renumber_icons(sample, new_number)) style_sample = std::get<model::ButtonData>(sample);
    }
    if (icons_renumbered) icons_renumbered();
}

namespace {

// The private clipboard format beside CF_TEXT: text that carries it was copied here, so a
// paste of another program's text is known for what it is.
UINT object_clipboard_format() {
    static const UINT format = RegisterClipboardFormatW(L"Vantora! Objects");
    return format;
}

bool put_clipboard(HWND owner, const std::string& ansi) {
    if (!OpenClipboard(owner)) return false;
    struct Close {
        ~Close() { CloseClipboard(); }
    } close;
    EmptyClipboard();
    bool ok = true;
    for (const UINT format : {static_cast<UINT>(CF_TEXT), object_clipboard_format()}) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, ansi.size() + 1);
        if (!mem) return false;
        char* p = static_cast<char*>(GlobalLock(mem));
        std::copy(ansi.begin(), ansi.end(), p);
        p[ansi.size()] = '\0';
        GlobalUnlock(mem);
        if (!SetClipboardData(format, mem)) {
            GlobalFree(mem);
            ok = false;
        }
    }
    return ok;
}

// The clipboard's text; nullopt when it holds none. `ours` says whether it came from here.
std::optional<std::string> read_clipboard(HWND owner, bool* ours) {
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(owner)) return std::nullopt;
    struct Close {
        ~Close() { CloseClipboard(); }
    } close;
    *ours = IsClipboardFormatAvailable(object_clipboard_format()) != 0;
    HANDLE h = GetClipboardData(*ours ? object_clipboard_format() : CF_TEXT);
    if (!h) return std::nullopt;
    const char* p = static_cast<const char*>(GlobalLock(h));
    if (!p) return std::nullopt;
    const size_t limit = GlobalSize(h);
    std::string text(p, strnlen(p, limit));
    GlobalUnlock(h);
    return text;
}

// The object text goes through a temporary file in the designer's temporary folder, as the
// desktop file's own text would; the file is gone again when this returns.
std::string through_temp_file(const std::string& dir, const std::string& text) {
    const std::string name = ed::clipboard_temp_name(dir, [](const std::string& p) { return file_exists(p); });
    struct Remove {
        const std::string& path;
        ~Remove() {
            std::error_code ec;
            std::filesystem::remove(std::filesystem::u8path(path), ec);
        }
    } remove{name};
    write_file_atomic(name, std::string_view{});  // reserved
    write_file_atomic(name, text);
    const Bytes back = read_file(name);
    return std::string(back.begin(), back.end());
}

std::string temp_dir(const vx::shell::ShellSettings& settings) {
    std::error_code ec;
    const std::string here = path_to_utf8(std::filesystem::current_path(ec));
    return vx::shell::effective_temp_dir(
        settings,
        [](const std::string& p) {
            std::error_code e;
            return std::filesystem::is_directory(path_from_utf8(p), e);
        },
        here);
}

}  // namespace

// ---- entering and leaving -----------------------------------------------------------------

bool TMainForm::enter_modify_mode() {
    if (design_ || station_.locked()) return false;
    const auto& guard = station_.admin().guards[vx::security::kGuardSetup];
    if (!guard.password.empty() &&
        !vx::security::password_prompt(station_.admin(), prompter(), "", guard.password, guard.level))
        return false;
    model::Page* shown = station_.desktop().current();
    show_page(nullptr);
    design_ = std::make_unique<DesignSession>(station_.desktop());
    DesignSession& d = *design_;
    const auto& s = station_.settings();
    d.grid.width = ed::clamp_grid(s.x_value);
    d.grid.height = ed::clamp_grid(s.y_value);
    d.grid.show = s.show_grid;
    d.grid.snap = s.snap_to_grid;
    d.show_mouse = s.show_mouse;
    d.show_align = s.align_show;
    surface::DesignToolEvents events;
    events.page = [this]() -> const model::Page* { return station_.desktop().current(); };
    events.tool = [this] { return design_ ? design_->tool : ed::Tool::Selector; };
    events.pressed = [this](const ed::PressResult& r, POINT screen) { design_pressed(r, screen); };
    events.released = [this](ed::ReleaseResult r) { design_released(std::move(r)); };
    events.page_drag = [this] { begin_page_drag(); };
    events.pointer = [this](POINT page) {
        if (design_ && design_->show_mouse)
            SetWindowTextW(panel6_, widen(ed::mouse_position_text({page.x, page.y})).c_str());
    };
    events.key = [this](UINT message, WPARAM w, LPARAM l) {
        // What the designer does not take, the main window answers as it would with the focus:
        // the page keys, F10 and the speed keys.
        if (!design_key(message, w, l)) SendMessageW(hwnd(), message, w, l);
        return true;
    };
    d.surface_tool = std::make_unique<surface::DesignTool>(station_.desktop(), d.selection, d.grid, events);

    station_.set_modify_mode(true);
    watch_pages();
    rebuild_tabs();
    rebuild_menu();
    d.icons_renumbered = [this] { icon_library_changed(); };
    d.tools = std::make_unique<editor::TToolPalette>();
    d.tools->tool_chosen = [this](ed::Tool t) {
        if (design_) design_->tool = t;
    };
    d.tools->attribute_changed = [this](const model::ButtonData& style, uint16_t which) {
        if (!design_) return;
        design_->style = style;
        // With nothing selected the attribute is only what the next object takes.
        if (design_->selection.empty()) return;
        execute(ed::make_edits(station_.desktop(), ed::restyle(station_.desktop(), design_->selection.ids(), style, which),
                               "Change Style"));
    };
    d.tools->on_error = [](const std::string& message) { log_error("tool palette: " + message); };
    const auto read = [this](std::string_view name) { return station_.store().read("", std::string(name)); };
    if (!d.tools->open(hwnd(), read)) {
        // Modify mode goes on with the selector only.
        log_error("modify mode: the tool palette could not be made");
        d.tools.reset();
    } else {
        d.style = d.tools->style();
        // Never placed yet: beside the main window where the screen leaves room, so that it
        // covers none of the page.
        if (!read(ed::kToolPalWindow)) {
            RECT frame, own;
            GetWindowRect(hwnd(), &frame);
            GetWindowRect(d.tools->hwnd(), &own);
            if (GetSystemMetrics(SM_CXSCREEN) - frame.right >= own.right - own.left + 4)
                SetWindowPos(d.tools->hwnd(), nullptr, frame.right + 4, frame.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ShowWindow(d.tools->hwnd(), SW_SHOWNOACTIVATE);
    }
    show_align_window(d.show_align);
    main_area_.set_tool(d.surface_tool.get());
    // The page that was shown stays; otherwise the first page after "Master".
    const int tab = shown ? station_.tab_of(shown) : -1;
    select_tab(tab >= 0 ? tab : std::min(1, station_.tab_count() - 1));
    SetFocus(main_area_.hwnd());
    return true;
}

std::string TMainForm::save_desktop() {
    model::Desktop& desktop = station_.desktop();
    if (desktop.file_name.empty()) desktop.file_name = station_.settings().desktop_file;
    if (desktop.file_name.empty()) return "The desktop has no file name.";
    const SystemLocale locale;
    AnsiCodePageCodec codec;
    model::WriteContext ctx;
    ctx.locale = &locale;
    ctx.codec = &codec;
    ctx.encryption_mark = station_.encryption_mark();
    model::SaveOptions options;
    options.backup = station_.settings().backup;
    const HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    std::string error;
    try {
        if (!model::save_desktop_file(desktop, ctx, options)) error = "The desktop has no file name.";
    } catch (const std::exception& e) {
        error = e.what();
    }
    SetCursor(old);
    if (error.empty()) {
        if (design_) design_->undo.mark_saved();
        station_.edit_settings().desktop_file = desktop.file_name;
    }
    return error;
}

bool TMainForm::leave_modify_mode() {
    if (!design_) return true;
    if (design_->surface_tool->busy()) main_area_.tool().release(main_area_);
    const std::string error = save_desktop();
    if (!error.empty()) {
        log_error("modify mode: saving " + station_.desktop().file_name + ": " + error);
        prompter().alert("Error", "The desktop could not be saved to " + station_.desktop().file_name + ".\r" +
                                      error + "\rModify mode stays on and nothing was lost.");
        return false;
    }
    save_design_settings();
    close_tool_palette();
    const model::Desktop& desktop = station_.desktop();
    model::Page* current = desktop.current();
    main_area_.set_tool(nullptr);
    design_.reset();
    station_.set_modify_mode(false);
    rebuild_tabs();
    rebuild_menu();
    apply_window_options();
    // "StartUp" has no tab in run mode: the tab before it; the master page: the first tab.
    int tab = current && current != desktop.master() ? station_.tab_of(current) : 0;
    if (current && current->is_startup()) tab = station_.tab_count() - 1;
    show_page(nullptr);
    if (station_.tab_count() > 0) select_tab(std::clamp(tab, 0, station_.tab_count() - 1));
    return true;
}

void TMainForm::close_tool_palette() {
    if (!design_ || !design_->tools) return;
    design_->tools->close([this](std::string_view name, const std::string& value) {
        try {
            station_.store().write("", std::string(name), value);
        } catch (const std::exception& e) {
            log_error(std::string("modify mode: saving the tool palette: ") + e.what());
        }
    });
    design_->tools.reset();
}

void TMainForm::save_design_settings() {
    if (!design_) return;
    auto& s = station_.edit_settings();
    s.x_value = design_->grid.width;
    s.y_value = design_->grid.height;
    s.show_grid = design_->grid.show;
    s.snap_to_grid = design_->grid.snap;
    s.show_mouse = design_->show_mouse;
    s.align_show = design_->show_align;
    std::string error = station_.save_settings();
    if (design_->align && design_->align->hwnd()) {
        try {
            station_.store().write("", "AlignWindow", design_->align->position_text());
        } catch (const std::exception& e) {
            error = e.what();
        }
    }
    if (!error.empty()) log_error("modify mode: saving the settings: " + error);
}

// ---- menus ---------------------------------------------------------------------------------

std::vector<vx::shell::MenuEntry> TMainForm::modify_menu_entries(bool popup) {
    vx::shell::ModifyMenuState state;
    const DesignSession& d = *design_;
    const model::Desktop& desktop = station_.desktop();
    state.selected = d.selection.ids().size();
    if (!d.selection.empty()) {
        if (const auto ref = desktop.find_object(d.selection.ids().front()))
            state.first_selected_grouped = model::tag_of(ref.entry->data) > 0;
    }
    state.clipboard_has_text = IsClipboardFormatAvailable(CF_TEXT) != 0;
    state.undo_label = d.undo.undo_label();
    state.redo_label = d.undo.redo_label();
    const model::Page* page = desktop.current();
    state.master_current = page && page == desktop.master();
    state.startup_current = page && page->is_startup();
    state.show_master_items = page && page->show_master_items;
    const HDC screen = GetDC(nullptr);
    state.palette_display = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(nullptr, screen);
    state.show_grid = d.grid.show;
    state.snap_to_grid = d.grid.snap;
    state.show_mouse_position = d.show_mouse;
    state.show_alignment_tools = d.show_align;
    // Without a help window there is no "&Contents" to offer.
    if (!commands_.help_contents) state.unavailable.push_back(MenuCommand::HelpContents);
    return popup ? vx::shell::modify_popup_menu(desktop, state) : vx::shell::modify_main_menu(desktop, state);
}

namespace {

UINT command_id(const vx::shell::MenuEntry& e) {
    return e.command == MenuCommand::GotoPage ? kIdGotoPageFirst + static_cast<UINT>(e.page_index)
                                              : kIdMenuFirst + static_cast<UINT>(e.command);
}

HMENU build_menu(const std::vector<vx::shell::MenuEntry>& entries, bool bar, std::vector<UINT>* offered) {
    HMENU menu = bar ? CreateMenu() : CreatePopupMenu();
    for (const auto& e : entries) {
        if (!e.visible) continue;
        UINT flags = e.separator() ? MF_SEPARATOR : MF_STRING;
        if (e.checked) flags |= MF_CHECKED;
        if (e.new_column) flags |= MF_MENUBARBREAK;
        if (!e.enabled) flags |= MF_GRAYED;
        if (!e.items.empty()) {
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(build_menu(e.items, false, offered)),
                        widen(e.caption).c_str());
            continue;
        }
        const UINT id = e.separator() ? 0 : command_id(e);
        AppendMenuW(menu, flags, id, widen(e.caption).c_str());
        if (!e.separator() && offered) offered->push_back(id);
    }
    return menu;
}

// Enabling, checks and the Undo and Redo captions follow the designer's state each time a
// menu opens.
void apply_state(HMENU menu, const std::vector<vx::shell::MenuEntry>& entries) {
    for (const auto& e : entries) {
        if (!e.items.empty()) {
            apply_state(menu, e.items);
            continue;
        }
        if (e.separator() || !e.visible) continue;
        const UINT id = command_id(e);
        EnableMenuItem(menu, id, MF_BYCOMMAND | (e.enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, id, MF_BYCOMMAND | (e.checked ? MF_CHECKED : MF_UNCHECKED));
        if (e.command == MenuCommand::Undo || e.command == MenuCommand::Redo)
            ModifyMenuW(menu, id, MF_BYCOMMAND | MF_STRING | (e.enabled ? MF_ENABLED : MF_GRAYED), id,
                        widen(e.caption).c_str());
    }
}

}  // namespace

void TMainForm::rebuild_modify_menu() {
    offered_commands_.clear();
    HMENU bar = build_menu(modify_menu_entries(false), true, &offered_commands_);
    const HMENU old = menu_;
    menu_ = bar;
    SetMenu(hwnd(), station_.desktop().options.menu_bar ? menu_ : nullptr);
    if (old) DestroyMenu(old);
}

void TMainForm::update_menu_state(HMENU menu) {
    if (!design_ || !menu) return;
    apply_state(menu, modify_menu_entries(false));
}

void TMainForm::show_modify_popup(POINT screen) {
    if (!menu_ || (station_.desktop().options.menu_bar && !station_.settings().allow_popup)) return;
    const auto& guard = station_.admin().guards[vx::security::kGuardRunPopup];
    if (!guard.password.empty() &&
        !vx::security::password_prompt(station_.admin(), prompter(), "", guard.password, guard.level))
        return;
    if (!design_) return;
    HMENU popup = build_menu(modify_menu_entries(true), false, nullptr);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd(), nullptr);
    DestroyMenu(popup);
}

// ---- changes -------------------------------------------------------------------------------

bool TMainForm::execute(ed::CommandPtr command) {
    if (!design_ || !command) return false;
    bool done = false;
    try {
        done = design_->undo.execute(std::move(command));
    } catch (const std::exception& e) {
        log_error(std::string("modify mode: ") + e.what());
        prompter().alert("Error", e.what());
    }
    after_design_change();
    return done;
}

void TMainForm::after_design_change() {
    if (!design_) return;
    if (pages_changed_) follow_page_changes();
    model::Page* page = station_.desktop().current();
    if (page)
        design_->selection.prune(*page);
    else
        design_->selection.clear();
    // The wrappers point into the page's lists, which a change may have rebuilt.
    show_page_objects(page);
    main_area_.update_ranges();
    InvalidateRect(main_area_.hwnd(), nullptr, FALSE);
    design_->surface_tool->selection_changed(main_area_);
}

void TMainForm::design_pressed(const ed::PressResult& r, POINT screen) {
    if (!design_) return;
    if (r.load_palette) {
        // The palette's attributes come from the object clicked, for what is drawn next.
        if (const auto ref = station_.desktop().find_object(r.object)) {
            if (design_->tools) {
                design_->tools->load_from(ref.entry->data);
                design_->style = design_->tools->style();
            } else {
                design_->style = ed::attributes_of(ref.entry->data, design_->style);
            }
        }
    }
    if (r.outcome == ed::PressOutcome::Popup) show_modify_popup(screen);
    if (r.outcome == ed::PressOutcome::EditObject) edit_object(r.object);
}

void TMainForm::design_released(ed::ReleaseResult r) {
    if (!design_) return;
    switch (r.outcome) {
        case ed::ReleaseOutcome::Command:
            execute(std::move(r.command));
            return;
        case ed::ReleaseOutcome::Selected:
            design_->surface_tool->selection_changed(main_area_);
            return;
        case ed::ReleaseOutcome::NewObject:
            create_object(r.tool, r.rect);
            if (GetKeyState(VK_SHIFT) >= 0) {
                design_->tool = ed::Tool::Selector;
                if (design_->tools) design_->tools->show_tool(ed::Tool::Selector);
            }
            return;
        case ed::ReleaseOutcome::None:
            return;
    }
}

void TMainForm::create_object(ed::Tool tool, const model::Bounds& rect) {
    model::Page* page = station_.desktop().current();
    if (!page || rect.width <= 0 || rect.height <= 0) return;
    if (design_->tools) design_->style = design_->tools->style();
    model::ObjectData start = ed::new_object(tool, design_->style, rect, now());
    // Objects are made through their property dialogs: OK creates one, Cancel leaves nothing.
    open_property_dialog(page->id, model::kNoId, std::move(start));
}

void TMainForm::edit_object(model::ObjectId id) {
    const auto ref = station_.desktop().find_object(id);
    if (!ref) return;
    open_property_dialog(ref.page->id, id, ref.entry->data);
}

void TMainForm::open_property_dialog(model::PageId page_id, model::ObjectId id, model::ObjectData object) {
    if (!design_ || editor::button_form_open() || editor::object_form_open()) return;
    const model::Page* page = station_.desktop().page_by_id(page_id);
    if (!page) return;
    const model::Page* shown = station_.desktop().current();
    // OK of either dialog: an edit of the object, or a new one on its page, selected.
    auto finish = [this, page_id, id](model::ObjectData edited, std::string_view edit_label, std::string_view new_label) {
        if (!design_) return;
        if (id != model::kNoId) {
            execute(ed::make_edit(station_.desktop(), id, std::move(edited), edit_label));
            return;
        }
        model::ObjectId created = model::kNoId;
        if (!execute(ed::make_create(station_.desktop(), page_id, std::move(edited), &created, new_label))) return;
        if (model::Page* p = station_.desktop().current(); p && p->id == page_id) {
            design_->selection.clear();
            design_->selection.add(*p, created);
            design_->surface_tool->selection_changed(main_area_);
        }
    };
    auto* button = std::get_if<model::ButtonData>(&object);
    if (!button) {
        editor::ObjectFormRequest request;
        request.owner = hwnd();
        request.instance = instance_;
        request.object = std::move(object);
        request.is_new = id == model::kNoId;
        request.page_color = (shown ? shown : page)->background_color;
        request.program_dir = station_.program_dir();
        request.image_dir = dir_of(station_.desktop().file_name);
        request.help = [this](int topic) { show_help(topic); };
        request.ok = [finish](model::ObjectData edited) { finish(std::move(edited), "Edit Object", "New Object"); };
        request.closed = [this] {
            if (main_area_.hwnd()) SetFocus(main_area_.hwnd());
        };
        if (!editor::open_object_form(std::move(request))) log_info("modify mode: the object's dialog did not open");
        return;
    }
    editor::ButtonFormRequest request;
    request.owner = hwnd();
    request.instance = instance_;
    request.desktop = &station_.desktop();
    request.page = page;
    request.button = *button;
    request.is_new = id == model::kNoId;
    request.page_color = (shown ? shown : page)->background_color;
    request.palette = &object_palette_;
    request.admin = &station_.admin();
    request.program_dir = station_.program_dir();
    request.file_dir = station_.settings().file_dir;
    request.drives = station_.admin().drives;
    request.restricted = vx::shell::restricted_folders(station_.admin(), system_environment());
    request.prompter = &prompter();
    request.icon_references = design_.get();
    request.help = [this](int topic) { show_help(topic); };
    request.file_dir_changed = [this](const std::string& dir) { station_.edit_settings().file_dir = dir; };
    request.ok = [finish](model::ButtonData edited) { finish(std::move(edited), "Edit Button", "New Button"); };
    request.closed = [this] {
        if (main_area_.hwnd()) SetFocus(main_area_.hwnd());
    };
    if (!editor::open_button_form(std::move(request))) log_info("modify mode: the button's dialog did not open");
}

model::ObjectId TMainForm::design_speed_key_button(std::uint16_t shortcut) const {
    const auto button = vx::shell::speed_key_button(station_.desktop(), shortcut);
    return button ? button->id : model::kNoId;
}

bool TMainForm::design_key(UINT message, WPARAM key, LPARAM flags) {
    if (!design_) return false;
    if (message == WM_KEYDOWN) {
        const bool ctrl = GetKeyState(VK_CONTROL) < 0;
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        if (ctrl && !shift) {
            switch (key) {
                case 'Z':
                    carry_out_modify(MenuCommand::Undo);
                    return true;
                case 'Y':
                    carry_out_modify(MenuCommand::Redo);
                    return true;
                case 'C':
                    carry_out_modify(MenuCommand::Copy);
                    return true;
                case 'X':
                    carry_out_modify(MenuCommand::Cut);
                    return true;
                case 'V':
                    carry_out_modify(MenuCommand::Paste);
                    return true;
                case 'A':
                    carry_out_modify(MenuCommand::SelectAll);
                    return true;
                default:
                    break;
            }
        }
        const ed::DesignKeyAction a =
            ed::design_key(static_cast<unsigned>(key), ctrl, shift, !design_->selection.empty(), design_->grid);
        switch (a.action) {
            case ed::DesignKey::BringToFront:
                carry_out_modify(MenuCommand::BringToFront);
                return true;
            case ed::DesignKey::SendToBack:
                carry_out_modify(MenuCommand::SendToBack);
                return true;
            case ed::DesignKey::Delete:
                carry_out_modify(MenuCommand::Delete);
                return true;
            case ed::DesignKey::ClearSelection:
                main_area_.tool().release(main_area_);
                design_->selection.clear();
                design_->surface_tool->selection_changed(main_area_);
                keys_.clear();
                return true;
            case ed::DesignKey::Nudge:
                execute(ed::make_move(station_.desktop(), design_->selection.ids(), a.delta.x, a.delta.y));
                return true;
            case ed::DesignKey::None:
                break;
        }
    }
    (void)flags;
    return false;
}

void TMainForm::carry_out_modify(MenuCommand command) {
    if (!design_) return;
    model::Desktop& desktop = station_.desktop();
    model::Page* page = desktop.current();
    DesignSession& d = *design_;
    const ed::ObjectIds ids = d.selection.ids();
    switch (command) {
        case MenuCommand::ExitSetup:
            leave_modify_mode();
            return;
        case MenuCommand::SetupWizard:
            return add_program_group();
        case MenuCommand::Undo:
            try {
                d.undo.undo();
            } catch (const std::exception& e) {
                prompter().alert("Error", e.what());
            }
            return after_design_change();
        case MenuCommand::Redo:
            try {
                d.undo.redo();
            } catch (const std::exception& e) {
                prompter().alert("Error", e.what());
            }
            return after_design_change();
        case MenuCommand::Cut:
            if (ids.empty()) return;
            copy_selection();
            execute(ed::make_delete(desktop, ids, ed::labels::kCut));
            return;
        case MenuCommand::Copy:
            return copy_selection();
        case MenuCommand::Paste:
            return paste_clipboard(ed::labels::kPaste);
        case MenuCommand::Duplicate:
            if (ids.empty()) return;
            copy_selection();
            return paste_clipboard(ed::labels::kDuplicate);
        case MenuCommand::Delete:
            execute(ed::make_delete(desktop, ids));
            return;
        case MenuCommand::SelectAll:
            if (!page) return;
            d.selection.select_all(*page);
            d.surface_tool->selection_changed(main_area_);
            return;
        case MenuCommand::EditObject:
            if (!ids.empty()) edit_object(ids.front());
            return;
        case MenuCommand::CopyStyle:
            return copy_style();
        case MenuCommand::PasteStyle:
            return paste_style();
        case MenuCommand::BringToFront:
            execute(ed::make_bring_to_front(desktop, ids));
            return;
        case MenuCommand::SendToBack:
            execute(ed::make_send_to_back(desktop, ids));
            return;
        case MenuCommand::Group:
            if (ids.size() >= 2) execute(ed::make_group(desktop, ids));
            return;
        case MenuCommand::Ungroup:
            execute(ed::make_ungroup(desktop, ids));
            return;
        case MenuCommand::AlignIcons: {
            if (!page) return;
            d.selection.clear();
            const RECT client = surface_client();
            if (!execute(ed::make_arrange_icons(desktop, *page, client.bottom))) after_design_change();
            return;
        }
        case MenuCommand::SetGrid:
            return set_grid();
        case MenuCommand::ShowGrid:
            d.grid.show = !d.grid.show;
            save_design_settings();
            InvalidateRect(main_area_.hwnd(), nullptr, FALSE);
            return;
        case MenuCommand::SnapToGrid:
            d.grid.snap = !d.grid.snap;
            save_design_settings();
            return;
        case MenuCommand::ShowMousePosition:
            d.show_mouse = !d.show_mouse;
            if (!d.show_mouse) SetWindowTextW(panel6_, L"");
            save_design_settings();
            return;
        case MenuCommand::ShowAlignmentTools:
            d.show_align = !d.show_align;
            show_align_window(d.show_align);
            save_design_settings();
            return;
        case MenuCommand::ShowMasterItems:
            if (page && page != desktop.master())
                execute(ed::make_show_master_items(desktop, page->id, !page->show_master_items));
            return;
        default:
            carry_out_page_command(command);
            return;
    }
}

RECT TMainForm::surface_client() const {
    RECT client{};
    GetClientRect(const_cast<surface::TKXScrollBox&>(main_area_).hwnd(), &client);
    return client;
}

// ---- clipboard and styles --------------------------------------------------------------------

void TMainForm::copy_selection() {
    if (!design_ || design_->selection.empty()) return;
    // Nothing here is told: a clipboard another program holds open just misses this copy.
    try {
        const SystemLocale locale;
        AnsiCodePageCodec codec;
        model::WriteContext ctx;
        ctx.locale = &locale;
        ctx.codec = &codec;
        const std::string text = ed::copy_text(station_.desktop(), design_->selection.ids(), ctx);
        const std::string dir = temp_dir(station_.settings());
        if (!put_clipboard(hwnd(), through_temp_file(dir, text))) log_info("modify mode: the clipboard is busy");
    } catch (const std::exception& e) {
        log_error(std::string("modify mode: copy: ") + e.what());
    }
}

void TMainForm::paste_clipboard(std::string_view label) {
    model::Page* page = station_.desktop().current();
    if (!design_ || !page) return;
    bool ours = false;
    const auto text = read_clipboard(hwnd(), &ours);
    if (!text) return;
    if (!ours) log_info("modify mode: pasting text another program put on the clipboard");
    try {
        const SystemLocale locale;
        AnsiCodePageCodec codec;
        model::ReadContext ctx;
        ctx.mode = model::ReadMode::Paste;
        ctx.locale = &locale;
        ctx.codec = &codec;
        ctx.is_administrator = [] { return true; };
        ctx.encryption_mark = &station_.encryption_mark();
        const std::string dir = temp_dir(station_.settings());
        ed::Paste paste = ed::make_paste(station_.desktop(), page->id, through_temp_file(dir, *text), ctx, label);
        if (!paste.error.empty()) log_info("modify mode: paste refused: " + paste.error);
        design_->selection.clear();
        if (execute(std::move(paste.command))) {
            for (model::ObjectId id : paste.objects) design_->selection.add(*page, id);
            design_->surface_tool->selection_changed(main_area_);
        }
    } catch (const std::exception& e) {
        log_error(std::string("modify mode: paste: ") + e.what());
    }
}

void TMainForm::paste_style() {
    if (!design_ || !design_->style_sample || design_->selection.empty()) return;
    std::vector<std::pair<model::ObjectId, model::ObjectData>> after;
    const uint16_t mask = static_cast<uint16_t>(station_.settings().style);
    for (model::ObjectId id : design_->selection.ids())
        if (const auto ref = station_.desktop().find_object(id))
            after.emplace_back(id, ed::paste_style(*design_->style_sample, mask, ref.entry->data));
    execute(ed::make_edits(station_.desktop(), std::move(after), "Paste Style"));
}

// ---- page drag -------------------------------------------------------------------------------

void TMainForm::begin_page_drag() {
    if (!design_ || design_->selection.empty()) return;
    page_drag_ = true;
    SetCapture(hwnd());
    SetCursor(LoadCursorW(nullptr, IDC_UPARROW));
}

void TMainForm::end_page_drag(POINT client, bool drop) {
    if (!page_drag_) return;
    page_drag_ = false;
    if (GetCapture() == hwnd()) ReleaseCapture();
    if (!drop || !design_) return;
    POINT in_tabs = client;
    MapWindowPoints(hwnd(), tabs_, &in_tabs, 1);
    TCHITTESTINFO hit{in_tabs, 0};
    const int tab = TabCtrl_HitTest(tabs_, &hit);
    const auto pages = station_.tab_pages();
    if (tab < 0 || tab >= static_cast<int>(pages.size())) return;
    const model::Page* target = pages[static_cast<size_t>(tab)];
    if (target == station_.desktop().current()) return;
    const ed::ObjectIds ids = design_->selection.ids();
    design_->selection.clear();
    execute(ed::make_move_to_page(station_.desktop(), ids, target->id));
}

// ---- dropped files ---------------------------------------------------------------------------

void TMainForm::drop_files(HDROP drop) {
    struct Finish {
        HDROP drop;
        ~Finish() { DragFinish(drop); }
    } finish{drop};
    if (!design_) {
        prompter().alert("Vantora!", "You must be in Modify mode to\rcreate icons by dropping files.");
        return;
    }
    model::Page* page = station_.desktop().current();
    if (!page) return;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(main_area_.hwnd(), &cursor);
    const POINT scroll = main_area_.scroll_pos();
    cursor.x += scroll.x;
    cursor.y += scroll.y;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    Win32ShellLinks links;
    AnsiCodePageCodec codec;
    vx::iconlib::IconLibrary library(station_.program_dir(), codec);
    iconlib::Win32IconSource icons;
    std::vector<ed::CommandPtr> parts;
    ed::ObjectIds created;
    // One step for the whole drop, however many files it held.
    model::Desktop& desktop = station_.desktop();
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        try {
            ed::DroppedFile file{narrow(path), std::nullopt};
            if (ed::is_shortcut_path(file.path)) file.link = links.resolve(file.path);
            const ed::DroppedButtonSource source = ed::dropped_button_source(file);
            const HDC dc = GetDC(main_area_.hwnd());
            const unique_hfont font(CreateFontW(-MulDiv(design_->style.font.size, GetDeviceCaps(dc, LOGPIXELSY), 72),
                                                0, 0, 0, (design_->style.font.style & 1) ? FW_BOLD : FW_NORMAL,
                                                FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                                                widen(design_->style.font.name).c_str()));
            SIZE extent{0, 0};
            {
                const scoped_select use(dc, font.get());
                const std::wstring caption = widen(source.caption);
                GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
            }
            ReleaseDC(main_area_.hwnd(), dc);
            const uint16_t icon = library.add_file(source.icon_source, 0, &icons);
            model::ButtonData button = ed::dropped_button(source, design_->style, {cursor.x, cursor.y},
                                                          static_cast<int>(i), {extent.cx, extent.cy}, icon);
            // As a button read from a file without its launch date gets the time it was made.
            button.launch_date = now();
            model::ObjectId id = model::kNoId;
            // Each goes to the front when the step runs, so the last file's button is on top.
            parts.push_back(ed::make_create(desktop, page->id, std::move(button), &id));
            created.push_back(id);
        } catch (const std::exception& e) {
            prompter().alert("Error", e.what());
            break;
        }
    }
    if (execute(ed::combine("Drop Files", std::move(parts)))) {
        design_->selection.clear();
        for (model::ObjectId id : created) design_->selection.add(*page, id);
        design_->surface_tool->selection_changed(main_area_);
    }
}

}  // namespace vx::win::shell

namespace vx::win::shell {

// ---- the alignment window, the grid and the styles -------------------------------------------

void TMainForm::show_align_window(bool show) {
    if (!design_) return;
    DesignSession& d = *design_;
    if (!d.align) {
        editor::AlignCallbacks callbacks;
        callbacks.align = [this](ed::Alignment how, bool relative) { align_selection(how, relative); };
        callbacks.bring_to_front = [this] { carry_out_modify(MenuCommand::BringToFront); };
        callbacks.send_to_back = [this] { carry_out_modify(MenuCommand::SendToBack); };
        callbacks.nudge = [this](ed::NudgeDirection direction, int round) { nudge(direction, round); };
        callbacks.nudge_end = [this] {
            if (design_) design_->nudging = false;
        };
        callbacks.hidden = [this] {
            if (!design_) return;
            design_->show_align = false;
            save_design_settings();
        };
        d.align = std::make_unique<editor::TAlignForm>(std::move(callbacks));
        std::string stored;
        try {
            stored = station_.store().read("", "AlignWindow").value_or("");
        } catch (const std::exception& e) {
            log_error(std::string("reading AlignWindow: ") + e.what());
        }
        if (!d.align->open(hwnd(), stored, SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)})) {
            // Modify mode goes on without it.
            log_error("modify mode: the alignment window could not be made");
            d.align.reset();
            return;
        }
        // Never placed yet: under the tool palette, where it covers neither the palette nor the page.
        if (stored.empty() && d.tools && d.tools->hwnd()) {
            RECT tools;
            GetWindowRect(d.tools->hwnd(), &tools);
            RECT frame;
            GetWindowRect(hwnd(), &frame);
            if (tools.left >= frame.right)
                SetWindowPos(d.align->hwnd(), nullptr, tools.left, tools.bottom + 8, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (show)
        d.align->show();
    else
        d.align->hide();
}

void TMainForm::align_selection(ed::Alignment how, bool relative) {
    if (!design_ || design_->selection.empty()) return;
    const model::Page* page = station_.desktop().current();
    const auto frame = design_->selection.frame(station_.desktop());
    if (!page || !frame) return;
    const RECT client = surface_client();
    ed::AlignContext ctx;
    ctx.frame = *frame;
    ctx.surface = {client.right, client.bottom};
    ctx.margins = {page->left_margin, page->top_margin};
    ctx.relative = relative;
    std::vector<model::Bounds> bounds;
    std::vector<std::pair<model::ObjectId, model::ObjectData>> after;
    for (model::ObjectId id : design_->selection.ids())
        if (const auto ref = station_.desktop().find_object(id)) {
            bounds.push_back(model::bounds_of(ref.entry->data));
            after.emplace_back(id, ref.entry->data);
        }
    const std::vector<model::Bounds> placed = ed::align(bounds, how, ctx);
    for (size_t i = 0; i < after.size() && i < placed.size(); ++i) model::bounds_of(after[i].second) = placed[i];
    execute(ed::make_edits(station_.desktop(), std::move(after), "Align"));
}

void TMainForm::nudge(ed::NudgeDirection direction, int round) {
    if (!design_ || design_->selection.empty()) return;
    DesignSession& d = *design_;
    const ed::ObjectIds ids = d.selection.ids();
    const vx::port::Point step = ed::nudge_step(direction, d.grid.snap, {d.grid.width, d.grid.height});
    // One held arrow is one step of the history: the move so far is taken back and made again
    // with the longer distance. The running distance grows by a step each round.
    if (round <= 1 || !d.nudging) {
        d.nudging = true;
        d.nudge_total = {};
    } else if (d.undo.can_undo()) {
        d.undo.undo();
    }
    d.nudge_total.x += step.x * round;
    d.nudge_total.y += step.y * round;
    execute(ed::make_move(station_.desktop(), ids, d.nudge_total.x, d.nudge_total.y));
}

void TMainForm::set_grid() {
    if (!design_) return;
    editor::GridChoice current{design_->grid.width, design_->grid.height, design_->grid.show, design_->grid.snap};
    const auto chosen = editor::show_set_grid(hwnd(), current, [this](int topic) { show_help(topic); });
    if (!chosen || !design_) return;
    design_->grid.width = ed::clamp_grid(chosen->width);
    design_->grid.height = ed::clamp_grid(chosen->height);
    design_->grid.show = chosen->show;
    design_->grid.snap = chosen->snap;
    save_design_settings();
    InvalidateRect(main_area_.hwnd(), nullptr, FALSE);
}

void TMainForm::copy_style() {
    if (!design_ || design_->selection.empty()) return;
    const uint16_t mask = static_cast<uint16_t>(station_.settings().style);
    const auto chosen = editor::show_copy_style(hwnd(), mask, [this](int topic) { show_help(topic); });
    if (!chosen || !design_) return;
    const auto ref = station_.desktop().find_object(design_->selection.ids().front());
    if (!ref) return;
    design_->style_sample = ed::style_sample_of(ref.entry->data);
    station_.edit_settings().style = *chosen;
    const std::string error = station_.save_settings();
    if (!error.empty()) log_error("modify mode: saving the style mask: " + error);
}

}  // namespace vx::win::shell
