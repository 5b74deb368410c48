// Any file the user highlights is shown as text: the preview must take any bytes.
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
    return 0;
}
