// Palette files come from paint programs, the Internet and hand editing. Any bytes must read as
// a palette, part of one, or nothing: entry 0 black once the count was read, the entries the file
// did not reach as they were, and what was read written back and read again unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/palette_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::model;
    using Status = PaletteReadResult::Status;
    Palette before{};
    for (size_t i = 0; i < before.size(); ++i)
        before[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i ^ 0x5A), 3, 1};
    Palette p = before;
    const PaletteReadResult r = read_jasc_pal(std::string_view(reinterpret_cast<const char*>(data), size), p);

    if (r.entries < 0 || r.entries > 256) std::abort();
    if (r.status == Status::NotAPalette && (p != before || r.entries != 0)) std::abort();
    if ((r.status == Status::Refused) != !r.message.empty()) std::abort();
    for (size_t i = static_cast<size_t>(std::max(r.entries, 1)); i < p.size(); ++i)
        if (p[i] != before[i]) std::abort();
    if (r.entries > 0 && p[0] != PaletteEntry{}) std::abort();

    Palette again = before;
    const PaletteReadResult back = read_jasc_pal(write_jasc_pal(p), again);
    if (back.status != Status::Complete || back.entries != 256) std::abort();
    for (size_t i = 1; i < p.size(); ++i)
        if (again[i].red != p[i].red || again[i].green != p[i].green || again[i].blue != p[i].blue)
            std::abort();
    return 0;
}
