// The main window's part of the desktop builder: the new-desktop procedure, "Setup &Wizard"
// and the Start-menu watch. The rules are core's (builder/); this file shows the questions,
// the progress and the pages.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "builder/import.h"
#include "builder/new_desktop.h"
#include "editor/object_commands.h"
#include "editor/page_commands.h"
#include "iconlib/library.h"
#include "shell/window_order.h"
#include "util/file_io.h"
#include "win/builder/group_dialog.h"
#include "win/builder/progress_report.h"
#include "win/builder/start_menu_watcher.h"
#include "win/builder/win_folders.h"
#include "win/iconlib/win_icon_source.h"
#include "win/shell/main_form.h"
#include "win/shell/shell_links.h"
#include "win/shell/top_most_windows.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::shell {

namespace bld = vx::builder;
namespace ed = vx::editor;

namespace {

constexpr const char* kAddProgramGroupStep = "Add Program Group";

// Where the icons of an import go: the library beside the program, each file's own icon.
struct ImportIcons {
    explicit ImportIcons(const std::string& program_dir) : library(program_dir, codec) {}
    uint16_t operator()(const std::string& path) {
        return library.add_file(builder::icon_source_of(path, links), 0, &icons);
    }
    AnsiCodePageCodec codec;
    vx::iconlib::IconLibrary library;
    Win32ShellLinks links;
    iconlib::Win32IconSource icons;
};

// What every import of the window starts from: the surface's height, the time, the icons.
bld::ImportContext import_context(HWND surface, DateTime created, ImportIcons& icons) {
    RECT client{};
    GetClientRect(surface, &client);
    bld::ImportContext ctx;
    ctx.client_height = client.bottom;
    ctx.created = created;
    ctx.icon_for = std::ref(icons);
    return ctx;
}

}  // namespace

bld::FolderSource& TMainForm::folder_source() {
    if (folder_source_) return *folder_source_;
    if (!own_folder_source_) own_folder_source_ = std::make_unique<builder::Win32FolderSource>();
    return *own_folder_source_;
}

builder::TProgressReport& TMainForm::progress_report() {
    if (!progress_)
        progress_ = std::make_unique<builder::TProgressReport>(
            hwnd(), [this](const std::string& caption, const std::string& question) {
                return prompter().ask_yes_no(caption, question);
            });
    return *progress_;
}

bool TMainForm::import_onto(model::Page& page, const bld::Folder& folder, int count) {
    // Into the desktop shown (run mode) or into a page of its own whose buttons the designer
    // then takes as one step.
    model::Desktop scratch;
    const bool designer = design_ != nullptr;
    model::Desktop& desktop = designer ? scratch : station_.desktop();
    model::Page* into = &page;
    if (designer) {
        into = &scratch.add_page(page.name);
        into->left_margin = page.left_margin;
        into->top_margin = page.top_margin;
    }
    ImportIcons icons(station_.program_dir());
    bld::ImportContext ctx = import_context(main_area_.hwnd(), now(), icons);
    builder::TProgressReport& progress = progress_report();
    if (count > 0) {
        ctx.after_button = [&progress](const std::string& caption) {
            progress.step(std::nullopt, "Creating: \"" + caption + "\"", 1);
            return progress.poll();
        };
    }
    bool stopped = false;
    {
        Win32TopMostWindows top_most;
        std::optional<vx::shell::NormalWindowOrder> order;
        if (count > 0) {
            // The progress window stays in front of every window kept on top.
            order.emplace(top_most);
            progress.start(count);
            EnableWindow(hwnd(), FALSE);
        }
        const bool was_building = building_;
        building_ = true;
        try {
            stopped = bld::import_folder(desktop, *into, folder, folder_source(), ctx);
        } catch (const std::exception& e) {
            log_error("importing " + (folder.paths.empty() ? folder.name : folder.paths.front()) + ": " +
                      e.what());
            prompter().alert("Error", e.what());
            // One message, not one for every group still to come.
            stopped = true;
        }
        building_ = was_building;
        if (count > 0) {
            EnableWindow(hwnd(), TRUE);
            progress.finish();
        }
    }
    if (designer) {
        std::vector<ed::CommandPtr> parts;
        // The page keeps its newest object first; made in the same order, they stack the same.
        for (auto it = into->objects.rbegin(); it != into->objects.rend(); ++it)
            parts.push_back(ed::make_create(station_.desktop(), page.id, it->data));
        if (!parts.empty()) execute(ed::combine(kAddProgramGroupStep, std::move(parts)));
    } else {
        // The new buttons' icons may be numbers the library had no entry for when last asked.
        model::Page* shown = station_.desktop().current();
        show_page(nullptr);
        if (library_pictures_) library_pictures_->clear();
        show_page(shown);
        UpdateWindow(main_area_.hwnd());
    }
    if (!building_ && start_menu_change_waiting_) {
        start_menu_change_waiting_ = false;
        start_menu_changed();
    }
    return stopped;
}

bool TMainForm::new_desktop_procedure() {
    if (building_) return false;
    if (!new_desktop_chooser_) {
        log_info("new desktop: no file selector for the new file");
        return false;
    }
    const std::string current = station_.desktop().file_name.empty() ? station_.settings().desktop_file
                                                                     : station_.desktop().file_name;
    const bld::NewDesktopQuestions questions{prompter(), new_desktop_chooser_,
                                             [](const std::string& path) { return file_exists(path); }};
    const auto plan = bld::ask_new_desktop(questions, current);
    if (!plan) return false;

    stop_watching_start_menu();
    station_.clear();
    model::Desktop& desktop = station_.desktop();
    bld::start_new_desktop(desktop, plan->file);
    if (!plan->from_windows) {
        bld::add_blank_pages(desktop);
        refresh_desktop_view();
        if (design_) design_->undo.reset();
        // "Page 1", the second tab once "Master" leads.
        if (design_ || enter_modify_mode())
            select_tab(1);
        else
            show_first_tab();
        start_watching_start_menu();
        return true;
    }

    building_ = true;
    const bld::WindowsFolders folders = builder::windows_folders(folder_source());
    // The progress window for the groups, the icons into the library, each page shown before
    // its buttons arrive.
    ImportIcons icons(station_.program_dir());
    bld::ImportContext ctx = import_context(main_area_.hwnd(), now(), icons);
    builder::TProgressReport& progress = progress_report();
    int group_count = 0;
    model::Page* filled = nullptr;
    ctx.page_ready = [this, &filled](model::Page& page) {
        // The page just filled shows its buttons before the next one is made.
        if (filled) {
            show_page(filled);
            UpdateWindow(main_area_.hwnd());
        }
        filled = &page;
        rebuild_tabs();
        const int tab = station_.tab_of(&page);
        if (tab >= 0) TabCtrl_SetCurSel(tabs_, tab);
        show_page(&page);
        UpdateWindow(main_area_.hwnd());
    };
    ctx.start_group = [&](int count) {
        group_count = count;
        progress.finish();
        if (count > 0) progress.start(count);
    };
    ctx.after_button = [&](const std::string& caption) {
        if (group_count <= 0) return false;
        progress.step(std::nullopt, "Creating: \"" + caption + "\"", 1);
        return progress.poll();
    };
    {
        Win32TopMostWindows top_most;
        const vx::shell::NormalWindowOrder order(top_most);
        EnableWindow(hwnd(), FALSE);
        try {
            bld::build_from_windows(desktop, folders, folder_source(), ctx);
        } catch (const std::exception& e) {
            log_error(std::string("building a desktop: ") + e.what());
            prompter().alert("Error", e.what());
        }
        EnableWindow(hwnd(), TRUE);
        progress.finish();
    }
    building_ = false;
    // Stopped or not, what was made is kept.
    if (const std::string error = save_desktop(); !error.empty())
        prompter().alert("Error", "The desktop could not be saved to " + desktop.file_name + ".\r" + error);
    if (design_) {
        design_->undo.reset();
        design_->undo.mark_saved();
    }
    show_page(nullptr);
    if (library_pictures_) library_pictures_->clear();
    refresh_desktop_view();
    show_first_tab();
    SetForegroundWindow(hwnd());
    start_watching_start_menu();
    if (start_menu_change_waiting_) {
        start_menu_change_waiting_ = false;
        start_menu_changed();
    }
    return true;
}

void TMainForm::add_program_group() {
    if (!design_ || building_) return;
    const bld::WindowsFolders folders = builder::windows_folders(folder_source());
    const auto entries = bld::group_list(bld::walk_program_groups(folder_source(), folders.programs));
    const auto chosen =
        builder::show_add_program_group(hwnd(), entries, [this](int topic) { show_help(topic); });
    if (!chosen) return;
    const bld::ProgramGroup& group = entries[*chosen].group;
    model::Desktop& desktop = station_.desktop();
    if (!desktop.find_page(group.folder.name)) {
        model::PageId added = model::kNoId;
        if (execute(ed::make_add_page(desktop, group.folder.name, &added))) {
            rebuild_tabs();
            select_tab(station_.tab_of(desktop.page_by_id(added)));
        }
    }
    if (model::Page* page = desktop.current()) import_onto(*page, group.folder, group.item_count);
}

void TMainForm::start_watching_start_menu() {
    const bld::WindowsFolders folders = builder::windows_folders(folder_source());
    start_menu_baseline_ = bld::list_folder(folder_source(), folders.programs);
    if (!watcher_) watcher_ = std::make_unique<builder::StartMenuWatcher>([this] { start_menu_changed(); });
    if (!watcher_->start(folders.programs.paths))
        log_info("the Start menu's program folder cannot be watched");
}

void TMainForm::stop_watching_start_menu() {
    if (watcher_) watcher_->stop();
}

bool TMainForm::watching_start_menu() const {
    return watcher_ && watcher_->running();
}

void TMainForm::start_menu_changed() {
    // An import is running (its progress lets messages through): the change waits for its end.
    if (building_) {
        start_menu_change_waiting_ = true;
        return;
    }
    const bld::WindowsFolders folders = builder::windows_folders(folder_source());
    auto listing = bld::list_folder(folder_source(), folders.programs);
    const bld::WatchOutcome outcome = bld::watch_change(start_menu_baseline_, listing, modify_mode());
    start_menu_baseline_ = std::move(listing);
    if (outcome.dropped) log_info("a change in the Start menu arrived in modify mode and is not imported");
    if (outcome.new_group && !station_.locked()) {
        const bld::Folder group{outcome.new_group->name, outcome.new_group->paths};
        const bool existed = station_.desktop().find_page(group.name) != nullptr;
        model::Page& page = bld::page_for_group(station_.desktop(), group.name);
        if (!existed) {
            rebuild_tabs();
            rebuild_menu();
            select_tab(station_.tab_of(&page));
        }
        if (model::Page* current = station_.desktop().current()) import_onto(*current, group, 0);
    }
    // Watched again while the folder is there; the baseline stays the listing just taken.
    if (watcher_ &&
        folder_source().list(folders.programs.paths.empty() ? std::string() : folders.programs.paths.front()))
        watcher_->start(folders.programs.paths);
}

}  // namespace vx::win::shell
