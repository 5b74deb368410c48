#pragma once
// The selectors' tree-and-list browser: a tree of the offered drives and their directories and
// a list of one directory's subdirectories and files. It never shows or enters a restricted
// directory, and offers nothing but choosing: no shell menus, no launching, no dragging out.
#include <windows.h>
// windows.h first
#include <commctrl.h>

#include <deque>
#include <string>
#include <vector>

#include "dialogs/location.h"

namespace vx::win {

class FileBrowser {
public:
    struct Options {
        bool show_system_files = false;
        bool show_details = false;
        int text_case = 1;
        // One folder icon and one file icon for everything, instead of each file's own icon:
        // quicker in a large folder, and no icon handler of a file type is asked.
        bool generic_icon = false;
        int name_width = 0;  // of the list's name column; 0: its own
    };
    struct ListEntry {
        std::string name;  // as stored on disk, whatever the text case shows
        bool directory = false;
    };

    void attach(HWND tree, HWND list, const dialogs::Restrictions* rules, dialogs::FileSystem* fs,
                Options options);
    void fill_drives();
    // Called for TVN_ITEMEXPANDINGW.
    void populate(HTREEITEM item);
    // Shows a canonical, allowed, existing directory; false (nothing changes) otherwise.
    bool go_to(const std::string& directory);
    // Called for TVN_SELCHANGEDW: the directory of the newly selected tree item.
    std::string path_of(HTREEITEM item) const;
    void refresh_list();
    void set_mask(const std::string& mask) { mask_ = mask; }

    const std::string& current() const { return current_; }
    // The name column's width now, and whether the user changed it from what it was given.
    int name_width() const;
    bool name_width_changed() const { return list_ && name_width() != given_name_width_; }
    // The icon the list shows for an entry (an index into the system's small image list).
    int icon_of(const std::string& path, bool directory) const;
    void set_current(const std::string& directory) { current_ = directory; }
    // The entry at list position `index`, or null.
    const ListEntry* entry(int index) const;
    int find_entry(const std::string& name) const;

private:
    struct Node {
        std::string path;
        bool populated = false;
    };
    HTREEITEM add_node(HTREEITEM parent, const std::string& path, const std::string& label);
    std::vector<WIN32_FIND_DATAW> read_dir(const std::string& directory) const;
    bool matches(const std::wstring& name) const;
    bool leads_somewhere_allowed(const std::string& path) const;

    HWND tree_ = nullptr;
    HWND list_ = nullptr;
    const dialogs::Restrictions* rules_ = nullptr;
    dialogs::FileSystem* fs_ = nullptr;
    Options options_;
    std::deque<Node> nodes_;
    std::vector<ListEntry> entries_;
    std::string current_;
    std::string mask_ = "*.*";
    int given_name_width_ = 0;
    int generic_folder_icon_ = -1;
    int generic_file_icon_ = -1;
};

}  // namespace vx::win
