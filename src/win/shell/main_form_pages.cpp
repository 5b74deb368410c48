// The main window's page commands in modify mode: adding, deleting, renaming, copying and
// moving pages (from the menus and by dragging tabs), "Page Settings" and "Set Page Password".
// Each is one step of the designer's history; the rules are in core/editor/page_commands.h and
// page_settings.h, and the tabs, menus and page shown follow every step that touched a page.
#include "win/shell/main_form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "editor/object_properties.h"
#include "editor/page_commands.h"
#include "editor/page_settings.h"
#include "model/desktop_file.h"
#include "security/access.h"
#include "security/page_password.h"
#include "shell/user_restrictions.h"
#include "util/file_io.h"
#include "win/dialogs/win_file_system.h"
#include "win/editor/color_form.h"
#include "win/editor/page_forms.h"
#include "win/security/security_dialogs.h"
#include "win/util/system_locale.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {

using vx::shell::MenuCommand;
namespace ed = vx::editor;

namespace {

// Neither "Master" nor "StartUp": a page that may be renamed, deleted, copied and moved.
bool ordinary_page(const model::Desktop& desktop, const model::Page* page) {
    return page && page != desktop.master() && !page->is_startup();
}

}  // namespace

bool TMainForm::carry_out_page_command(MenuCommand command) {
    switch (command) {
        case MenuCommand::AddPage:
            add_page();
            return true;
        case MenuCommand::DeletePage:
            delete_page();
            return true;
        case MenuCommand::RenamePage:
            rename_page();
            return true;
        case MenuCommand::CopyPage:
            copy_page();
            return true;
        case MenuCommand::MovePage:
            move_page();
            return true;
        case MenuCommand::PageSettings:
            page_settings();
            return true;
        case MenuCommand::PagePassword:
            page_password();
            return true;
        case MenuCommand::SetPalette:
            set_palette();
            return true;
        default:
            return false;
    }
}

void TMainForm::add_page() {
    if (!design_) return;
    const auto title =
        editor::show_page_title(hwnd(), editor::kAddPageCaption, "", [this](int topic) { show_help(topic); });
    if (!title || !design_) return;
    main_area_.tool().release(main_area_);
    design_->selection.clear();
    execute(ed::make_add_page(station_.desktop(), *title));
}

void TMainForm::delete_page() {
    model::Desktop& desktop = station_.desktop();
    const model::Page* page = desktop.current();
    if (!design_ || !ordinary_page(desktop, page)) return;
    const model::PageId id = page->id;
    if (!prompter().ask_yes_no("Delete Page", "Are you sure that you want to delete " + page->name + "?") ||
        !design_)
        return;
    main_area_.tool().release(main_area_);
    design_->selection.clear();
    execute(ed::make_delete_page(desktop, id));
}

void TMainForm::rename_page() {
    model::Desktop& desktop = station_.desktop();
    const model::Page* page = desktop.current();
    if (!design_ || !ordinary_page(desktop, page)) return;
    const model::PageId id = page->id;
    const auto title = editor::show_page_title(hwnd(), editor::kRenamePageCaption, page->name,
                                               [this](int topic) { show_help(topic); });
    if (!title || !design_) return;
    execute(ed::make_rename_page(desktop, id, *title));
}

void TMainForm::copy_page() {
    model::Desktop& desktop = station_.desktop();
    const model::Page* page = desktop.current();
    if (!design_ || !ordinary_page(desktop, page)) return;
    main_area_.tool().release(main_area_);
    design_->selection.clear();
    // A page that does not copy is only traced: nothing changed, and nobody asked for a message.
    try {
        const SystemLocale locale;
        AnsiCodePageCodec codec;
        model::WriteContext write;
        write.locale = &locale;
        write.codec = &codec;
        model::ReadContext read;
        read.mode = model::ReadMode::Paste;
        read.locale = &locale;
        read.codec = &codec;
        read.is_administrator = [] { return true; };
        read.encryption_mark = &station_.encryption_mark();
        ed::PageCopy copy = ed::make_copy_page(desktop, page->id, read, write);
        if (!copy.command) {
            log_info("modify mode: the page was not copied: " + copy.error);
            return;
        }
        execute(std::move(copy.command));
    } catch (const std::exception& e) {
        log_error(std::string("modify mode: copying the page: ") + e.what());
    }
}

void TMainForm::move_page() {
    model::Desktop& desktop = station_.desktop();
    const model::Page* page = desktop.current();
    if (!design_ || !ordinary_page(desktop, page)) return;
    std::vector<const model::Page*> offered;
    std::vector<std::string> names;
    size_t current = 0;
    for (const auto& p : desktop.pages()) {
        if (p->is_startup()) continue;
        if (p.get() == page) current = offered.size();
        offered.push_back(p.get());
        names.push_back(p->name);
    }
    const model::PageId id = page->id;
    const auto choice = editor::show_move_page(hwnd(), names, current, [this](int topic) { show_help(topic); });
    if (!choice || !design_ || choice->target >= offered.size()) return;
    // The dialog was modal: nothing changed the page list while it was up.
    execute(ed::make_move_page(desktop, id, offered[choice->target]->id, choice->place));
}

void TMainForm::icon_library_changed() {
    // The icon library window may have moved or compacted entries: every picture of it is read
    // again, the tab icon's frames with them.
    tab_frames_ = nullptr;
    library_pictures()->clear();
    loaded_tab_icon_ = -1;
    pages_changed_ = true;
}

void TMainForm::page_settings() {
    model::Desktop& desktop = station_.desktop();
    const model::Page* page = desktop.current();
    if (!design_ || !page || page == desktop.master()) return;
    const model::PageId id = page->id;
    editor::PageSettingsRequest request;
    request.values = ed::page_settings_of(*page, vx::security::administrator_logged_in(station_.admin()));
    request.palette = page->palette;
    request.program_dir = station_.program_dir();
    const std::string desktop_dir = dir_of(desktop.file_name);
    request.find_image = [this, desktop_dir](const std::string& typed) {
        return ed::resolve_image_file(typed, station_.program_dir(), desktop_dir,
                                      [](const std::string& p) { return file_exists(p); });
    };
    request.image_dir = station_.settings().image_dir;
    request.drives = station_.admin().drives;
    request.restricted = vx::shell::restricted_folders(station_.admin(), system_environment());
    request.icon_references = design_.get();
    request.show_master_items = [this, id](bool show) {
        execute(ed::make_show_master_items(station_.desktop(), id, show));
    };
    const auto result = editor::show_page_settings(hwnd(), std::move(request));
    if (!result || !design_) return;
    station_.edit_settings().image_dir = result->image_dir;
    if (result->library_changed) icon_library_changed();
    if (!execute(ed::make_page_settings_ok(desktop, id, result->values, result->found_image)))
        after_design_change();
}

void TMainForm::set_palette() {
    const model::Page* page = station_.desktop().current();
    if (!design_ || !page) return;
    const model::PageId id = page->id;
    editor::ColorFormValues values;
    values.palette = page->palette;
    values.palette_dir = station_.settings().pal_dir;
    values.drives = station_.admin().drives;
    values.restricted = vx::shell::restricted_folders(station_.admin(), system_environment());
    editor::TColorForm form(values);
    form.show_help = [this](int topic) { show_help(topic); };
    const bool ok = form.run(hwnd()) == IDOK;
    // Where loading and saving went is kept, whatever became of the palette.
    station_.edit_settings().pal_dir = values.palette_dir;
    if (ok && design_) execute(ed::make_set_palette(station_.desktop(), id, values.palette));
}

void TMainForm::page_password() {
    model::Desktop& desktop = station_.desktop();
    const model::Page* page = desktop.current();
    if (!design_ || !page || page == desktop.master()) return;
    const model::PageId id = page->id;
    win::security::PagePasswordValue value;
    value.password = page->password;
    value.level = page->security_level;
    value.group = static_cast<int32_t>(page->group);
    win::security::PagePasswordDialog dialog(station_.admin(), value);
    dialog.show_help = [this](int topic) { show_help(topic); };
    if (dialog.run(hwnd()) != IDOK || !design_) return;
    const model::Page* now = desktop.page_by_id(id);
    if (!now) return;
    model::PageAttributes after = *now;
    after.password = value.password;
    after.security_level = value.level;
    after.group = static_cast<uint32_t>(std::max<int32_t>(value.group, 0));
    execute(ed::make_page_settings(desktop, id, std::move(after), vx::security::kPagePasswordCaption));
}

// ---- following the pages ---------------------------------------------------------------------

void TMainForm::watch_pages() {
    if (!design_) return;
    pages_changed_ = false;
    page_watch_ = design_->events.subscribe([this](const ed::ChangeSet& changes) {
        for (const ed::Change& c : changes)
            if (c.what != ed::Change::What::Objects) pages_changed_ = true;
    });
    SetWindowSubclass(tabs_, &TMainForm::tabs_proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void TMainForm::follow_page_changes() {
    pages_changed_ = false;
    model::Page* page = station_.desktop().current();
    rebuild_tabs();
    rebuild_menu();
    TabCtrl_SetCurSel(tabs_, page ? station_.tab_of(page) : -1);
    // The page again: its palette, wallpaper, tab icon and the timer's interval may have changed.
    show_page(page);
}

// ---- dragging tabs ---------------------------------------------------------------------------

LRESULT CALLBACK TMainForm::tabs_proc(HWND tabs, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                      DWORD_PTR self) {
    auto* form = reinterpret_cast<TMainForm*>(self);
    try {
        if (message == WM_LBUTTONDOWN) {
            // The strip selects the pressed tab first, which shows its page.
            const LRESULT r = DefSubclassProc(tabs, message, wparam, lparam);
            form->tab_mouse(message, lparam);
            return r;
        }
        if (form->tab_mouse(message, lparam)) return 0;
    } catch (const std::exception& e) {
        log_error(std::string("page tabs: ") + e.what());
        form->tab_drag_from_ = -1;
        form->tab_dragging_ = false;
    }
    return DefSubclassProc(tabs, message, wparam, lparam);
}

int TMainForm::tab_at(POINT in_tabs) const {
    TCHITTESTINFO hit{in_tabs, 0};
    return TabCtrl_HitTest(tabs_, &hit);
}

bool TMainForm::tab_mouse(UINT message, LPARAM lparam) {
    const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    const int last = station_.tab_count() - 1;
    // "Master" (the first tab) and "StartUp" (the last) neither move nor take a page.
    auto movable = [last](int tab) { return tab >= 1 && tab < last; };
    switch (message) {
        case WM_LBUTTONDOWN: {
            if (!design_) return false;
            const int tab = tab_at(at);
            if (!movable(tab) || station_.current_tab() != tab) return false;
            tab_drag_from_ = tab;
            tab_drag_start_ = at;
            tab_dragging_ = false;
            SetCapture(tabs_);
            return true;
        }
        case WM_MOUSEMOVE: {
            if (tab_drag_from_ < 0) return false;
            if (!tab_dragging_ && (std::abs(at.x - tab_drag_start_.x) > GetSystemMetrics(SM_CXDRAG) ||
                                   std::abs(at.y - tab_drag_start_.y) > GetSystemMetrics(SM_CYDRAG)))
                tab_dragging_ = true;
            if (tab_dragging_) {
                const int target = tab_at(at);
                SetCursor(LoadCursorW(nullptr, movable(target) && target != tab_drag_from_ ? IDC_UPARROW : IDC_NO));
            }
            return true;
        }
        case WM_LBUTTONUP: {
            if (tab_drag_from_ < 0) return false;
            const int from = tab_drag_from_;
            const bool dragged = tab_dragging_;
            tab_drag_from_ = -1;
            tab_dragging_ = false;
            if (GetCapture() == tabs_) ReleaseCapture();
            const int target = tab_at(at);
            if (!design_ || !dragged || !movable(target) || target == from || station_.current_tab() != from)
                return true;
            const auto pages = station_.tab_pages();
            execute(ed::make_drop_page(station_.desktop(), pages[static_cast<size_t>(from)]->id,
                                       pages[static_cast<size_t>(target)]->id));
            return true;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lparam) != tabs_) {
                tab_drag_from_ = -1;
                tab_dragging_ = false;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace vx::win::shell
