#include "setup/lzhuf.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vx::setup {
namespace {

using namespace lzhuf;
constexpr unsigned kMask = kRing - 1;

// Code lengths of the upper six position bits; the codes themselves are canonical, so both
// tables below follow from this one and cannot drift apart.
constexpr std::array<uint8_t, 64> kPosLen = [] {
    std::array<uint8_t, 64> t{};
    int i = 0;
    for (auto [len, count] : {std::pair{3, 1}, {4, 3}, {5, 8}, {6, 12}, {7, 24}, {8, 16}})
        for (int k = 0; k < count; ++k) t[i++] = static_cast<uint8_t>(len);
    return t;
}();

struct PosTables {
    std::array<uint8_t, 64> code{};    // top-aligned 8-bit prefix of each upper value
    std::array<uint8_t, 256> upper{};  // first 8 bits -> upper six bits
    std::array<uint8_t, 256> len{};    // first 8 bits -> code length of the upper part
};

constexpr PosTables kPos = [] {
    PosTables t{};
    unsigned next = 0;
    for (int i = 0; i < 64; ++i) {
        t.code[i] = static_cast<uint8_t>(next);
        const unsigned span = 1u << (8 - kPosLen[i]);
        for (unsigned b = next; b < next + span; ++b) {
            t.upper[b] = static_cast<uint8_t>(i);
            t.len[b] = kPosLen[i];
        }
        next += span;
    }
    return t;
}();
static_assert(kPos.code[63] == 0xFF && kPos.upper[255] == 63);

}  // namespace

// ---------------------------------------------------------------------------------------------
// Adaptive tree

void HuffTree::reset() {
    for (int i = 0; i < kSymbols; ++i) {
        freq[i] = 1;
        son[i] = static_cast<int32_t>(i + kNodes);
        prnt[i + kNodes] = static_cast<int32_t>(i);
    }
    for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
        freq[j] = static_cast<uint32_t>(freq[i] + freq[i + 1]);
        son[j] = static_cast<int32_t>(i);
        prnt[i] = prnt[i + 1] = static_cast<int32_t>(j);
    }
    freq[kNodes] = 0xFFFF;
    prnt[kRoot] = 0;
}

void HuffTree::rebuild() {
    // Gather the leaves at the front with halved counts (rounded up so none reaches zero).
    int j = 0;
    for (int i = 0; i < kNodes; ++i) {
        if (son[i] >= kNodes) {
            freq[j] = static_cast<uint32_t>((freq[i] + 1) / 2);
            son[j] = son[i];
            ++j;
        }
    }
    // Pair them up again, keeping the node list sorted by count.
    for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
        const unsigned f = static_cast<unsigned>(freq[i]) + freq[i + 1];
        int k = n - 1;
        while (f < freq[k]) --k;
        ++k;
        const size_t moved = static_cast<size_t>(n - k);
        std::memmove(&freq[k + 1], &freq[k], moved * sizeof freq[0]);
        freq[k] = static_cast<uint32_t>(f);
        std::memmove(&son[k + 1], &son[k], moved * sizeof son[0]);
        son[k] = static_cast<int32_t>(i);
    }
    for (int i = 0; i < kNodes; ++i) {
        const int k = son[i];
        if (k >= kNodes) {
            prnt[k] = static_cast<int32_t>(i);
        } else {
            prnt[k] = prnt[k + 1] = static_cast<int32_t>(i);
        }
    }
}

void HuffTree::update(int symbol) {
    if (freq[kRoot] == kMaxFreq) rebuild();
    int c = prnt[symbol + kNodes];
    do {
        const unsigned k = ++freq[c];
        // Keep the counts sorted: swap this node with the last one of smaller count.
        if (k > freq[c + 1]) {
            // The counts past c are sorted (the sentinel ends them), so the first one not
            // below k can be found by bisection once a short scan has not met it; long runs
            // of equal counts, common after a rebuild, made the plain scan the hot spot.
            int l = c + 2;
            const int scan_end = std::min(c + 10, kNodes);
            while (l < scan_end && k > freq[l]) ++l;
            if (k > freq[l])
                l = static_cast<int>(std::upper_bound(freq.begin() + l, freq.begin() + kNodes + 1, k - 1) -
                                     freq.begin());
            --l;
            freq[c] = freq[l];
            freq[l] = static_cast<uint32_t>(k);

            const int i = son[c];
            prnt[i] = static_cast<int32_t>(l);
            if (i < kNodes) prnt[i + 1] = static_cast<int32_t>(l);

            const int j = son[l];
            son[l] = static_cast<int32_t>(i);
            prnt[j] = static_cast<int32_t>(c);
            if (j < kNodes) prnt[j + 1] = static_cast<int32_t>(c);
            son[c] = static_cast<int32_t>(j);

            c = l;
        }
        c = prnt[c];
    } while (c != 0);
}

// ---------------------------------------------------------------------------------------------
// Decoder

LzhufDecoder::LzhufDecoder(ReadFn read) : read_(std::move(read)) {
    std::fill(ring_.begin(), ring_.begin() + kStart, static_cast<uint8_t>(' '));
}

size_t LzhufDecoder::reload() {
    in_pos_ = in_len_ = 0;
    if (!in_end_) {
        in_len_ = read_ ? std::min(read_(in_.data(), in_.size()), in_.size()) : 0;
        if (in_len_ == 0) in_end_ = true;
    }
    return in_len_;
}

bool LzhufDecoder::overran() const {
    return zero_bytes_ * 8 > static_cast<uint64_t>(bits_);
}

void LzhufDecoder::decode(uint8_t* out, size_t n) {
    // The state lives in locals for the loop: the byte stores to `out` and the ring could
    // otherwise alias the members and force a reload after every byte.
    uint64_t buf = bitbuf_;
    int bits = bits_;
    unsigned r = r_;
    unsigned match_pos = match_pos_, match_left = match_left_;
    uint8_t* const ring = ring_.data();
    const int32_t* const son = tree_.son.data();
    const uint8_t* ip = in_.data() + in_pos_;
    const uint8_t* iend = in_.data() + in_len_;
    // Tops the bit buffer up to at least 57 bits, eight bytes at a time where it can.
    auto fill = [&] {
        if (iend - ip >= 8) {
            uint64_t w = 0;
            for (int i = 0; i < 8; ++i) w = (w << 8) | ip[i];
            const int take = (63 - bits) >> 3;
            buf |= (w >> bits) & (~uint64_t{0} << (64 - bits - 8 * take));  // whole bytes only
            ip += take;
            bits += 8 * take;
            return;
        }
        while (bits <= 56) {
            if (ip == iend) {
                in_pos_ = in_len_;
                const size_t got = reload();
                ip = in_.data();
                iend = ip + got;
                if (got == 0) {
                    ++zero_bytes_;  // past the end the stream reads as zeros
                    bits += 8;
                    continue;
                }
            }
            buf |= uint64_t{*ip++} << (56 - bits);
            bits += 8;
        }
    };
    size_t done = 0;
    while (done < n) {
        if (match_left != 0) {
            const size_t take = std::min<size_t>(match_left, n - done);
            for (size_t k = 0; k < take; ++k) {
                const uint8_t b = ring[match_pos];
                match_pos = (match_pos + 1) & kMask;
                out[done++] = b;
                ring[r] = b;
                r = (r + 1) & kMask;
            }
            match_left -= static_cast<unsigned>(take);
            continue;
        }
        if (bits < 32) fill();
        int c = son[kRoot];
        while (c < kNodes) {
            // The tree can in principle grow deeper than the bits on hand.
            if (bits == 0) fill();
            c += static_cast<int>(buf >> 63);
            buf <<= 1;
            --bits;
            c = son[c];
        }
        c -= kNodes;
        tree_.update(c);
        if (c < 256) {
            out[done++] = static_cast<uint8_t>(c);
            ring[r] = static_cast<uint8_t>(c);
            r = (r + 1) & kMask;
        } else {
            if (bits < 14) fill();
            const unsigned first = static_cast<unsigned>(buf >> 56);
            const int extra = kPos.len[first] - 2;  // 1 to 6 further bits
            const unsigned low = (first << extra) | static_cast<unsigned>((buf << 8) >> (64 - extra));
            buf <<= 8 + extra;
            bits -= 8 + extra;
            const unsigned p = (static_cast<unsigned>(kPos.upper[first]) << 6) | (low & 0x3F);
            match_pos = (r - p - 1) & kMask;
            match_left = static_cast<unsigned>(c - 255 + kThreshold);
        }
    }
    in_pos_ = static_cast<size_t>(ip - in_.data());
    in_len_ = static_cast<size_t>(iend - in_.data());
    bitbuf_ = buf;
    bits_ = bits;
    r_ = r;
    match_pos_ = match_pos;
    match_left_ = match_left;
}

Bytes lzhuf_decode(const uint8_t* data, size_t size, size_t length) {
    size_t pos = 0;
    LzhufDecoder dec([&](uint8_t* buf, size_t cap) {
        const size_t take = std::min(cap, size - pos);
        if (take) std::memcpy(buf, data + pos, take);
        pos += take;
        return take;
    });
    Bytes out(length);
    dec.decode(out.data(), out.size());
    if (dec.overran()) throw LzhufError("compressed data ends before the expected length");
    return out;
}

// ---------------------------------------------------------------------------------------------
// Encoder: the match finder is a binary search tree over the ring positions, one tree per
// first byte, as in the published algorithm, so its choices (longest, then nearest) match.

namespace {

constexpr int kNil = kRing;

struct Encoder {
    std::array<uint8_t, kRing + kLookAhead - 1> text{};
    std::array<int, kRing + 257> lson{}, rson{};
    std::array<int, kRing + 1> dad{};
    int match_position = 0, match_length = 0;
    HuffTree tree;
    Bytes out;
    uint64_t acc = 0;
    int acc_bits = 0;

    void init_tree() {
        for (int i = kRing + 1; i <= kRing + 256; ++i) rson[i] = kNil;
        for (int i = 0; i < kRing; ++i) dad[i] = kNil;
    }

    void insert_node(int r) {
        int cmp = 1;
        const uint8_t* key = &text[r];
        int p = kRing + 1 + key[0];
        rson[r] = lson[r] = kNil;
        match_length = 0;
        for (;;) {
            if (cmp >= 0) {
                if (rson[p] != kNil) {
                    p = rson[p];
                } else {
                    rson[p] = r;
                    dad[r] = p;
                    return;
                }
            } else {
                if (lson[p] != kNil) {
                    p = lson[p];
                } else {
                    lson[p] = r;
                    dad[r] = p;
                    return;
                }
            }
            int i = 1;
            for (; i < kLookAhead; ++i)
                if ((cmp = key[i] - text[p + i]) != 0) break;
            if (i > kThreshold) {
                const int dist = ((r - p) & static_cast<int>(kMask)) - 1;
                if (i > match_length) {
                    match_position = dist;
                    if ((match_length = i) >= kLookAhead) break;
                }
                if (i == match_length && dist < match_position) match_position = dist;
            }
        }
        // A full-length match: r replaces p, which is older and now redundant.
        dad[r] = dad[p];
        lson[r] = lson[p];
        rson[r] = rson[p];
        dad[lson[p]] = r;
        dad[rson[p]] = r;
        if (rson[dad[p]] == p) {
            rson[dad[p]] = r;
        } else {
            lson[dad[p]] = r;
        }
        dad[p] = kNil;
    }

    void delete_node(int p) {
        if (dad[p] == kNil) return;
        int q;
        if (rson[p] == kNil) {
            q = lson[p];
        } else if (lson[p] == kNil) {
            q = rson[p];
        } else {
            q = lson[p];
            if (rson[q] != kNil) {
                do q = rson[q];
                while (rson[q] != kNil);
                rson[dad[q]] = lson[q];
                dad[lson[q]] = dad[q];
                lson[q] = lson[p];
                dad[lson[p]] = q;
            }
            rson[q] = rson[p];
            dad[rson[p]] = q;
        }
        dad[q] = dad[p];
        if (rson[dad[p]] == p) {
            rson[dad[p]] = q;
        } else {
            lson[dad[p]] = q;
        }
        dad[p] = kNil;
    }

    void put_bits(uint32_t value, int count) {
        acc = (acc << count) | value;
        acc_bits += count;
        while (acc_bits >= 8) {
            acc_bits -= 8;
            out.push_back(static_cast<uint8_t>(acc >> acc_bits));
        }
        acc &= (uint64_t{1} << acc_bits) - 1;
    }

    void flush_bits() {
        if (acc_bits > 0) put_bits(0, 8 - acc_bits);
    }

    void encode_char(int c) {
        // Walk leaf to root; the bit nearest the root is sent first. The depth is not bounded
        // by 16 here, so the path is kept in a 64-bit word rather than a 16-bit one.
        uint64_t code = 0;
        int len = 0;
        int k = tree.prnt[c + kNodes];
        do {
            code |= static_cast<uint64_t>(k & 1) << len;
            ++len;
            k = tree.prnt[k];
        } while (k != kRoot);
        while (len > 32) {
            len -= 32;
            put_bits(static_cast<uint32_t>(code >> len), 32);
            code &= (uint64_t{1} << len) - 1;
        }
        put_bits(static_cast<uint32_t>(code), len);
        tree.update(c);
    }

    void encode_position(int c) {
        const int upper = c >> 6;
        put_bits(kPos.code[upper] >> (8 - kPosLen[upper]), kPosLen[upper]);
        put_bits(static_cast<uint32_t>(c & 0x3F), 6);
    }
};

}  // namespace

Bytes lzhuf_encode(const uint8_t* data, size_t size) {
    auto e = std::make_unique<Encoder>();
    if (size == 0) return {};
    e->out.reserve(size / 2 + 16);
    size_t next = 0;  // next input byte to read
    e->init_tree();
    int s = 0;
    int r = kStart;
    std::fill(e->text.begin(), e->text.begin() + r, static_cast<uint8_t>(' '));
    int len = 0;
    while (len < kLookAhead && next < size) e->text[r + len++] = data[next++];
    for (int i = 1; i <= kLookAhead; ++i) e->insert_node(r - i);
    e->insert_node(r);
    do {
        if (e->match_length > len) e->match_length = len;
        if (e->match_length <= kThreshold) {
            e->match_length = 1;
            e->encode_char(e->text[r]);
        } else {
            e->encode_char(255 - kThreshold + e->match_length);
            e->encode_position(e->match_position);
        }
        const int last = e->match_length;
        int i = 0;
        for (; i < last && next < size; ++i) {
            const uint8_t c = data[next++];
            e->delete_node(s);
            e->text[s] = c;
            // Mirror the start of the ring past its end so key comparisons need no masking.
            if (s < kLookAhead - 1) e->text[s + kRing] = c;
            s = (s + 1) & static_cast<int>(kMask);
            r = (r + 1) & static_cast<int>(kMask);
            e->insert_node(r);
        }
        while (i++ < last) {
            e->delete_node(s);
            s = (s + 1) & static_cast<int>(kMask);
            r = (r + 1) & static_cast<int>(kMask);
            if (--len) e->insert_node(r);
        }
    } while (len > 0);
    e->flush_bits();
    return std::move(e->out);
}

}  // namespace vx::setup
