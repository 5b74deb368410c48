#pragma once
// What "Set Palette" does to the logical palette, without its window: the entry being edited,
// the copy taken when the dialog opened (for "Re&set Color", "Reset &Palette" and Cancel), the
// colour bars with their brightness, the Windows 16 colours and the colours of a loaded file
// or picture. The dialog shows this state and passes the person's actions in.
#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "imaging/pcx.h"
#include "model/desktop.h"
#include "model/palette_file.h"

namespace vx::editor {

// The brightness bar shows the largest of the three components.
inline int brightness(int red, int green, int blue) {
    return std::max({red, green, blue});
}

struct Rgb3 {
    int red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb3&, const Rgb3&) = default;
};

// Moving the brightness bar from `shown` (the value in its edit) to `moved` moves all three
// colour bars by the difference, each kept within 0 to 255.
Rgb3 shift_brightness(Rgb3 bars, int shown, int moved);

class PaletteEditor {
public:
    explicit PaletteEditor(const model::Palette& logical) : palette_(logical), original_(logical) {}

    const model::Palette& palette() const { return palette_; }
    const model::Palette& original() const { return original_; }
    int selected() const { return selected_; }
    const model::PaletteEntry& selected_entry() const { return palette_[static_cast<size_t>(selected_)]; }

    // Clamped to 0..255.
    void select(int entry);
    // The bars' colour goes into the selected entry (its flags are kept).
    void set_selected(Rgb3 color);
    void reset_color();
    void reset_palette();
    // On: entries 0 to 15 become the Windows colours. Off: they get back what they held when the
    // box was ticked. Only what the tick changed is taken back; the other entries' edits stay.
    void use_windows16(bool on);

    // A palette file: read over the current palette (see model::read_jasc_pal for what stays).
    // What a file loads is the new state: unticking the Windows colours afterwards keeps it.
    model::PaletteReadResult load_text(std::string_view text);
    // A picture's colours go into the entries from 0 on; entries beyond them keep theirs.
    void load_colors(std::span<const imaging::Rgb> colors);

private:
    model::Palette palette_;
    model::Palette original_;
    int selected_ = 0;
    std::optional<std::array<model::PaletteEntry, 16>> before_windows16_;
};

}  // namespace vx::editor
