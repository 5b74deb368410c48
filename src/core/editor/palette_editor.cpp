#include "editor/palette_editor.h"

#include <algorithm>

namespace vx::editor {

Rgb3 shift_brightness(Rgb3 bars, int shown, int moved) {
    const int d = moved - shown;
    const auto shift = [d](int v) { return std::clamp(v + d, 0, 255); };
    return {shift(bars.red), shift(bars.green), shift(bars.blue)};
}

void PaletteEditor::select(int entry) {
    selected_ = std::clamp(entry, 0, static_cast<int>(palette_.size()) - 1);
}

void PaletteEditor::set_selected(Rgb3 c) {
    auto& e = palette_[static_cast<size_t>(selected_)];
    e.red = static_cast<uint8_t>(std::clamp(c.red, 0, 255));
    e.green = static_cast<uint8_t>(std::clamp(c.green, 0, 255));
    e.blue = static_cast<uint8_t>(std::clamp(c.blue, 0, 255));
}

void PaletteEditor::reset_color() {
    palette_[static_cast<size_t>(selected_)] = original_[static_cast<size_t>(selected_)];
}

void PaletteEditor::reset_palette() {
    palette_ = original_;
    before_windows16_.reset();
}

void PaletteEditor::use_windows16(bool on) {
    if (!on) {
        if (before_windows16_)
            std::copy(before_windows16_->begin(), before_windows16_->end(), palette_.begin());
        before_windows16_.reset();
        return;
    }
    if (!before_windows16_) {
        before_windows16_.emplace();
        std::copy_n(palette_.begin(), 16, before_windows16_->begin());
    }
    const auto& colors = model::windows16_colors();
    std::copy(colors.begin(), colors.end(), palette_.begin());
}

model::PaletteReadResult PaletteEditor::load_text(std::string_view text) {
    const auto r = model::read_jasc_pal(text, palette_);
    if (r.status != model::PaletteReadResult::Status::NotAPalette) before_windows16_.reset();
    return r;
}

void PaletteEditor::load_colors(std::span<const imaging::Rgb> colors) {
    const size_t n = std::min(colors.size(), palette_.size());
    for (size_t i = 0; i < n; ++i) palette_[i] = {colors[i].r, colors[i].g, colors[i].b, 0};
    if (n > 0) before_windows16_.reset();
}

}  // namespace vx::editor
