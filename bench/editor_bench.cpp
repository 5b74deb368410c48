// The designer's core on a full page: moving every object of a 500-button page as one step and
// taking it back, a press that misses all 500, and the id lookup the schedule makes per tick
// on a desktop of 10 000 objects.
#include <benchmark/benchmark.h>

#include "button_page.h"
#include "editor/hit_test.h"
#include "editor/object_commands.h"
#include "editor/undo_stack.h"

namespace {

using namespace vx;

void BM_MoveAll500AndUndo(benchmark::State& state) {
    model::Desktop d;
    model::Page& page = d.add_page("P");
    editor::ObjectIds all;
    for (const auto& b : bench::mixed_button_page(500)) all.push_back(d.add_object(page, b).id);
    editor::ChangeEvents events;
    editor::UndoStack stack(d, events);
    for (auto _ : state) {
        stack.execute(editor::make_move(d, all, 3, 2));
        stack.undo();
    }
}
BENCHMARK(BM_MoveAll500AndUndo)->Unit(benchmark::kMillisecond);

void BM_PressMissing500(benchmark::State& state) {
    model::Desktop d;
    model::Page& page = d.add_page("P");
    for (const auto& b : bench::mixed_button_page(500)) d.add_object(page, b);
    for (auto _ : state) benchmark::DoNotOptimize(editor::object_at(page, {5000, 5000}));
}
BENCHMARK(BM_PressMissing500)->Unit(benchmark::kMicrosecond);

void BM_FindLastOf10000(benchmark::State& state) {
    model::Desktop d;
    model::ObjectId last = model::kNoId;
    for (int p = 0; p < 100; ++p) {
        model::Page& page = d.add_page("Page " + std::to_string(p));
        for (int o = 0; o < 100; ++o) last = d.add_object(page, model::ShapeData{}).id;
    }
    for (auto _ : state) benchmark::DoNotOptimize(d.find_object(last));
}
BENCHMARK(BM_FindLastOf10000)->Unit(benchmark::kMicrosecond);

}  // namespace
