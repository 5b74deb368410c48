// Icon library figures: compaction of a 5,000-entry library (the library window's OK) and
// loading an entry from one (every button and page tab icon at start-up).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "iconlib/library.h"

namespace {

using namespace vx::iconlib;

constexpr int kEntries = 5000;
constexpr size_t kEntryBytes = 766;  // a 32x32 16-colour icon

struct Library {
    std::filesystem::path dir;
    vx::Windows1252Codec codec;
    std::vector<IndexRecord> records;
    vx::Bytes data;

    explicit Library(const char* name) : dir(std::filesystem::temp_directory_path() / name) {
        std::filesystem::create_directories(dir);
        data.resize(kEntries * kEntryBytes);
        for (int i = 0; i < kEntries; ++i) {
            IndexRecord r;
            r.size = static_cast<int32_t>(kEntryBytes);
            r.offset = static_cast<int32_t>(i * kEntryBytes);
            r.set_name("ICON" + std::to_string(i) + ".ICO");
            r.type = (i % 10 == 3) ? -kTypeIcon : kTypeIcon;  // one in ten deleted
            records.push_back(r);
            data[i * kEntryBytes] = static_cast<uint8_t>(i);
        }
    }
    ~Library() { std::filesystem::remove_all(dir); }
    IconLibrary open() const { return IconLibrary(vx::path_to_utf8(dir), codec); }
    void write() const {
        const auto lib = open();
        vx::write_file_atomic(lib.index_path(), serialize_index(records));
        vx::write_file_atomic(lib.data_path(), data);
    }
};

struct Refs : IconReferences {
    std::vector<uint16_t> numbers = std::vector<uint16_t>(2000, 4321);  // buttons, cursors and tabs
    void renumber(const std::function<uint16_t(uint16_t)>& f) override {
        for (auto& n : numbers) n = f(n);
    }
};

void BM_Compact5000(benchmark::State& state) {
    Library fixture("vx_bench_iconlib_compact");
    for (auto _ : state) {
        state.PauseTiming();
        fixture.write();
        Refs refs;
        state.ResumeTiming();
        auto lib = fixture.open();
        benchmark::DoNotOptimize(lib.compact(&refs));
    }
}
BENCHMARK(BM_Compact5000)->Unit(benchmark::kMillisecond);

void BM_LoadFrom5000(benchmark::State& state) {
    Library fixture("vx_bench_iconlib_load");
    fixture.write();
    const auto lib = fixture.open();
    for (auto _ : state) {
        uint16_t n = kEntries - 7;
        benchmark::DoNotOptimize(lib.load(n));
    }
}
BENCHMARK(BM_LoadFrom5000)->Unit(benchmark::kMicrosecond);

}  // namespace
