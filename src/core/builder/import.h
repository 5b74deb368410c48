#pragma once
// Filling a desktop from folders: one button per file laid out in columns, one page per
// program group, the group list of the add-a-group dialog, what a change to the Start menu
// makes, and the pages a new desktop starts with. The window layer shows the progress and
// the questions; every decision is here.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "builder/folders.h"
#include "model/desktop.h"
#include "util/datetime.h"

namespace vx::builder {

inline constexpr int kImportButtonWidth = 180;
inline constexpr int kImportButtonHeight = 40;
inline constexpr int kImportColumnStep = 190;
inline constexpr int kImportRowStep = 50;
// A column ends before a button's top would come this close to the surface's height.
inline constexpr int kImportBottomGap = 70;

// The running position of an import, starting at the page's import origin.
class ImportCursor {
public:
    ImportCursor(int left, int top, int client_height);
    model::Bounds place();  // the next button's bounds; the cursor moves on

private:
    int origin_top_;
    int client_height_;
    int left_;
    int top_;
};

struct ImportContext {
    int client_height = 0;
    DateTime created = 0;
    // The file's icon taken into the icon library, as its library index.
    std::function<uint16_t(const std::string& path)> icon_for;
    // A page is about to get its buttons (the Windows desktop's, the program folder's, each
    // group's): the window shows it.
    std::function<void(model::Page& page)> page_ready;
    // Before each program group's import, with its item count for the progress display.
    std::function<void(int count)> start_group;
    // After each button, with its caption; true when the user asked to stop.
    std::function<bool(const std::string& caption)> after_button;
};

// The button a file becomes. An internet shortcut's command is its address when it holds
// one; every other file's is its own path.
model::ButtonData import_button(const std::string& name, const std::string& path,
                                const model::Bounds& bounds, FolderSource& fs);

// One button per file of the folder (sub-folders skipped) onto `page`; true when stopped.
bool import_folder(model::Desktop& desktop, model::Page& page, const Folder& folder,
                   FolderSource& fs, const ImportContext& ctx);

struct ProgramGroup {
    Folder folder;
    int item_count = 0;  // ".LNK" files directly in the group
};

// The program groups below `root` in walk order: depth first, each folder's sub-folders
// before the folder itself.
std::vector<ProgramGroup> walk_program_groups(FolderSource& fs, const Folder& root);

// The page a group goes to: a new one when no page has its name, else the page being shown.
model::Page& page_for_group(model::Desktop& desktop, const std::string& name);

// Pages for the groups in walk order, each imported with its count; true when stopped,
// which ends the walk with the pages made so far.
bool import_program_groups(model::Desktop& desktop, const std::vector<ProgramGroup>& groups,
                           FolderSource& fs, const ImportContext& ctx);

// The "Desktop" page from the Windows desktop and the "Programs" page from the top of the
// program folder, both without a progress display, then a page per program group. True when
// the user stopped the walk; the pages made until then stay.
bool build_from_windows(model::Desktop& desktop, const WindowsFolders& folders, FolderSource& fs,
                        const ImportContext& ctx);

// "name|path count", sorted as the list shows them, each with its group. The text is only
// shown and sorted, never read back: the import takes the count from the group, so a count
// of 100 or more is written with all its digits and reaches the progress display whole.
struct GroupListEntry {
    std::string text;
    ProgramGroup group;
};
std::string group_list_text(const std::string& name, const std::string& path, int count);
std::vector<GroupListEntry> group_list(const std::vector<ProgramGroup>& groups);

// What a change in the Start menu's program folder makes. The program group is the one new
// folder; the new listing always becomes the baseline. A change is dropped while the desktop
// is in modify mode: the editor owns the pages then, and the administrator can add the group
// himself.
struct WatchOutcome {
    std::optional<FolderItem> new_group;
    bool dropped = false;
};
WatchOutcome watch_change(const std::vector<FolderItem>& baseline,
                          const std::vector<FolderItem>& listing, bool modify_mode);

// A new desktop: cleared, named after its file, with a new master page.
void start_new_desktop(model::Desktop& desktop, const std::string& file_name);
// The built desktop's first pages, the Windows desktop and the top of the program folder.
model::Page& add_desktop_page(model::Desktop& desktop);
model::Page& add_programs_page(model::Desktop& desktop);
// The "No" answer: "Page 1" shown and "StartUp" after it.
void add_blank_pages(model::Desktop& desktop);

}  // namespace vx::builder
