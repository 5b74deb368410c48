// Payload codec throughput on 16 MB of mixed data, in MB/s of uncompressed bytes. The
// installer's decoder must keep up with a plain transcription of the classic program (a
// 16-bit bit buffer fed one byte at a time, one bit per tree step), which lives here only
// as the yardstick and as an independent check of the bit stream.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "setup/lzhuf.h"

namespace {

using vx::setup::Bytes;

Bytes mixed_data(size_t size) {
    std::mt19937 rng(2026);
    Bytes out;
    out.reserve(size);
    const std::string words[] = {"Vantora ", "desktop ", "button ", "page ", "\r\n", "level=1000 ", "MZ\x90"};
    while (out.size() < size) {
        switch (rng() % 5) {
            case 0:
                for (int i = 0; i < 30; ++i) {
                    const auto& w = words[rng() % 7];
                    out.insert(out.end(), w.begin(), w.end());
                }
                break;
            case 1:
                out.insert(out.end(), rng() % 200, static_cast<uint8_t>(rng()));
                break;
            case 2:
                for (int i = 0; i < 300; ++i) out.push_back(static_cast<uint8_t>(rng() & 0x3F));
                break;
            case 3:
                for (int i = 0; i < 100; ++i) out.push_back(static_cast<uint8_t>(rng()));
                break;
            default:
                if (out.size() > 5000) {
                    const size_t back = 1 + rng() % 4000, n = 3 + rng() % 300;
                    for (size_t i = 0; i < n; ++i) out.push_back(out[out.size() - back]);
                }
        }
    }
    out.resize(size);
    return out;
}

// --- the classic program, transcribed -------------------------------------------------------
namespace classic {

constexpr int N = 4096, F = 60, THRESHOLD = 2, N_CHAR = 256 - THRESHOLD + F, T = N_CHAR * 2 - 1, R = T - 1;
constexpr unsigned MAX_FREQ = 0x8000;

unsigned char d_code[256], d_len[256];
unsigned freq[T + 1];
int prnt[T + N_CHAR], son[T];
unsigned char text_buf[N + F - 1];
unsigned getbuf;
unsigned getlen;
const uint8_t* in;
const uint8_t* in_end;

void make_tables() {
    static const int lens[] = {3, 4, 4, 4};
    int i = 0;
    unsigned code = 0;
    auto add = [&](int len) {
        for (unsigned b = code; b < code + (1u << (8 - len)); ++b) {
            d_code[b] = static_cast<unsigned char>(i);
            d_len[b] = static_cast<unsigned char>(len);
        }
        code += 1u << (8 - len);
        ++i;
    };
    for (int l : lens) add(l);
    for (int k = 0; k < 8; ++k) add(5);
    for (int k = 0; k < 12; ++k) add(6);
    for (int k = 0; k < 24; ++k) add(7);
    for (int k = 0; k < 16; ++k) add(8);
}

// Input and output either straight from memory or, as the classic program does it, one
// byte at a time through stdio.
FILE* in_file = nullptr;
int getc_() {
    if (in_file) return std::getc(in_file);
    return in < in_end ? *in++ : -1;
}

int GetBit() {
    int i;
    while (getlen <= 8) {
        if ((i = getc_()) < 0) i = 0;
        getbuf |= static_cast<unsigned>(i) << (8 - getlen);
        getlen += 8;
    }
    i = static_cast<int>(getbuf);
    getbuf = (getbuf << 1) & 0xFFFF;
    getlen--;
    return (i & 0x8000) ? 1 : 0;
}

int GetByte() {
    int i;
    while (getlen <= 8) {
        if ((i = getc_()) < 0) i = 0;
        getbuf |= static_cast<unsigned>(i) << (8 - getlen);
        getlen += 8;
    }
    i = static_cast<int>(getbuf);
    getbuf = (getbuf << 8) & 0xFFFF;
    getlen -= 8;
    return i >> 8;
}

void StartHuff() {
    int i, j;
    for (i = 0; i < N_CHAR; i++) {
        freq[i] = 1;
        son[i] = i + T;
        prnt[i + T] = i;
    }
    i = 0;
    j = N_CHAR;
    while (j <= R) {
        freq[j] = freq[i] + freq[i + 1];
        son[j] = i;
        prnt[i] = prnt[i + 1] = j;
        i += 2;
        j++;
    }
    freq[T] = 0xffff;
    prnt[R] = 0;
}

void reconst() {
    int i, j, k;
    unsigned f, l;
    j = 0;
    for (i = 0; i < T; i++) {
        if (son[i] >= T) {
            freq[j] = (freq[i] + 1) / 2;
            son[j] = son[i];
            j++;
        }
    }
    for (i = 0, j = N_CHAR; j < T; i += 2, j++) {
        k = i + 1;
        f = freq[j] = freq[i] + freq[k];
        for (k = j - 1; f < freq[k]; k--) {
        }
        k++;
        l = static_cast<unsigned>(j - k) * sizeof freq[0];
        std::memmove(&freq[k + 1], &freq[k], l);
        freq[k] = f;
        std::memmove(&son[k + 1], &son[k], l);
        son[k] = i;
    }
    for (i = 0; i < T; i++) {
        if ((k = son[i]) >= T) {
            prnt[k] = i;
        } else {
            prnt[k] = prnt[k + 1] = i;
        }
    }
}

void update(int c) {
    int i, j, l;
    unsigned k;
    if (freq[R] == MAX_FREQ) reconst();
    c = prnt[c + T];
    do {
        k = ++freq[c];
        if (k > freq[l = c + 1]) {
            while (k > freq[++l]) {
            }
            l--;
            freq[c] = freq[l];
            freq[l] = k;
            i = son[c];
            prnt[i] = l;
            if (i < T) prnt[i + 1] = l;
            j = son[l];
            son[l] = i;
            prnt[j] = c;
            if (j < T) prnt[j + 1] = c;
            son[c] = j;
            c = l;
        }
    } while ((c = prnt[c]) != 0);
}

int DecodeChar() {
    unsigned c = static_cast<unsigned>(son[R]);
    while (c < T) {
        c += static_cast<unsigned>(GetBit());
        c = static_cast<unsigned>(son[c]);
    }
    c -= T;
    update(static_cast<int>(c));
    return static_cast<int>(c);
}

int DecodePosition() {
    unsigned i, j, c;
    i = static_cast<unsigned>(GetByte());
    c = static_cast<unsigned>(d_code[i]) << 6;
    j = d_len[i];
    j -= 2;
    while (j--) i = (i << 1) + static_cast<unsigned>(GetBit());
    return static_cast<int>(c | (i & 0x3f));
}

void Decode(const Bytes& packed, Bytes& out, FILE* out_file = nullptr) {
    in = packed.data();
    in_end = packed.data() + packed.size();
    getbuf = getlen = 0;
    StartHuff();
    for (int i = 0; i < N - F; i++) text_buf[i] = ' ';
    int r = N - F;
    size_t count = 0;
    const size_t textsize = out.size();
    auto put = [&](int c) {
        if (out_file) {
            std::putc(c, out_file);
            ++count;
        } else {
            out[count++] = static_cast<uint8_t>(c);
        }
    };
    while (count < textsize) {
        int c = DecodeChar();
        if (c < 256) {
            put(c);
            text_buf[r++] = static_cast<unsigned char>(c);
            r &= (N - 1);
        } else {
            const int i = (r - DecodePosition() - 1) & (N - 1);
            const int j = c - 255 + THRESHOLD;
            for (int k = 0; k < j && count < textsize; k++) {
                c = text_buf[(i + k) & (N - 1)];
                put(c);
                text_buf[r++] = static_cast<unsigned char>(c);
                r &= (N - 1);
            }
        }
    }
}

}  // namespace classic

struct Corpus {
    Bytes plain = mixed_data(16 << 20);
    Bytes packed = vx::setup::lzhuf_encode(plain);
    Corpus() {
        classic::make_tables();
        Bytes check(plain.size());
        classic::Decode(packed, check);
        if (check != plain) {
            std::fprintf(stderr, "the classic decoder disagrees with the encoder\n");
            std::abort();
        }
    }
};

const Corpus& corpus() {
    static const Corpus c;
    return c;
}

void report(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.counters["ratio"] = static_cast<double>(corpus().packed.size()) / static_cast<double>(bytes);
}

void BM_LzhufDecode(benchmark::State& state) {
    const Corpus& c = corpus();
    Bytes out(c.plain.size());
    for (auto _ : state) {
        size_t pos = 0;
        vx::setup::LzhufDecoder dec([&](uint8_t* buf, size_t cap) {
            const size_t take = std::min(cap, c.packed.size() - pos);
            std::memcpy(buf, c.packed.data() + pos, take);
            pos += take;
            return take;
        });
        dec.decode(out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    }
    report(state, c.plain.size());
}

void BM_LzhufDecodeClassic(benchmark::State& state) {
    const Corpus& c = corpus();
    Bytes out(c.plain.size());
    for (auto _ : state) {
        classic::Decode(c.packed, out);
        benchmark::DoNotOptimize(out.data());
    }
    report(state, c.plain.size());
}

void BM_LzhufEncode(benchmark::State& state) {
    const Corpus& c = corpus();
    for (auto _ : state) {
        Bytes out = vx::setup::lzhuf_encode(c.plain);
        benchmark::DoNotOptimize(out.data());
    }
    report(state, c.plain.size());
}

// The classic program as it stands: getc and putc on files (here memory streams).
void BM_LzhufDecodeClassicStdio(benchmark::State& state) {
    const Corpus& c = corpus();
    Bytes packed = c.packed;
    Bytes out(c.plain.size());
    for (auto _ : state) {
        classic::in_file = fmemopen(packed.data(), packed.size(), "rb");
        FILE* sink = fmemopen(out.data(), out.size(), "wb");
        classic::Decode(c.packed, out, sink);
        std::fclose(sink);
        std::fclose(classic::in_file);
        classic::in_file = nullptr;
        benchmark::DoNotOptimize(out.data());
    }
    report(state, c.plain.size());
}

BENCHMARK(BM_LzhufDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhufDecodeClassic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhufDecodeClassicStdio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhufEncode)->Unit(benchmark::kMillisecond);

}  // namespace
