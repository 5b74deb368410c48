// The desktop reader meets files from disks, the clipboard and older versions: any bytes
// must end in a desktop or the loading error. What loads must save and load back alike.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "any_image.h"
#include "model/desktop_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::model;
    static const vx::UsEnglishLocale locale;
    static const vx::Windows1252Codec codec;
    static const vx::fuzz::AnyImage images;
    ReadContext ctx;
    ctx.locale = &locale;
    ctx.codec = &codec;
    ctx.images = &images;
    const bool admin = size % 2 == 0;
    ctx.is_administrator = [admin] { return admin; };
    const vx::Bytes bytes(data, data + size);
    Desktop first;
    try {
        load_desktop_bytes(first, bytes, ctx);
    } catch (const DesktopLoadError&) {
        return 0;
    }
    WriteContext wctx;
    wctx.locale = &locale;
    wctx.codec = &codec;
    const std::string saved = write_desktop_text(first, wctx);
    Desktop second;
    try {
        load_desktop_text(second, saved, ctx);
    } catch (const DesktopLoadError&) {
        std::abort();  // what the writer writes, the reader must take
    }
    if (write_desktop_text(second, wctx) != saved) std::abort();
    return 0;
}
