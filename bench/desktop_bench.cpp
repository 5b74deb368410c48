// Desktop file load/save on a large desktop, and the file cipher against a plain copy.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "model/desktop_file.h"
#include "security/file_cipher.h"

namespace {

using namespace vx::model;
namespace fs = std::filesystem;

const vx::UsEnglishLocale kLocale;
const vx::Windows1252Codec kCodec;

// 100 pages of 100 objects, every kind, with multi-line texts.
std::string big_desktop_text() {
    Desktop d;
    d.create_master_page();
    for (int p = 0; p < 100; ++p) {
        Page& page = d.add_page("Page " + std::to_string(p));
        for (int o = 0; o < 100; ++o) {
            switch (o % 5) {
                case 0: {
                    ButtonData b;
                    b.caption = "Button " + std::to_string(o);
                    b.command = "NOTEPAD.EXE\rCALC.EXE\r";
                    b.command_lines = 2;
                    b.speed_key = 0x4041;
                    b.launch_date = 36154.375;
                    d.add_object(page, b);
                    break;
                }
                case 1:
                    d.add_object(page, ShapeData{});
                    break;
                case 2:
                    d.add_object(page, LineData{});
                    break;
                case 3: {
                    LabelData l;
                    l.text = "Some label text\rsecond line\r";
                    l.text_lines = 2;
                    d.add_object(page, l);
                    break;
                }
                default:
                    d.add_object(page, ImageData{});
                    break;
            }
        }
    }
    WriteContext w;
    w.locale = &kLocale;
    w.codec = &kCodec;
    return write_desktop_text(d, w);
}

void BM_DesktopLoad100x100(benchmark::State& state) {
    const std::string text = big_desktop_text();
    ReadContext ctx;
    ctx.locale = &kLocale;
    ctx.codec = &kCodec;
    for (auto _ : state) {
        Desktop d;
        load_desktop_text(d, text, ctx);
        benchmark::DoNotOptimize(d.object_count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_DesktopLoad100x100)->Unit(benchmark::kMillisecond);

void BM_DesktopSave100x100(benchmark::State& state) {
    const std::string text = big_desktop_text();
    ReadContext ctx;
    ctx.locale = &kLocale;
    ctx.codec = &kCodec;
    Desktop d;
    load_desktop_text(d, text, ctx);
    WriteContext w;
    w.locale = &kLocale;
    w.codec = &kCodec;
    for (auto _ : state) {
        const std::string out = write_desktop_text(d, w);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_DesktopSave100x100)->Unit(benchmark::kMillisecond);

constexpr size_t k64MB = size_t(64) << 20;

void BM_KeystreamInMemory64MB(benchmark::State& state) {
    vx::Bytes data(k64MB, 0x5A);
    const uint8_t seed = vx::security::key_seed(vx::security::kDesktopKey);
    for (auto _ : state) {
        vx::security::apply_keystream(seed, data.data(), data.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(k64MB));
}
BENCHMARK(BM_KeystreamInMemory64MB)->Unit(benchmark::kMillisecond);

struct TempFile {
    fs::path path = fs::temp_directory_path() / "vx_bench_cipher.bin";
    TempFile() { vx::write_file_atomic(vx::path_to_utf8(path), vx::Bytes(k64MB, 0x5A)); }
    ~TempFile() {
        std::error_code ec;
        fs::remove(path, ec);
        fs::remove(fs::path(path) += ".copy", ec);
    }
};

// One in-place cipher pass over a 64 MB file (read, keystream, atomic replace); the direction
// alternates so every pass does the full work.
void BM_CipherFile64MB(benchmark::State& state) {
    TempFile f;
    const std::string p = vx::path_to_utf8(f.path);
    int mark = 1;
    bool enc = true;
    for (auto _ : state) {
        vx::security::cipher_file(
            p, vx::security::kDesktopKey,
            enc ? vx::security::CipherDirection::Encipher : vx::security::CipherDirection::Decipher, mark);
        enc = !enc;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(k64MB));
}
BENCHMARK(BM_CipherFile64MB)->Unit(benchmark::kMillisecond)->Iterations(6);

// The baseline: a plain copy of the same file.
void BM_PlainCopy64MB(benchmark::State& state) {
    TempFile f;
    const fs::path copy = fs::path(f.path) += ".copy";
    for (auto _ : state) {
        fs::copy_file(f.path, copy, fs::copy_options::overwrite_existing);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(k64MB));
}
BENCHMARK(BM_PlainCopy64MB)->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace
