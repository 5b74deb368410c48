#pragma once
// PCX pictures: the paint-program format that the platform's codecs do not read. Decoded here,
// in portable code, so that every byte of a file from outside is checked before it is trusted.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vx::imaging {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct PcxImage {
    int width = 0;
    int height = 0;
    // Top row first, each pixel 0x00RRGGBB: the byte order of a 32-bit DIB (B, G, R, 0).
    std::vector<uint32_t> pixels;
    // The colours the picture was drawn with: 2 to 256 entries for palette pictures, none for
    // 24-bit ones.
    std::vector<Rgb> palette;
};

// The largest picture decoded, in pixels; a header asking for more is refused before anything
// is allocated.
inline constexpr std::size_t kMaxPcxPixels = std::size_t{1} << 26;

// Reads 1-, 2-, 4- and 8-bit palette pictures (packed or in bit planes), and 24-bit pictures in
// three colour planes, RLE or stored. Anything damaged, truncated or of another kind gives
// nothing and a reason in `error` (when given).
std::optional<PcxImage> decode_pcx(std::span<const uint8_t> data, std::string* error = nullptr);

// Only the palette (the same entries decode_pcx returns), without decoding the pixels.
std::optional<std::vector<Rgb>> pcx_palette(std::span<const uint8_t> data, std::string* error = nullptr);

// Whether `data` starts like a PCX file; used to pick a decoder without trusting file names.
bool looks_like_pcx(std::span<const uint8_t> data);

}  // namespace vx::imaging
