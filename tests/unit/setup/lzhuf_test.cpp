#include <gtest/gtest.h>

#include <random>
#include <string>

#include "setup/lzhuf.h"

namespace vx::setup {
namespace {

Bytes mixed_data(size_t size, uint32_t seed) {
    // Text-like runs, repeats from far back, zero runs and noise, so every symbol kind,
    // near and far matches and the tree rebuild all occur.
    std::mt19937 rng(seed);
    Bytes out;
    out.reserve(size);
    const std::string words[] = {"Vantora ", "desktop ", "button ", "page ", "\r\n", "level=1000 "};
    while (out.size() < size) {
        switch (rng() % 4) {
            case 0:
                for (int i = 0; i < 20; ++i) {
                    const auto& w = words[rng() % 6];
                    out.insert(out.end(), w.begin(), w.end());
                }
                break;
            case 1:
                out.insert(out.end(), rng() % 300, static_cast<uint8_t>(rng()));
                break;
            case 2:
                for (int i = 0; i < 200; ++i) out.push_back(static_cast<uint8_t>(rng()));
                break;
            default:
                if (out.size() > 5000) {
                    const size_t back = 1 + rng() % 4000, n = 3 + rng() % 200;
                    for (size_t i = 0; i < n; ++i) out.push_back(out[out.size() - back]);
                }
        }
    }
    out.resize(size);
    return out;
}

TEST(Lzhuf, RoundTripsATableOfInputs) {
    std::mt19937 rng(7);
    Bytes random(100000);
    for (auto& b : random) b = static_cast<uint8_t>(rng());
    struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"empty", {}},
        {"one byte", {0x41}},
        {"59 bytes", Bytes(59, 'x')},
        {"60 bytes", mixed_data(60, 1)},
        {"61 bytes", Bytes(61, 0)},
        {"spaces match the preset ring", Bytes(5000, ' ')},
        // 2 MB of one byte: each 60-byte match bumps the same symbol, so the root count
        // reaches 0x8000 many times over.
        {"long run forcing rebuilds", Bytes(2 << 20, 0xAA)},
        {"random", random},
        {"mixed 3 MB", mixed_data(3 << 20, 2)},
    };
    for (const auto& c : cases) {
        const Bytes packed = lzhuf_encode(c.data);
        EXPECT_EQ(lzhuf_decode(packed, c.data.size()), c.data) << c.name;
    }
}

}  // namespace
}  // namespace vx::setup
