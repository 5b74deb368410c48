// Internet shortcuts come from any folder the desktop is built from. Whatever address is taken
// from one must be a single clean line, found again when read back in a file of its own.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "builder/folders.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto address = vx::builder::url_file_address(text);
    if (!address) return 0;
    check(!address->empty() && address->size() <= size);
    for (unsigned char c : *address) check(c >= 0x20 && c != 0x7F);
    check(address->front() != ' ' && address->back() != ' ');
    check(vx::builder::url_file_address("[InternetShortcut]\r\nURL=" + *address + "\r\n") == address);
    return 0;
}
