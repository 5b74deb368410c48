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

namespace vx::bench {

// A page of every kind of object in the same grid: of every five cells three are buttons (all
// thirty styles), and one each a shape (all styles) and, in turn, a label, an image or a line.
// `picture` names the images' picture file; empty leaves them frames only.
inline std::vector<model::ObjectData> mixed_page(int count, const std::string& picture = {}) {
    std::vector<model::ObjectData> page;
    page.reserve(static_cast<size_t>(count));
    const std::vector<model::ButtonData> buttons = mixed_button_page(count);
    for (int i = 0; i < count; ++i) {
        const model::Bounds cell = buttons[static_cast<size_t>(i)].bounds;
        const int slot = i % 5, turn = (i / 5) % 3;
        if (slot < 3) {
            model::ButtonData b = buttons[static_cast<size_t>(i)];
            b.btn_style = (i / 5 * 3 + slot) % 30;
            page.emplace_back(b);
        } else if (slot == 3) {
            model::ShapeData s;
            s.bounds = cell;
            s.shape = (i / 5) % 27;
            s.color = i % 2 ? 0x2060C0 : 0xC0C0C0;
            s.pattern = static_cast<uint8_t>(i % 9 == 3 ? 2 + i % 30 : 0);
            s.pen.width = 1 + i % 2;
            page.emplace_back(s);
        } else if (turn == 0) {
            model::LabelData l;
            l.bounds = cell;
            l.shape = (i / 15) % 21;
            l.alignment = i % 3;
            l.text = "Label " + std::to_string(i) + "\r\nsecond line\r\n";
            l.text_lines = 2;
            page.emplace_back(l);
        } else if (turn == 1) {
            model::ImageData m;
            m.bounds = cell;
            m.shape = (i / 15) % 21;
            m.stretch = i % 2 == 0;
            m.center = !m.stretch;
            m.picture_path = picture;
            m.image_name = picture;
            page.emplace_back(m);
        } else {
            model::LineData l;
            l.bounds = cell;
            l.align = i % 6;
            l.pen.width = 1 + i % 4;
            l.pen_color = 0x000080;
            page.emplace_back(l);
        }
    }
    return page;
}

}  // namespace vx::bench
