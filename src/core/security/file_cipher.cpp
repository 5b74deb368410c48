#include "security/file_cipher.h"

#include <array>
#include <cstring>

namespace vx::security {

namespace {

// The first 256 bytes of the fractional part of pi in hexadecimal.
constexpr std::array<uint8_t, 256> kPiBytes = {
    0x24, 0x3F, 0x6A, 0x88, 0x85, 0xA3, 0x08, 0xD3, 0x13, 0x19, 0x8A, 0x2E, 0x03, 0x70, 0x73, 0x44,
    0xA4, 0x09, 0x38, 0x22, 0x29, 0x9F, 0x31, 0xD0, 0x08, 0x2E, 0xFA, 0x98, 0xEC, 0x4E, 0x6C, 0x89,
    0x45, 0x28, 0x21, 0xE6, 0x38, 0xD0, 0x13, 0x77, 0xBE, 0x54, 0x66, 0xCF, 0x34, 0xE9, 0x0C, 0x6C,
    0xC0, 0xAC, 0x29, 0xB7, 0xC9, 0x7C, 0x50, 0xDD, 0x3F, 0x84, 0xD5, 0xB5, 0xB5, 0x47, 0x09, 0x17,
    0x92, 0x16, 0xD5, 0xD9, 0x89, 0x79, 0xFB, 0x1B, 0xD1, 0x31, 0x0B, 0xA6, 0x98, 0xDF, 0xB5, 0xAC,
    0x2F, 0xFD, 0x72, 0xDB, 0xD0, 0x1A, 0xDF, 0xB7, 0xB8, 0xE1, 0xAF, 0xED, 0x6A, 0x26, 0x7E, 0x96,
    0xBA, 0x7C, 0x90, 0x45, 0xF1, 0x2C, 0x7F, 0x99, 0x24, 0xA1, 0x99, 0x47, 0xB3, 0x91, 0x6C, 0xF7,
    0x08, 0x01, 0xF2, 0xE2, 0x85, 0x8E, 0xFC, 0x16, 0x63, 0x69, 0x20, 0xD8, 0x71, 0x57, 0x4E, 0x69,
    0xA4, 0x58, 0xFE, 0xA3, 0xF4, 0x93, 0x3D, 0x7E, 0x0D, 0x95, 0x74, 0x8F, 0x72, 0x8E, 0xB6, 0x58,
    0x71, 0x8B, 0xCD, 0x58, 0x82, 0x15, 0x4A, 0xEE, 0x7B, 0x54, 0xA4, 0x1D, 0xC2, 0x5A, 0x59, 0xB5,
    0x9C, 0x30, 0xD5, 0x39, 0x2A, 0xF2, 0x60, 0x13, 0xC5, 0xD1, 0xB0, 0x23, 0x28, 0x60, 0x85, 0xF0,
    0xCA, 0x41, 0x79, 0x18, 0xB8, 0xDB, 0x38, 0xEF, 0x8E, 0x79, 0xDC, 0xB0, 0x60, 0x3A, 0x18, 0x0E,
    0x6C, 0x9E, 0x0E, 0x8B, 0xB0, 0x1E, 0x8A, 0x3E, 0xD7, 0x15, 0x77, 0xC1, 0xBD, 0x31, 0x4B, 0x27,
    0x78, 0xAF, 0x2F, 0xDA, 0x55, 0x60, 0x5C, 0x60, 0xE6, 0x55, 0x25, 0xF3, 0xAA, 0x55, 0xAB, 0x94,
    0x57, 0x48, 0x98, 0x62, 0x63, 0xE8, 0x14, 0x40, 0x55, 0xCA, 0x39, 0x6A, 0x2A, 0xAB, 0x10, 0xB6,
    0xB4, 0xCC, 0x5C, 0x34, 0x11, 0x41, 0xE8, 0xCE, 0xA1, 0x54, 0x86, 0xAF, 0x7C, 0x72, 0xE9, 0x93,
};

constexpr uint32_t kAccStart = 0x55555555u;
constexpr std::array<uint32_t, 4> kScheduleConst = {0x55555555u, 0xAAAAAAAAu, 0x33333333u, 0xCCCCCCCCu};
constexpr std::string_view kTrailerWord = "Encryption=";

constexpr uint32_t rotl(uint32_t v, unsigned n) {
    n &= 31;
    return n == 0 ? v : (v << n) | (v >> (32 - n));
}

uint32_t load_le(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void store_le(uint32_t v, uint8_t* p) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

class KeyDigest {
public:
    KeyDigest() : buf_(kPiBytes) { acc_.fill(kAccStart); }

    void feed(uint8_t b) {
        buf_[pos_] ^= b;
        pos_ = uint8_t(pos_ + 1);
        acc_[index_ / 4] ^= uint32_t(b) << (8 * (index_ % 4));
        if (++index_ == 8) {
            stir();
            index_ = 0;
        }
    }

    void finish(uint8_t out[8]) {
        // 01 then zeros up to the next multiple of eight; a full eight when aligned so that
        // a key and the same key followed by 01 00 ... never digest alike.
        const unsigned pad = 8 - index_;
        for (unsigned i = 0; i < pad; ++i) feed(i == 0 ? 1 : 0);
        const auto schedule = make_schedule();
        uint32_t chain[4] = {0, 0, 0, 0};
        for (size_t block = 0; block < 16; ++block) {
            uint8_t* p = buf_.data() + 16 * block;
            uint32_t v[4];
            for (int j = 0; j < 4; ++j) v[j] = load_le(p + 4 * j) ^ chain[j];
            encipher_block(schedule, v);
            for (int j = 0; j < 4; ++j) {
                chain[j] = v[j];
                store_le(v[j], p + 4 * j);
            }
        }
        std::memcpy(out, buf_.data(), 8);
    }

private:
    using Schedule = std::array<std::array<uint32_t, 4>, 8>;

    void stir() {
        uint32_t& a0 = acc_[0];
        uint32_t& a1 = acc_[1];
        uint32_t& a2 = acc_[2];
        uint32_t& a3 = acc_[3];
        for (int round = 0; round < 4; ++round) {
            a0 += ((a1 << 4) ^ (a1 >> 5)) ^ a3;
            a1 += ((a2 << 4) ^ (a2 >> 5)) ^ a0;
            a2 += ((a3 << 4) ^ (a3 >> 5)) ^ a1;
            a3 += ((a0 << 4) ^ (a0 >> 5)) ^ a2;
        }
    }

    Schedule make_schedule() const {
        Schedule s{};
        std::array<uint32_t, 4> k = acc_;
        for (unsigned r = 0; r < 8; ++r) {
            for (unsigned j = 0; j < 4; ++j) {
                k[j] = rotl(k[j] ^ kScheduleConst[(r + j) % 4], 3 + r) + k[(j + 3) % 4];
            }
            s[r] = k;
        }
        return s;
    }

    static void encipher_block(const Schedule& s, uint32_t v[4]) {
        for (const auto& rk : s) {
            v[0] += rk[0];
            v[1] ^= rk[1];
            v[2] += rk[2];
            v[3] ^= rk[3];
            v[0] += v[1];
            v[3] = rotl(v[3] ^ v[0], 16);
            v[2] += v[3];
            v[1] = rotl(v[1] ^ v[2], 12);
            v[0] += v[1];
            v[3] = rotl(v[3] ^ v[0], 8);
            v[2] += v[3];
            v[1] = rotl(v[1] ^ v[2], 7);
        }
    }

    std::array<uint8_t, 256> buf_;
    uint8_t pos_ = 0;
    std::array<uint32_t, 4> acc_{};
    unsigned index_ = 0;
};

// The length-prefixed text of the last 13 bytes; empty when the data is shorter.
std::string_view trailer_text(const Bytes& data) {
    if (data.size() < kTrailerSize) return {};
    const uint8_t* t = data.data() + data.size() - kTrailerSize;
    const size_t len = t[0] < kTrailerSize - 1 ? t[0] : kTrailerSize - 1;
    return std::string_view(reinterpret_cast<const char*>(t + 1), len);
}

}  // namespace

void key_digest(std::string_view key, uint8_t out[8]) {
    KeyDigest d;
    for (char c : key) d.feed(uint8_t(c));
    d.finish(out);
}

uint8_t key_seed(std::string_view key) {
    // Only a-z fold: the key's other bytes pass as they are, so the seed does not depend on
    // the code page or locale of the machine that computes it.
    std::string upper(key);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    uint8_t digest[8];
    key_digest(upper, digest);
    return digest[0];
}

bool has_cipher_trailer(const Bytes& data) {
    return trailer_text(data).find(kTrailerWord) != std::string_view::npos;
}

void apply_keystream(uint8_t seed, uint8_t* data, size_t size) {
    int32_t x = seed;
    for (size_t i = 0; i < size; ++i) {
        const int32_t t = x ^ 123459876;
        // Neither product leaves the 32-bit range: |t % 127773| * 16807 < 2^31.
        x = 16807 * (t % 127773) - 2836 * (t / 127773);
        if (x < 0) x += 2147483647;
        x ^= 123459876;
        const uint32_t u = uint32_t(x);
        data[i] ^= uint8_t(u ^ (u >> 8) ^ (u >> 16) ^ (u >> 24));
    }
}

Bytes cipher_bytes(const Bytes& data, std::string_view key, CipherDirection dir, int& mark) {
    const bool enciphered = has_cipher_trailer(data);
    if (dir == CipherDirection::Decipher) {
        if (!enciphered) return data;
        const std::string_view text = trailer_text(data);
        const char last = text.back();  // non-empty: it holds "Encryption="
        if (last >= '0' && last <= '9') mark = last - '0';
        Bytes out(data.begin(), data.end() - kTrailerSize);
        apply_keystream(key_seed(key), out.data(), out.size());
        return out;
    }
    if (enciphered) return data;
    Bytes out;
    out.reserve(data.size() + kTrailerSize);
    out.assign(data.begin(), data.end());
    apply_keystream(key_seed(key), out.data(), out.size());
    const std::string digits = std::to_string(mark);
    out.push_back(uint8_t(kTrailerSize - 1));
    out.insert(out.end(), kTrailerWord.begin(), kTrailerWord.end());
    out.push_back(uint8_t(digits[0]));
    return out;
}

void cipher_file(const std::string& path, std::string_view key, CipherDirection dir, int& mark) {
    if (!file_exists(path)) return;
    const Bytes data = read_file(path);
    if (has_cipher_trailer(data) == (dir == CipherDirection::Encipher)) return;
    write_file_atomic(path, cipher_bytes(data, key, dir, mark));
}

}  // namespace vx::security
