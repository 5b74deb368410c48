// Any file the user highlights is shown as text or bytes: the preview must take any bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dialogs/selector_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int tab = data[0] % 20;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = vx::dialogs::preview_text(bytes, (data[0] & 0x80) != 0, tab, 4096);
    // Only CR LF pairs, never a lone one, and nothing that the control would read as a control.
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) std::abort();
        if (c == '\n' && (i == 0 || text[i - 1] != '\r')) std::abort();
        if (c < 0x20 && c != '\r' && c != '\n' && c != '\t') std::abort();
    }
    // A file that looks binary is shown as a hex dump: printable text, sixteen bytes a line.
    (void)vx::dialogs::looks_binary(bytes);
    const std::string dump = vx::dialogs::hex_preview(bytes, 4096);
    const size_t shown = bytes.size() < 4096 ? bytes.size() : 4096;
    if (dump.size() > (shown / 16 + 1) * 77) std::abort();
    for (size_t i = 0; i < dump.size(); ++i) {
        const auto c = static_cast<unsigned char>(dump[i]);
        if ((c < 0x20 || c >= 0x7F) && c != '\r' && c != '\n') std::abort();
    }
    return 0;
}
