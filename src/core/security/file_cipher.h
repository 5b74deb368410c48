#pragma once
// The file cipher: the administration file, the desktop file and the protected files are kept
// enciphered on disk with a text key and carry a 13-byte trailer that marks them enciphered.
// The byte layout and the key digest are described in docs/formats/cipher.md.
#include <cstdint>
#include <string>
#include <string_view>

#include "util/file_io.h"

namespace vx::security {

inline constexpr const char* kAdminKey = "QelmorTaxiPrin";
inline constexpr const char* kDesktopKey = "Brintaxel";

// Length byte plus 12 characters: "Encryption=" and the first digit of the mark.
inline constexpr size_t kTrailerSize = 13;

enum class CipherDirection { Encipher, Decipher };

// The seed byte of a key (digest of the upper-cased key, first byte).
uint8_t key_seed(std::string_view key);

// The full 8-byte key digest of `key` as given (no upper-casing); key_seed is its first byte
// for the upper-cased key. Exposed so the format document's worked example can be checked.
void key_digest(std::string_view key, uint8_t out[8]);

// "Encryption=" in the length-prefixed text of the last 13 bytes.
bool has_cipher_trailer(const Bytes& data);

// Exclusive-ors `data` with the keystream that starts from `seed`. The keystream restarts at
// the seed on every call, so this is both directions of the cipher without the trailer.
void apply_keystream(uint8_t seed, uint8_t* data, size_t size);

// Enciphers or deciphers a whole file in place; nothing for a missing file, an enciphered file
// asked to be enciphered, or a plain file asked to be deciphered. `mark` is the encryption
// mark: read from the trailer when deciphering, written into it when enciphering.
// The new content replaces the file atomically: on failure (FileError) the file is as it was.
void cipher_file(const std::string& path, std::string_view key, CipherDirection dir, int& mark);

// The same on bytes in memory (used by the file form and by tools that must not touch a file).
Bytes cipher_bytes(const Bytes& data, std::string_view key, CipherDirection dir, int& mark);

}  // namespace vx::security
