#pragma once
// The desktop in memory: the master page, the ordinary pages in display order, the hidden
// pages that a non-administrator loaded, and the main window's options. Window code reads
// this model for tabs and menus; it owns no rule of its own about page order.
#include <array>
#include <bitset>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/objects.h"

namespace vx::model {

inline constexpr std::string_view kStartUpPage = "StartUp";
// What the master page's tab and menu item read in modify mode; the page itself has no name.
inline constexpr std::string_view kMasterTab = "Master";
inline constexpr int kMasterPageNumber = -1;
inline constexpr size_t kSpeedKeyCount = 86;
// Every item at a non-zero multiple of this position starts a new menu column.
inline constexpr int kMenuColumnLength = 20;

struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
    bool operator==(const PaletteEntry&) const = default;
};
using Palette = std::array<PaletteEntry, 256>;

// The palette a desktop starts with until a page brings its own: the 16 Windows colours, the
// 6 x 6 x 6 colour cube and 24 greys (the layout of the shipped Default.pal).
Palette default_palette();

struct ObjectEntry {
    ObjectData data;
    ObjectId id = kNoId;
};

// What the page settings and the page password editors change: everything of a page but its
// name, its place in the list, its objects and its identity.
struct PageAttributes {
    bool tile_image = true;
    bool center_image = false;
    bool wallpaper = false;
    bool visible = true;
    bool show_master_items = true;
    int32_t left_margin = 10;
    int32_t top_margin = 10;
    security::SecurityLevel security_level = security::kAdministratorLevel;
    uint32_t group = 0;
    int32_t tab_icon = 3;
    std::string password;
    std::string background;
    int32_t interval = 200;  // milliseconds
    Color background_color = kSilver;
    Palette palette{};

    bool operator==(const PageAttributes&) const = default;
};

struct Page : PageAttributes {
    PageId id = kNoId;
    int32_t number = 0;
    std::string name;
    std::bitset<kSpeedKeyCount> speed_keys_free = std::bitset<kSpeedKeyCount>().set();
    // Newest first: the front entry was created last and is drawn on top.
    std::list<ObjectEntry> objects;

    bool is_startup() const { return name == kStartUpPage; }
};

struct WindowBounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 640;
    int32_t height = 480;
};

struct WindowOptions {
    bool status_bar = true;
    bool menu_bar = true;
    bool ani_icon = true;
    // Two integers kept and written back; nothing reads them.
    int32_t kept1 = 40;
    int32_t kept2 = 40;
    bool page_tabs = true;
    bool sizeable = true;
    bool scrolling = true;
};

// A button whose timed-execution word has the scheduling bit; the main timer runs them.
struct ScheduledLaunch {
    ObjectId object = kNoId;
};

// Where an object lives; both null when no object has the id.
struct ObjectRef {
    Page* page = nullptr;
    ObjectEntry* entry = nullptr;
    explicit operator bool() const { return entry != nullptr; }
};

// An object as it stood in its page's list, for putting it back where it was.
struct PlacedObject {
    PageId page = kNoId;
    size_t index = 0;  // from the front of the list
    ObjectEntry entry;
};

struct PageMenuItem {
    const Page* page;
    bool new_column;  // the item starts a new menu column
    bool hidden;      // "StartUp" keeps its item but does not show it
};

class Desktop {
public:
    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    // A desktop read into a model of its own takes the place of the one shown.
    Desktop(Desktop&&) noexcept = default;
    Desktop& operator=(Desktop&&) noexcept = default;

    // Ordinary pages in display order.
    const std::vector<std::unique_ptr<Page>>& pages() const { return pages_; }
    // Pages loaded as invisible by a user who is not the administrator: never shown, written
    // back right after the master page's objects.
    const std::vector<std::unique_ptr<Page>>& hidden_pages() const { return hidden_; }
    Page* master() const { return master_.get(); }
    Page* current() const { return current_; }
    void set_current(Page* page) { current_ = page; }

    // -1 gives the master page; otherwise the ordinary page with that number, or null.
    Page* find_page(int number) const;
    Page* find_page(std::string_view name) const;
    // The master, an ordinary or a hidden page; null when none has the id.
    Page* page_by_id(PageId id) const;
    ObjectRef find_object(ObjectId id) const;
    Page* last_page() const { return pages_.empty() ? nullptr : pages_.back().get(); }
    int index_of(const Page* page) const;

    // A new page with the new-page values and the current logical palette, appended or,
    // when "StartUp" is last, inserted before it. Becomes the current page.
    Page& add_page(std::string name);
    // A page record with a fresh id and the new-page values, in no list yet.
    std::unique_ptr<Page> new_page_record(std::string name);
    Page& add_hidden_page(std::string name);
    Page& create_master_page();
    // Moves an ordinary page to position `to` (clamped), then renumbers.
    void move_page(int from, int to);
    // False when no ordinary page has that number.
    bool delete_page(int number);
    // Where add_page puts a page of that name: at the end, or before "StartUp" when it is last.
    size_t new_page_position(std::string_view name) const;
    // Takes an ordinary page out of the list with its objects (and out of the schedule), and
    // puts one back; neither renumbers nor changes the current page. The page keeps its id and
    // its objects theirs, so that the editor can undo a deletion.
    std::unique_ptr<Page> take_page(PageId id, size_t* position = nullptr);
    Page& insert_page(size_t position, std::unique_ptr<Page> page);
    void clear();
    void renumber_pages();

    // A fresh id, never handed out before in this process: not by this desktop (clear and load
    // included) nor by another one, so a desktop read into a model of its own and moved into
    // the shown one, or objects moved over from a scratch desktop, can never meet an id that a
    // schedule, a selection or a history still holds.
    static uint64_t new_id();

    // The new entry goes to the front (newest first) with a fresh id.
    ObjectEntry& add_object(Page& page, ObjectData data);
    void delete_object(Page& page, const ObjectEntry& entry);
    // Puts an entry, id and all, at `index` from the front (clamped to the list's end).
    ObjectEntry& insert_object(Page& page, size_t index, ObjectEntry entry);
    // Takes an object out; nullopt when no object has the id.
    std::optional<PlacedObject> remove_object(ObjectId id);
    // Replaces an object's fields; the schedule follows its timed-execution word.
    void set_object_data(ObjectEntry& entry, ObjectData data);

    // Tabs in the order the tab strip shows them. Run mode: ordinary pages without "StartUp";
    // modify mode: the master page first and "StartUp" last.
    std::vector<const Page*> tab_pages(bool modify_mode) const;
    // The items of each page menu in order, with their column breaks.
    std::vector<PageMenuItem> page_menu_items() const;

    size_t object_count() const;

    const std::vector<ScheduledLaunch>& scheduled() const { return scheduled_; }
    // Enters a button once; deleting its entry or page takes it out again.
    void schedule(ObjectId id);
    void unschedule(ObjectId id);

    std::string file_name;
    WindowBounds bounds{};
    WindowOptions options{};
    // The program's logical palette; new pages copy it and a loaded page palette replaces it.
    Palette logical_palette = default_palette();
    // The count line of the last file read, or -1; a tool without tabs writes it back.
    int file_tab_count = -1;

private:
    // In the schedule exactly when the object is a button with the scheduling bit.
    void follow_launch_word(const ObjectEntry& entry);
    void unschedule_page(const Page& page);

    std::unique_ptr<Page> master_;
    std::vector<std::unique_ptr<Page>> pages_;
    std::vector<std::unique_ptr<Page>> hidden_;
    Page* current_ = nullptr;
    std::vector<ScheduledLaunch> scheduled_;
};

inline bool menu_item_starts_column(int position) {
    return position != 0 && position % kMenuColumnLength == 0;
}

}  // namespace vx::model
