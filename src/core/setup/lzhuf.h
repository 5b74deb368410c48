#pragma once
// The payload codec: LZSS over a 4096-byte ring with adaptive Huffman coding of literals,
// match lengths and the upper position bits. The stream has no header; the decoded length
// travels separately (in the installer's trailer), so the decoder must be told when to stop.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

namespace vx::setup {

using Bytes = std::vector<uint8_t>;

namespace lzhuf {
inline constexpr int kRing = 4096;                              // N
inline constexpr int kLookAhead = 60;                           // F
inline constexpr int kThreshold = 2;                            // shorter matches are literals
inline constexpr int kSymbols = 256 - kThreshold + kLookAhead;  // 314
inline constexpr int kNodes = kSymbols * 2 - 1;                 // 627
inline constexpr int kRoot = kNodes - 1;                        // 626
inline constexpr unsigned kMaxFreq = 0x8000;
inline constexpr int kStart = kRing - kLookAhead;  // 4036
}  // namespace lzhuf

// The adaptive tree both sides keep in step. Exposed so the encoder and decoder share one
// implementation of the update rule: a single differing comparison would desynchronise them.
class HuffTree {
public:
    HuffTree() { reset(); }
    void reset();
    void update(int symbol);

    // freq has one sentinel past the root so the sibling search in update() always stops.
    std::array<uint32_t, lzhuf::kNodes + 1> freq{};
    // prnt[i] for nodes, prnt[kNodes + s] for the leaf of symbol s.
    std::array<int32_t, lzhuf::kNodes + lzhuf::kSymbols> prnt{};
    // son[i] is the first of two adjacent children, or kNodes + symbol for a leaf.
    std::array<int32_t, lzhuf::kNodes> son{};

private:
    void rebuild();
};

class LzhufError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Streaming decoder. `read` fills up to `cap` bytes and returns how many it gave (0 at the
// end); past the end the decoder reads zero bytes, as the format expects for its last bits.
class LzhufDecoder {
public:
    using ReadFn = std::function<size_t(uint8_t* buf, size_t cap)>;
    explicit LzhufDecoder(ReadFn read);

    // Writes exactly `n` decoded bytes to `out`. A match may straddle calls.
    void decode(uint8_t* out, size_t n);

    // True once the decoder has used bits beyond the end of the input: the output from then
    // on is invented, so the archive was truncated or damaged.
    bool overran() const;

private:
    size_t reload();

    ReadFn read_;
    std::array<uint8_t, 2048> in_{};
    size_t in_pos_ = 0, in_len_ = 0;
    bool in_end_ = false;
    uint64_t bitbuf_ = 0;  // valid bits are the top `bits_`
    int bits_ = 0;
    uint64_t zero_bytes_ = 0;  // bytes supplied after the input ended

    HuffTree tree_;
    std::array<uint8_t, lzhuf::kRing> ring_{};
    unsigned r_ = lzhuf::kStart;
    unsigned match_pos_ = 0, match_left_ = 0;
};

// Whole-buffer helpers. decode() throws LzhufError when `length` needs more input than given.
Bytes lzhuf_encode(const uint8_t* data, size_t size);
inline Bytes lzhuf_encode(const Bytes& data) {
    return lzhuf_encode(data.data(), data.size());
}
Bytes lzhuf_decode(const uint8_t* data, size_t size, size_t length);
inline Bytes lzhuf_decode(const Bytes& data, size_t length) {
    return lzhuf_decode(data.data(), data.size(), length);
}

}  // namespace vx::setup
