#pragma once
// A page of buttons as a site lays them out: every style, some patterns, gradients, icons and
// two-line captions, in a grid of 80 x 64 cells.
#include <string>
#include <vector>

#include "model/objects.h"

namespace vx::bench {

inline std::vector<model::ButtonData> mixed_button_page(int count) {
    std::vector<model::ButtonData> page;
    page.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        model::ButtonData b;
        b.btn_style = i % 30;
        b.bounds = {(i % 25) * 80, (i / 25) * 64, 76, 60};
        b.caption = "Item " + std::to_string(i) + (i % 2 ? "~&Open" : "");
        b.pattern = static_cast<uint8_t>(i % 7 == 3 ? 1 + i % 40 : 0);
        if (b.pattern == 7) b.pattern = 8;
        b.color = i % 3 ? 0xFF0000 : 0x40A040;
        b.pen.width = 1 + i % 3;
        b.text_align = i % 3;
        b.show_icon = i % 4 == 0;
        page.push_back(b);
    }
    return page;
}

}  // namespace vx::bench
