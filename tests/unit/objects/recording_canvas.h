#pragma once
// A canvas that writes down what is drawn, with the pen and brush in force, so that paint
// geometry can be checked without a display. Text is measured as 6 pixels a character and
// 13 pixels a line; icons are 32 x 32.
#include <sstream>
#include <string>
#include <vector>

#include "port/canvas.h"

namespace vx::test {

struct DrawOp {
    enum Kind {
        Rectangle,
        RoundRect,
        Ellipse,
        Polygon,
        Arc,
        Line,
        Polyline,
        FillRect,
        Pixel,
        Text,
        Icon,
        ClipRect,
        ClipEllipse,
        PopClip
    };
    Kind kind;
    port::Rect rect{};
    std::vector<port::Point> points;
    port::Pen pen{};
    port::Brush brush{};
    port::Color color = 0;  // fill, pixel or text colour
    std::string text;
};

class RecordingCanvas : public port::Canvas {
public:
    int bpp = 32;
    std::vector<DrawOp> ops;
    port::Font font{};
    const port::Palette* palette = nullptr;
    int char_width = 6;
    int line_height = 13;

    int bits_per_pixel() const override { return bpp; }
    void select_palette(const port::Palette* p) override { palette = p; }
    void set_pen(const port::Pen& p) override { pen_ = p; }
    void set_brush(const port::Brush& b) override { brush_ = b; }
    void set_mix_mode(port::MixMode) override {}
    void push_clip_rect(const port::Rect& r) override { add(DrawOp::ClipRect, r); }
    void push_clip_ellipse(const port::Rect& r) override { add(DrawOp::ClipEllipse, r); }
    void pop_clip() override { add(DrawOp::PopClip, {}); }
    void rectangle(const port::Rect& r) override { add(DrawOp::Rectangle, r); }
    void round_rect(const port::Rect& r, int cw, int ch) override {
        add(DrawOp::RoundRect, r).points = {{cw, ch}};
    }
    void ellipse(const port::Rect& r) override { add(DrawOp::Ellipse, r); }
    void polygon(const port::Point* p, int n) override { add(DrawOp::Polygon, {}).points.assign(p, p + n); }
    void arc(const port::Rect& r, port::Point s, port::Point e) override {
        add(DrawOp::Arc, r).points = {s, e};
    }
    void line(port::Point a, port::Point b) override { add(DrawOp::Line, {a.x, a.y, b.x, b.y}); }
    void polyline(const port::Point* p, int n) override { add(DrawOp::Polyline, {}).points.assign(p, p + n); }
    void fill_rect(const port::Rect& r, port::Color c) override { add(DrawOp::FillRect, r).color = c; }
    void set_pixel(port::Point p, port::Color c) override {
        add(DrawOp::Pixel, {p.x, p.y, p.x + 1, p.y + 1}).color = c;
    }
    void set_font(const port::Font& f) override { font = f; }
    void set_text_color(port::Color c) override { text_color_ = c; }
    int text_height() override { return line_height; }
    port::Size measure_text(std::string_view text, const port::TextFormat&) override {
        return {static_cast<int>(text.size()) * char_width, line_height};
    }
    void draw_text(const port::Rect& r, std::string_view text, const port::TextFormat&) override {
        auto& op = add(DrawOp::Text, r);
        op.text = std::string(text);
        op.color = text_color_;
    }
    port::Size icon_size(port::IconId) override { return {32, 32}; }
    void draw_icon(port::IconId id, port::Point at) override {
        add(DrawOp::Icon, {at.x, at.y, at.x + 32, at.y + 32}).color = static_cast<port::Color>(id);
    }

    std::vector<DrawOp> of(DrawOp::Kind k) const {
        std::vector<DrawOp> out;
        for (const auto& op : ops)
            if (op.kind == k) out.push_back(op);
        return out;
    }

private:
    DrawOp& add(DrawOp::Kind k, const port::Rect& r) {
        ops.push_back(DrawOp{k, r, {}, pen_, brush_, 0, {}});
        return ops.back();
    }
    port::Pen pen_{};
    port::Brush brush_{};
    port::Color text_color_ = 0;
};

}  // namespace vx::test
