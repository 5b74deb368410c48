// The button face's own cost: geometry, edges, gradient bands and caption layout for a page
// of 500 mixed buttons, against a canvas that draws nothing. The GDI cost under Wine is
// measured by bench/win/button_paint_gdi.cpp.
#include <benchmark/benchmark.h>

#include "button_page.h"
#include "objects/button_paint.h"

namespace {

class NullCanvas final : public vx::port::Canvas {
public:
    long calls = 0;
    int bits_per_pixel() const override { return 32; }
    void select_palette(const vx::port::Palette*) override {}
    void set_pen(const vx::port::Pen&) override { ++calls; }
    void set_brush(const vx::port::Brush&) override { ++calls; }
    void set_mix_mode(vx::port::MixMode) override {}
    void push_clip_rect(const vx::port::Rect&) override {}
    void push_clip_ellipse(const vx::port::Rect&) override {}
    void pop_clip() override {}
    void rectangle(const vx::port::Rect&) override { ++calls; }
    void round_rect(const vx::port::Rect&, int, int) override { ++calls; }
    void ellipse(const vx::port::Rect&) override { ++calls; }
    void polygon(const vx::port::Point*, int) override { ++calls; }
    void arc(const vx::port::Rect&, vx::port::Point, vx::port::Point) override { ++calls; }
    void line(vx::port::Point, vx::port::Point) override { ++calls; }
    void polyline(const vx::port::Point*, int) override { ++calls; }
    void fill_rect(const vx::port::Rect&, vx::port::Color) override { ++calls; }
    void set_pixel(vx::port::Point, vx::port::Color) override {}
    void set_font(const vx::port::Font&) override {}
    void set_text_color(vx::port::Color) override {}
    int text_height() override { return 13; }
    vx::port::Size measure_text(std::string_view t, const vx::port::TextFormat&) override {
        return {static_cast<int>(t.size()) * 6, 13};
    }
    void draw_text(const vx::port::Rect&, std::string_view, const vx::port::TextFormat&) override { ++calls; }
    vx::port::Size icon_size(vx::port::IconId) override { return {32, 32}; }
    void draw_icon(vx::port::IconId, vx::port::Point) override { ++calls; }
};

void BM_PaintButtonPage(benchmark::State& state) {
    const auto page = vx::bench::mixed_button_page(static_cast<int>(state.range(0)));
    NullCanvas canvas;
    for (auto _ : state) {
        for (const auto& b : page) {
            vx::objects::ButtonState s;
            s.icon = b.show_icon ? 1 : vx::port::kNoIcon;
            benchmark::DoNotOptimize(vx::objects::paint_button(canvas, b, s, {}));
        }
    }
    state.counters["draw_calls_per_frame"] =
        static_cast<double>(canvas.calls) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PaintButtonPage)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace
