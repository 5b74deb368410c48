#pragma once
// Icon (.ICO) and cursor (.CUR) files: a small directory followed by the images. Library
// entries and the frames of animated cursors come from files a user can replace, so the
// reader checks every count, size and offset and answers "no image" rather than trusting
// them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "util/file_io.h"

namespace vx::iconlib {

enum class IconKind : uint16_t { icon = 1, cursor = 2 };

struct IconImage {
    int width = 0;   // pixels, from the image itself (the directory's 0 means 256)
    int height = 0;  // pixels of the visible image, without the mask
    int bit_count = 0;
    bool png = false;
    uint16_t hotspot_x = 0;  // cursors only
    uint16_t hotspot_y = 0;
    size_t offset = 0;  // the image's bytes within the file
    size_t size = 0;
};

struct IconFile {
    IconKind kind = IconKind::icon;
    std::vector<IconImage> images;
};

// nullopt when the bytes are not a sound icon or cursor file: a bad directory, an image
// outside the file or overlapping another, or an image whose header promises more pixels
// than its bytes hold.
std::optional<IconFile> read_icon_file(std::span<const uint8_t> data);

// Checks one image (a DIB with its header, or PNG data) as it would sit in an icon file and
// fills width, height, bit count and png; false when it is not usable.
bool read_icon_image(std::span<const uint8_t> image, IconImage& out);

// Writes an icon file from images (each a DIB with header and masks, or PNG data), for
// icons extracted from programs and libraries. The directory is derived from the images
// themselves, so it always agrees with them. Throws std::invalid_argument when there is no
// image, too many, or one that read_icon_image rejects.
Bytes write_icon_file(const std::vector<Bytes>& images);

}  // namespace vx::iconlib
