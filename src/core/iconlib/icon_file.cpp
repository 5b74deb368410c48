#include "iconlib/icon_file.h"

#include <algorithm>
#include <stdexcept>

#include "iconlib/bytes_le.h"

namespace vx::iconlib {
namespace {

constexpr size_t kDirHeader = 6;
constexpr size_t kDirEntry = 16;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Far beyond any real icon, small enough that the size arithmetic below cannot overflow.
constexpr int64_t kMaxSide = 4096;

uint32_t get_u32_be(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

bool read_png(std::span<const uint8_t> image, IconImage& out) {
    // Signature, then the IHDR chunk: length, "IHDR", width, height, depth, colour type.
    if (image.size() < 8 + 8 + 13) return false;
    if (!std::equal(std::begin(kPngSignature), std::end(kPngSignature), image.begin())) return false;
    const uint8_t* ihdr = image.data() + 8;
    if (get_u32_be(ihdr) != 13 || !std::equal(ihdr + 4, ihdr + 8, "IHDR")) return false;
    const uint32_t w = get_u32_be(ihdr + 8);
    const uint32_t h = get_u32_be(ihdr + 12);
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return false;
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.bit_count = 32;
    out.png = true;
    return true;
}

bool read_dib(std::span<const uint8_t> image, IconImage& out) {
    if (image.size() < 40) return false;
    const uint8_t* p = image.data();
    const uint32_t header = get_u32(p);
    if (header < 40 || header > image.size()) return false;
    const int64_t width = get_i32(p + 4);
    const int64_t height2 = get_i32(p + 8);  // image and mask stacked
    const uint16_t planes = get_u16(p + 12);
    const uint16_t bits = get_u16(p + 14);
    const uint32_t compression = get_u32(p + 16);
    const uint32_t used = get_u32(p + 32);
    if (width <= 0 || width > kMaxSide || height2 < 2 || height2 > 2 * kMaxSide) return false;
    if (planes > 1) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32))) return false;
    const int64_t height = height2 / 2;

    int64_t palette = 0;
    if (bits <= 8) {
        const int64_t max_colours = int64_t{1} << bits;
        if (used > max_colours) return false;
        palette = 4 * (used ? used : max_colours);
    } else if (compression == 3 && header == 40) {
        palette = 12;  // the three colour masks follow a short header
    }
    const int64_t stride = ((width * bits + 31) / 32) * 4;
    const int64_t need = int64_t{header} + palette + stride * height;
    if (need > static_cast<int64_t>(image.size())) return false;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bit_count = bits;
    out.png = false;
    return true;
}

}  // namespace

bool read_icon_image(std::span<const uint8_t> image, IconImage& out) {
    if (image.size() >= 8 && std::equal(std::begin(kPngSignature), std::end(kPngSignature), image.begin()))
        return read_png(image, out);
    return read_dib(image, out);
}

std::optional<IconFile> read_icon_file(std::span<const uint8_t> data) {
    if (data.size() < kDirHeader) return std::nullopt;
    const uint8_t* p = data.data();
    const uint16_t reserved = get_u16(p);
    const uint16_t type = get_u16(p + 2);
    const size_t count = get_u16(p + 4);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0) return std::nullopt;
    const size_t dir_end = kDirHeader + kDirEntry * count;
    if (dir_end > data.size()) return std::nullopt;

    IconFile file;
    file.kind = static_cast<IconKind>(type);
    file.images.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = p + kDirHeader + kDirEntry * i;
        IconImage img;
        img.size = get_u32(e + 8);
        img.offset = get_u32(e + 12);
        if (img.size == 0 || img.offset < dir_end || img.offset > data.size() ||
            img.size > data.size() - img.offset)
            return std::nullopt;
        if (!read_icon_image(data.subspan(img.offset, img.size), img)) return std::nullopt;
        if (type == 2) {
            img.hotspot_x = get_u16(e + 4);
            img.hotspot_y = get_u16(e + 6);
        }
        file.images.push_back(img);
    }

    // Two directory entries sharing bytes mean a damaged or crafted file.
    std::vector<const IconImage*> by_offset;
    for (const auto& img : file.images) by_offset.push_back(&img);
    std::sort(by_offset.begin(), by_offset.end(),
              [](const IconImage* a, const IconImage* b) { return a->offset < b->offset; });
    for (size_t i = 1; i < by_offset.size(); ++i)
        if (by_offset[i - 1]->offset + by_offset[i - 1]->size > by_offset[i]->offset) return std::nullopt;
    return file;
}

Bytes write_icon_file(const std::vector<Bytes>& images) {
    if (images.empty() || images.size() > 0xFFFF)
        throw std::invalid_argument("An icon file holds 1 to 65535 images");
    const size_t dir_end = kDirHeader + kDirEntry * images.size();
    size_t total = dir_end;
    for (const auto& img : images) total += img.size();
    if (total > 0xFFFFFFFFu) throw std::invalid_argument("The icon is too large");

    Bytes out(dir_end);
    put_u16(out.data(), 0);
    put_u16(out.data() + 2, 1);
    put_u16(out.data() + 4, static_cast<uint16_t>(images.size()));
    size_t offset = dir_end;
    for (size_t i = 0; i < images.size(); ++i) {
        IconImage info;
        if (!read_icon_image(images[i], info))
            throw std::invalid_argument("Image " + std::to_string(i) + " of the icon is not usable");
        uint8_t* e = out.data() + kDirHeader + kDirEntry * i;
        e[0] = static_cast<uint8_t>(info.width >= 256 ? 0 : info.width);
        e[1] = static_cast<uint8_t>(info.height >= 256 ? 0 : info.height);
        e[2] = static_cast<uint8_t>(info.bit_count < 8 ? (1 << info.bit_count) : 0);
        e[3] = 0;
        put_u16(e + 4, 1);
        put_u16(e + 6, static_cast<uint16_t>(info.bit_count));
        put_u32(e + 8, static_cast<uint32_t>(images[i].size()));
        put_u32(e + 12, static_cast<uint32_t>(offset));
        offset += images[i].size();
    }
    for (const auto& img : images) out.insert(out.end(), img.begin(), img.end());
    return out;
}

}  // namespace vx::iconlib
