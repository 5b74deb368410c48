#pragma once
// Page rules of the main window in run mode, as pure functions of the state: which tab a key
// selects, what showing a page changes, how the background and the top panel are laid out.
// The window applies the results; it decides nothing here itself.
#include <optional>
#include <string>
#include <vector>

#include "model/desktop.h"
#include "security/admin_data.h"

namespace vx::shell {

enum class PageKey { PageUp, PageDown, Home, Escape, End, F10 };

struct KeyAction {
    std::optional<int> tab;  // the tab to select, when it differs from the current one
    bool login = false;      // open the log-in dialog
};

// Key release in the main window; `tab_count` tabs, `current` selected (-1 for none).
KeyAction page_key_action(PageKey key, int current, int tab_count);

// Whether the page opens without the password prompt's dialog: it has no password, or the
// logged-in user passes its level.
bool page_opens_unasked(const model::Page& page, const security::AdminData& admin);

// The tab a station shows first: the first whose page opens unasked, so that nobody at the
// station meets a question while a page is free to them; when every page asks, the first tab,
// whose password prompt then decides. -1 without tabs.
int first_tab_to_show(const std::vector<const model::Page*>& tabs, const security::AdminData& admin);

// The main timer's period in milliseconds while `page` is shown: the page's interval, never
// below 50 (a tick must leave the message loop time for input); one second with no page shown.
int main_timer_interval(const model::Page* page);

// What showing `page` changes beyond object visibility.
struct ShowPagePlan {
    int palette_entries = 255;  // a page palette loads entries 0..254; a whole file load sets 256
    int timer_interval = 200;   // main_timer_interval of the page
    // Set when the wallpaper has to be (re)loaded: the page's background name.
    std::optional<std::string> load_wallpaper;
    bool reload_tab_icon = false;
    // The text of the page title panel; empty while the page tabs show the name instead.
    std::string panel_text;
};

ShowPagePlan plan_show_page(const model::Page& page, const std::string& loaded_wallpaper, int loaded_tab_icon,
                            bool tabs_shown);

// Where a page's wallpaper is looked for, in order: as named, the program's folder, the
// desktop file's folder. Duplicates are dropped.
std::vector<std::string> wallpaper_candidates(const std::string& name, const std::string& program_dir,
                                              const std::string& desktop_file);

enum class BackgroundMode { Silver, Colour, Tile, Centre, Stretch };

// `picture_found`: the wallpaper file was found and decoded.
BackgroundMode background_mode(const model::Page* page, bool picture_found);

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

// Top-left corners of the tiles covering a client of `client_w` x `client_h` scrolled to
// (`scroll_x`, `scroll_y`): from minus the scroll positions in steps of the picture size.
std::vector<std::pair<int, int>> tile_origins(int picture_w, int picture_h, int client_w, int client_h,
                                              int scroll_x, int scroll_y);

struct CentreLayout {
    Rect picture;
    std::vector<Rect> bands;  // the page-colour bands around it (empty ones left out)
};
CentreLayout centre_layout(int picture_w, int picture_h, int client_w, int client_h);

struct TopPanelLayout {
    bool visible = true;
    int height = 46;
    bool status_area = true;  // the status bar, animated icon and title panel column
};

TopPanelLayout top_panel_layout(const model::WindowOptions& options, int status_bar_height,
                                int tab_strip_height);

// Width and height change when the sizing option is turned on (+) or off (-): the `WIN.INI`
// border width, doubled. Text that is not a number counts as the default 1.
int sizing_border_change(const std::string& border_width_text);

}  // namespace vx::shell
