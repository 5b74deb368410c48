// The decoder meets whatever the volumes hold: it must stop at the asked length, never step
// outside its tables or ring, and the encoder's output must always decode to its input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "setup/lzhuf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::setup;
    if (size < 2) return 0;
    // The first two bytes choose the output length, up to 16 KB; longer outputs only
    // repeat the same paths more slowly.
    const size_t length = ((static_cast<size_t>(data[0]) << 8) | data[1]) & 0x3FFF;
    try {
        (void)lzhuf_decode(data + 2, size - 2, length);
    } catch (const LzhufError&) {
    }
    if (size <= 2048) {
        const Bytes in(data, data + size);
        if (lzhuf_decode(lzhuf_encode(in), in.size()) != in) std::abort();
    }
    return 0;
}
