#pragma once
// "Page Settings" as a value, in the pattern of the object editors: page_settings_of fills it
// from a page, the dialog moves its controls in and out of it, and make_page_settings_ok turns
// OK into one step of the history (the page's own attributes and, when asked, the look given
// to every other page).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editor/command.h"
#include "model/desktop.h"

namespace vx::editor {

// The animation track bar: "Faster" at 0, "Slower" at 40, ten milliseconds a step.
inline constexpr int kSpeedTrackMin = 0;
inline constexpr int kSpeedTrackMax = 40;
int interval_of_track(int position);
// Where an interval shows on the track bar; intervals beyond either end show there.
int track_of_interval(int32_t interval);

// The working-area margins' spin edits.
inline constexpr int kMarginMin = 0;
inline constexpr int kMarginMax = 999;
// A typed margin: digits brought into 0..999, anything else (an empty box too) `fallback`.
int32_t margin_from(std::string_view text, int32_t fallback);

struct PageSettingsValues {
    bool wallpaper = false;  // "WallPaper:" rather than "Solid Color:"
    model::Color background_color = model::kSilver;
    std::string image;  // the background image as typed
    bool tile = true;   // "Tile Image"; with centre off too, the picture is stretched
    bool center = false;
    int32_t tab_icon = 3;
    int track = 19;  // the speed track bar's position
    std::string left_margin, top_margin;
    bool show_master_items = true;
    bool copy_to_all = false;
    bool hide = false;           // "Hide this page to any user that is not the administrator"
    bool hide_offered = false;   // only the administrator sees (and so changes) the hide box
    bool operator==(const PageSettingsValues&) const = default;
};

PageSettingsValues page_settings_of(const model::PageAttributes& page, bool administrator);

// "Tile Image", "Center Image" and "Stretch Image to fit Desktop" exclude each other.
enum class PictureLayout { Tile, Center, Stretch };
void check_layout(PageSettingsValues& v, PictureLayout checked);
PictureLayout layout_of(const PageSettingsValues& v);

// OK's first two steps. `found` is where the typed image name was found (see
// resolve_image_file): only a name that was found becomes the background image, kept as typed;
// one found nowhere leaves the page's image as it was. An empty box clears it, since there is no
// other way to take an image off a page. The hide box counts only when it was offered.
model::PageAttributes apply(const PageSettingsValues& v, const model::PageAttributes& before,
                            const std::optional<std::string>& found);

// OK as one step: the page's attributes and, with "Copy to All Pages", the look of the page
// given to every other ordinary page. Null when nothing changes.
CommandPtr make_page_settings_ok(const model::Desktop& desktop, model::PageId page, const PageSettingsValues& v,
                                 const std::optional<std::string>& found);

}  // namespace vx::editor
