// The decoder meets whatever the volumes hold: it must stop at the asked length, never step
// outside its tables or ring, and the encoder's output must always decode to its input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "setup/lzhuf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::setup;
    if (size < 2) return 0;
    // The first two bytes choose the output length, up to 256 KB.
    const size_t length = (static_cast<size_t>(data[0]) << 10 | static_cast<size_t>(data[1]) << 2) + 3;
    try {
        (void)lzhuf_decode(data + 2, size - 2, length);
    } catch (const LzhufError&) {
    }
    if (size <= 4096) {
        const Bytes in(data, data + size);
        if (lzhuf_decode(lzhuf_encode(in), in.size()) != in) std::abort();
    }
    return 0;
}
