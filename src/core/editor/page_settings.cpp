#include "editor/page_settings.h"

#include <algorithm>
#include <vector>

#include "editor/page_commands.h"

namespace vx::editor {

int interval_of_track(int position) {
    return std::clamp(position, kSpeedTrackMin, kSpeedTrackMax) * 10 + 1;
}

int track_of_interval(int32_t interval) {
    // Intervals below 1 would divide to a position left of "Faster".
    return std::clamp((std::max<int32_t>(interval, 1) - 1) / 10, kSpeedTrackMin, kSpeedTrackMax);
}

int32_t margin_from(std::string_view text, int32_t fallback) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return fallback;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return fallback;
    // Long runs of digits are simply too large, whatever number they would make.
    const size_t lead = std::min(text.find_first_not_of('0'), text.size() - 1);
    text.remove_prefix(lead);
    if (text.size() > 3) return kMarginMax;
    int32_t value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return std::clamp(value, kMarginMin, kMarginMax);
}

PageSettingsValues page_settings_of(const model::PageAttributes& page, bool administrator) {
    PageSettingsValues v;
    v.wallpaper = page.wallpaper;
    v.background_color = page.background_color;
    v.image = page.background;
    v.tile = page.tile_image;
    v.center = page.center_image && !page.tile_image;
    v.tab_icon = page.tab_icon;
    v.track = track_of_interval(page.interval);
    v.left_margin = std::to_string(page.left_margin);
    v.top_margin = std::to_string(page.top_margin);
    v.show_master_items = page.show_master_items;
    v.hide = !page.visible;
    v.hide_offered = administrator;
    return v;
}

void check_layout(PageSettingsValues& v, PictureLayout checked) {
    v.tile = checked == PictureLayout::Tile;
    v.center = checked == PictureLayout::Center;
}

PictureLayout layout_of(const PageSettingsValues& v) {
    return v.tile ? PictureLayout::Tile : v.center ? PictureLayout::Center : PictureLayout::Stretch;
}

model::PageAttributes apply(const PageSettingsValues& v, const model::PageAttributes& before,
                            const std::optional<std::string>& found) {
    model::PageAttributes a = before;
    if (v.image.empty())
        a.background.clear();
    else if (found)
        a.background = v.image;
    a.background_color = v.background_color;
    // The track bar's own steps: an interval typed into the file between them comes back on one.
    if (v.track != track_of_interval(before.interval)) a.interval = interval_of_track(v.track);
    if (v.hide_offered) a.visible = !v.hide;
    a.tab_icon = v.tab_icon;
    a.wallpaper = v.wallpaper;
    // The layout the page had stays in its own flags (a file may hold both tile and centre).
    const bool tiled_before = before.tile_image;
    const PictureLayout was = tiled_before ? PictureLayout::Tile
                              : before.center_image ? PictureLayout::Center
                                                    : PictureLayout::Stretch;
    if (layout_of(v) != was) {
        a.tile_image = v.tile;
        a.center_image = !v.tile && v.center;
    }
    a.show_master_items = v.show_master_items;
    a.left_margin = margin_from(v.left_margin, before.left_margin);
    a.top_margin = margin_from(v.top_margin, before.top_margin);
    return a;
}

CommandPtr make_page_settings_ok(const model::Desktop& desktop, model::PageId page_id, const PageSettingsValues& v,
                                 const std::optional<std::string>& found) {
    const model::Page* page = desktop.page_by_id(page_id);
    if (!page) return nullptr;
    const model::PageAttributes after = apply(v, *page, found);
    std::vector<CommandPtr> parts;
    parts.push_back(make_page_settings(desktop, page_id, after));
    if (v.copy_to_all) parts.push_back(make_copy_to_all_pages(desktop, page_id, after));
    return combine(labels::kPageSettings, std::move(parts));
}

}  // namespace vx::editor
