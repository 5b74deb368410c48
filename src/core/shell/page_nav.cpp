#include "shell/page_nav.h"

#include <algorithm>
#include <charconv>

#include "security/access.h"
#include "util/file_io.h"

namespace vx::shell {

KeyAction page_key_action(PageKey key, int current, int tab_count) {
    KeyAction action;
    if (key == PageKey::F10) {
        action.login = true;
        return action;
    }
    if (tab_count <= 0) return action;
    int target = current;
    switch (key) {
        case PageKey::PageUp:
            target = current > 0 ? current - 1 : 0;
            break;
        case PageKey::PageDown:
            target = std::min(current + 1, tab_count - 1);
            break;
        case PageKey::Home:
        case PageKey::Escape:
            target = 0;
            break;
        case PageKey::End:
            target = tab_count - 1;
            break;
        case PageKey::F10:
            break;
    }
    target = std::clamp(target, 0, tab_count - 1);
    if (target != current) action.tab = target;
    return action;
}

bool page_opens_unasked(const model::Page& page, const security::AdminData& admin) {
    return page.password.empty() || security::access_rule(admin, static_cast<int32_t>(page.security_level));
}

int first_tab_to_show(const std::vector<const model::Page*>& tabs, const security::AdminData& admin) {
    for (size_t i = 0; i < tabs.size(); ++i)
        if (page_opens_unasked(*tabs[i], admin)) return static_cast<int>(i);
    return tabs.empty() ? -1 : 0;
}

int main_timer_interval(const model::Page* page) {
    constexpr int kShortest = 50;
    constexpr int kNoPage = 1000;
    return page ? std::max(kShortest, static_cast<int>(page->interval)) : kNoPage;
}

ShowPagePlan plan_show_page(const model::Page& page, const std::string& loaded_wallpaper, int loaded_tab_icon,
                            bool tabs_shown) {
    ShowPagePlan plan;
    plan.timer_interval = main_timer_interval(&page);
    if (page.wallpaper && !page.background.empty() && page.background != loaded_wallpaper)
        plan.load_wallpaper = page.background;
    plan.reload_tab_icon = page.tab_icon != loaded_tab_icon;
    if (!tabs_shown) plan.panel_text = page.name;
    return plan;
}

std::vector<std::string> wallpaper_candidates(const std::string& name, const std::string& program_dir,
                                              const std::string& desktop_file) {
    std::vector<std::string> out;
    auto add = [&](std::string path) {
        if (!path.empty() && std::find(out.begin(), out.end(), path) == out.end())
            out.push_back(std::move(path));
    };
    if (name.empty()) return out;
    add(name);
    const std::string base = file_name_of(name);
    if (!program_dir.empty()) add(join_path(program_dir, base));
    const std::string desk_dir = dir_of(desktop_file);
    if (!desk_dir.empty()) add(join_path(desk_dir, base));
    return out;
}

BackgroundMode background_mode(const model::Page* page, bool picture_found) {
    if (!page) return BackgroundMode::Silver;
    if (!page->wallpaper || page->background.empty() || !picture_found) return BackgroundMode::Colour;
    if (page->tile_image) return BackgroundMode::Tile;
    if (page->center_image) return BackgroundMode::Centre;
    return BackgroundMode::Stretch;
}

std::vector<std::pair<int, int>> tile_origins(int picture_w, int picture_h, int client_w, int client_h,
                                              int scroll_x, int scroll_y) {
    std::vector<std::pair<int, int>> out;
    // A zero-sized picture would never advance.
    if (picture_w <= 0 || picture_h <= 0) return out;
    for (int y = -scroll_y; y < client_h; y += picture_h)
        for (int x = -scroll_x; x < client_w; x += picture_w) out.emplace_back(x, y);
    return out;
}

CentreLayout centre_layout(int picture_w, int picture_h, int client_w, int client_h) {
    CentreLayout c;
    const int x = (client_w - picture_w) / 2;
    const int y = (client_h - picture_h) / 2;
    c.picture = {x, y, x + picture_w, y + picture_h};
    auto band = [&](Rect r) {
        r.left = std::max(r.left, 0);
        r.top = std::max(r.top, 0);
        r.right = std::min(r.right, client_w);
        r.bottom = std::min(r.bottom, client_h);
        if (r.right > r.left && r.bottom > r.top) c.bands.push_back(r);
    };
    band({0, 0, client_w, y});                          // above
    band({0, y + picture_h, client_w, client_h});       // below
    band({0, y, x, y + picture_h});                     // left
    band({x + picture_w, y, client_w, y + picture_h});  // right
    return c;
}

TopPanelLayout top_panel_layout(const model::WindowOptions& o, int status_bar_height, int tab_strip_height) {
    TopPanelLayout t;
    t.visible = o.status_bar || o.ani_icon || o.page_tabs;
    t.status_area = o.status_bar || o.ani_icon;
    if (!t.visible)
        t.height = 0;
    else if (o.status_bar && !o.ani_icon && !o.page_tabs)
        t.height = status_bar_height;
    else if (o.page_tabs && !o.status_bar && !o.ani_icon)
        t.height = tab_strip_height;
    else
        t.height = 46;
    return t;
}

int sizing_border_change(const std::string& text) {
    int value = 1;
    const char* b = text.data();
    const char* e = b + text.size();
    auto [p, ec] = std::from_chars(b, e, value);
    if (ec != std::errc{} || p != e) value = 1;
    return value * 2;
}

}  // namespace vx::shell
