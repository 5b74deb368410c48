// Icon and cursor files come from users: any bytes must give an answer, never a crash.
#include <cstdint>
#include <cstdlib>

#include "iconlib/icon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::iconlib;
    const std::span<const uint8_t> in(data, size);
    const auto file = read_icon_file(in);
    if (!file) return 0;
    // Every image the reader accepts must survive the writer that stores extracted icons.
    std::vector<vx::Bytes> images;
    for (const auto& img : file->images) {
        if (img.offset + img.size > size) std::abort();
        images.emplace_back(data + img.offset, data + img.offset + img.size);
    }
    const auto again = read_icon_file(write_icon_file(images));
    if (!again || again->images.size() != images.size()) std::abort();
    return 0;
}
