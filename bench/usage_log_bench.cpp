// The log viewer on a large site's log: a million records read from the file, filtered,
// sorted and totalled, as one load of the viewer does. Reports the time and the peak memory
// of the load (VmHWM, reset before each run where the kernel allows it).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "port/text_codec.h"
#include "security/usage_log.h"
#include "security/usage_log_view.h"
#include "util/file_io.h"

namespace {

using namespace vx::security;
namespace fs = std::filesystem;

constexpr size_t kRecords = 1'000'000;
const vx::Windows1252Codec kCodec;

// One log file shared by every benchmark, removed at exit.
class BigLog {
public:
    BigLog() {
        dir_ = fs::temp_directory_path() / ("vx_usage_bench_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = vx::path_to_utf8(dir_ / "VX.LOG");
        std::mt19937 rng(42);
        const char* apps[] = {"Letter - Word",
                              "Budget.xls - Calc",
                              "Paint - untitled",
                              "Notepad - notes.txt",
                              "Internet Browser - Home Page",
                              "Encyclopaedia 1998",
                              "Typing Tutor"};
        std::vector<UsageRecord> chunk;
        const double first = 46023.0;  // 1 January 2026
        for (size_t i = 0; i < kRecords; ++i) {
            UsageRecord r;
            r.user = "USER" + std::to_string(rng() % 400);
            r.program = std::string(apps[rng() % 7]) + " " + std::to_string(rng() % 50);
            r.thread = static_cast<std::uint32_t>(rng());
            r.start_time = first + static_cast<double>(rng() % (365 * 86400)) / 86400.0;
            r.used_mark = r.start_time + static_cast<double>(rng() % 7200) / 86400.0;
            r.end_time = r.last_seen = r.used_mark + static_cast<double>(rng() % 600) / 86400.0;
            chunk.push_back(std::move(r));
            if (chunk.size() == 50'000) {
                append_usage_log(path_, chunk, kCodec);
                chunk.clear();
            }
        }
        append_usage_log(path_, chunk, kCodec);
    }
    ~BigLog() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const std::string& path() const { return path_; }

private:
    fs::path dir_;
    std::string path_;
};

const BigLog& big_log() {
    static const BigLog log;
    return log;
}

// Peak resident set in MB; Linux only, 0 elsewhere.
double peak_rss_mb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
        std::getline(status, key);
    }
    return 0;
}

void reset_peak_rss() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void run_view(benchmark::State& state, const UsageQuery& query) {
    const std::string& path = big_log().path();
    size_t rows = 0;
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        reset_peak_rss();
        state.ResumeTiming();
        UsageView v = load_usage_view(path, kCodec, {}, true, query);
        rows = v.rows.size();
        benchmark::DoNotOptimize(v.total);
        state.PauseTiming();
        peak = std::max(peak, peak_rss_mb());
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peak_rss_MB"] = peak;
    state.counters["records/s"] = benchmark::Counter(
        static_cast<double>(kRecords) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_UsageView_AllRecords(benchmark::State& state) {
    UsageQuery q;
    q.sort = static_cast<UsageSort>(state.range(0));
    run_view(state, q);
}
BENCHMARK(BM_UsageView_AllRecords)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UsageView_MonthAndProgramFilter(benchmark::State& state) {
    UsageQuery q;
    q.first_day = 46082.0;  // 1 March 2026
    q.last_day = 46112.0;   // 31 March 2026
    q.program_filter = "*word";
    q.sort = UsageSort::ByUser;
    run_view(state, q);
}
BENCHMARK(BM_UsageView_MonthAndProgramFilter)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
