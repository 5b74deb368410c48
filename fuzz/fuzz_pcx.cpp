// PCX pictures arrive as wallpapers and image objects from anywhere: any bytes must give a
// picture or nothing, never a crash, a hang or an allocation out of proportion to the file.
#include <cstdint>
#include <cstdlib>

#include "imaging/pcx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::imaging;
    const std::span<const uint8_t> in(data, size);
    const auto img = decode_pcx(in);
    const auto palette = pcx_palette(in);
    if (!img) return 0;
    if (img->width <= 0 || img->height <= 0 ||
        img->pixels.size() != static_cast<size_t>(img->width) * static_cast<size_t>(img->height))
        std::abort();
    if (!palette || *palette != img->palette || img->palette.size() > 256) std::abort();
    return 0;
}
