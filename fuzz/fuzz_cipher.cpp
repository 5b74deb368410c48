// The trailer decides what the cipher does to a file it did not write: any bytes must give a
// direction decision, a mark, and a result that restores the input.
#include <cstdint>
#include <cstdlib>

#include "security/file_cipher.h"

using namespace vx::security;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vx::Bytes in(data, data + size);
    const bool enciphered = has_cipher_trailer(in);
    int mark = 7;
    const vx::Bytes plain = cipher_bytes(in, kDesktopKey, CipherDirection::Decipher, mark);
    if (!enciphered) {
        if (plain != in || mark != 7) std::abort();
        const vx::Bytes enc = cipher_bytes(in, kDesktopKey, CipherDirection::Encipher, mark);
        if (enc.size() != in.size() + kTrailerSize || !has_cipher_trailer(enc)) std::abort();
        if (cipher_bytes(enc, kDesktopKey, CipherDirection::Decipher, mark) != in) std::abort();
        return 0;
    }
    if (plain.size() + kTrailerSize != in.size() || mark < 0 || mark > 9) std::abort();
    if (cipher_bytes(in, kAdminKey, CipherDirection::Encipher, mark) != in) std::abort();
    (void)key_seed(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
