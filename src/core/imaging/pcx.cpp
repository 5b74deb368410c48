#include "imaging/pcx.h"

#include <algorithm>
#include <array>

namespace vx::imaging {

namespace {

constexpr std::size_t kHeaderSize = 128;
// The 256-colour palette sits at the very end behind this marker byte.
constexpr std::size_t kTailPaletteSize = 1 + 256 * 3;
constexpr uint8_t kTailPaletteMarker = 0x0C;

// Files written by version 3 of the format carry no palette of their own; they mean the
// display's standard sixteen colours.
constexpr std::array<Rgb, 16> kStandardSixteen{{{0, 0, 0},
                                                {0, 0, 170},
                                                {0, 170, 0},
                                                {0, 170, 170},
                                                {170, 0, 0},
                                                {170, 0, 170},
                                                {170, 85, 0},
                                                {170, 170, 170},
                                                {85, 85, 85},
                                                {85, 85, 255},
                                                {85, 255, 85},
                                                {85, 255, 255},
                                                {255, 85, 85},
                                                {255, 85, 255},
                                                {255, 255, 85},
                                                {255, 255, 255}}};

struct Layout {
    int version = 0;
    bool rle = false;
    int bits = 0;                // per pixel in one plane
    int planes = 0;              // colour planes per row
    std::size_t line_bytes = 0;  // per plane, padding included
    int width = 0;
    int height = 0;
    bool true_colour = false;
    std::size_t data_end = 0;  // where the pixel data stops (the tail palette follows)
    std::vector<Rgb> palette;
};

unsigned word_at(std::span<const uint8_t> d, std::size_t at) {
    return d[at] | (unsigned{d[at + 1]} << 8);
}

bool fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
}

bool read_layout(std::span<const uint8_t> d, Layout& out, std::string* error) {
    if (!looks_like_pcx(d)) return fail(error, "not a PCX picture");
    out.version = d[1];
    out.rle = d[2] == 1;
    out.bits = d[3];
    out.planes = d[65];
    const unsigned xmin = word_at(d, 4), ymin = word_at(d, 6), xmax = word_at(d, 8), ymax = word_at(d, 10);
    if (xmax < xmin || ymax < ymin) return fail(error, "PCX picture with a negative size");
    out.width = static_cast<int>(xmax - xmin + 1);
    out.height = static_cast<int>(ymax - ymin + 1);
    if (uint64_t{static_cast<unsigned>(out.width)} * static_cast<unsigned>(out.height) > kMaxPcxPixels)
        return fail(error, "PCX picture too large");

    const int b = out.bits, p = out.planes;
    const bool packed = p == 1 && (b == 1 || b == 2 || b == 4 || b == 8);
    const bool bit_planes = b == 1 && p >= 2 && p <= 4;
    out.true_colour = b == 8 && (p == 3 || p == 4);  // a fourth plane (alpha) is read past
    if (!packed && !bit_planes && !out.true_colour) return fail(error, "PCX colour layout not supported");

    out.line_bytes = word_at(d, 66);
    const uint64_t needed = (uint64_t{static_cast<unsigned>(out.width)} * static_cast<unsigned>(b) + 7) / 8;
    if (out.line_bytes < needed) return fail(error, "PCX rows shorter than the picture is wide");

    out.data_end = d.size();
    out.palette.clear();
    if (out.true_colour) return true;
    if (b == 8) {
        if (d.size() < kHeaderSize + kTailPaletteSize || d[d.size() - kTailPaletteSize] != kTailPaletteMarker)
            return fail(error, "PCX 256-colour palette missing");
        out.data_end = d.size() - kTailPaletteSize;
        const uint8_t* pal = d.data() + out.data_end + 1;
        out.palette.resize(256);
        for (int i = 0; i < 256; ++i) out.palette[i] = {pal[3 * i], pal[3 * i + 1], pal[3 * i + 2]};
        return true;
    }
    const std::size_t colours = std::size_t{1} << (b * p);
    if (colours == 2) {
        // Two-colour files are black and white; the header's palette is often left as noise.
        out.palette = {{0, 0, 0}, {255, 255, 255}};
    } else if (out.version == 3) {
        out.palette.assign(kStandardSixteen.begin(), kStandardSixteen.begin() + colours);
    } else {
        for (std::size_t i = 0; i < colours; ++i)
            out.palette.push_back({d[16 + 3 * i], d[17 + 3 * i], d[18 + 3 * i]});
    }
    return true;
}

// All rows of all planes, back to back. A run may carry on into the next row (several
// writers do that), so the stream is decoded as one.
bool unpack(std::span<const uint8_t> d, const Layout& l, std::vector<uint8_t>& out, std::string* error) {
    const uint64_t total =
        uint64_t{l.line_bytes} * static_cast<unsigned>(l.planes) * static_cast<unsigned>(l.height);
    const uint64_t available = l.data_end - kHeaderSize;
    // Two bytes of RLE give at most 63: a file too short to hold the picture is refused before
    // its size is believed.
    if (total > (l.rle ? available * 32 : available)) return fail(error, "PCX picture data truncated");
    out.assign(static_cast<std::size_t>(total), 0);
    std::size_t in = kHeaderSize, at = 0;
    while (at < out.size()) {
        if (in >= l.data_end) return fail(error, "PCX picture data truncated");
        uint8_t c = d[in++];
        std::size_t count = 1;
        if (l.rle && (c & 0xC0) == 0xC0) {
            if (in >= l.data_end) return fail(error, "PCX picture data truncated");
            count = c & 0x3Fu;
            c = d[in++];
        }
        count = std::min(count, out.size() - at);
        std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(at), count, c);
        at += count;
    }
    return true;
}

uint32_t pack(Rgb c) {
    return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

}  // namespace

bool looks_like_pcx(std::span<const uint8_t> d) {
    if (d.size() < kHeaderSize || d[0] != 0x0A || d[2] > 1) return false;
    const uint8_t v = d[1];
    return v == 0 || v == 2 || v == 3 || v == 4 || v == 5;
}

std::optional<PcxImage> decode_pcx(std::span<const uint8_t> data, std::string* error) {
    Layout l;
    if (!read_layout(data, l, error)) return std::nullopt;
    std::vector<uint8_t> rows;
    if (!unpack(data, l, rows, error)) return std::nullopt;

    PcxImage img;
    img.width = l.width;
    img.height = l.height;
    img.pixels.resize(static_cast<std::size_t>(l.width) * static_cast<std::size_t>(l.height));
    const std::size_t bpl = l.line_bytes;
    const std::size_t row_size = bpl * static_cast<std::size_t>(l.planes);
    const unsigned mask = (1u << l.bits) - 1;
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* row = rows.data() + static_cast<std::size_t>(y) * row_size;
        uint32_t* dst = img.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(l.width);
        for (int x = 0; x < l.width; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            if (l.true_colour) {
                dst[x] = pack({row[ux], row[bpl + ux], row[2 * bpl + ux]});
                continue;
            }
            unsigned index = 0;
            if (l.planes == 1) {
                const std::size_t bit = ux * static_cast<unsigned>(l.bits);
                index = (row[bit / 8] >> (8 - l.bits - bit % 8)) & mask;
            } else {
                for (int k = 0; k < l.planes; ++k)
                    index |= ((row[static_cast<std::size_t>(k) * bpl + ux / 8] >> (7 - ux % 8)) & 1u) << k;
            }
            dst[x] = pack(l.palette[index]);
        }
    }
    img.palette = std::move(l.palette);
    return img;
}

std::optional<std::vector<Rgb>> pcx_palette(std::span<const uint8_t> data, std::string* error) {
    Layout l;
    if (!read_layout(data, l, error)) return std::nullopt;
    return std::move(l.palette);
}

}  // namespace vx::imaging
