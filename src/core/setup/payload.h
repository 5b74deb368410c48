#pragma once
// The installer's payload directory ("trailer"), appended to the installer program and read
// backwards from its end:
//   end-4            total length of the decompressed stream (u32 LE)
//   end-5            N, the number of entries (0..255)
//   end-5-28*N       N entries of 28 bytes: name (length byte + up to 19 chars, 20 bytes),
//                    offset in the stream (u32 LE), length (u32 LE)
// The stream is the program (0 up to the first entry's offset) followed by the entries' files.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "setup/lzhuf.h"

namespace vx::setup {

inline constexpr size_t kEntrySize = 28;
inline constexpr size_t kMaxNameLength = 19;

// A payload that cannot be used as it stands; what() says why, in words for the user.
class PayloadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DirEntry {
    std::string name;  // ANSI bytes as stored
    uint32_t offset = 0;
    uint32_t length = 0;
    bool operator==(const DirEntry&) const = default;
};

struct Trailer {
    uint32_t total = 0;
    std::vector<DirEntry> entries;
    // Where the trailer begins in the installer file, i.e. the size of the bare program.
    uint64_t start = 0;

    // Length of the program at the head of the stream.
    uint32_t program_length() const { return entries.empty() ? total : entries.front().offset; }
    bool operator==(const Trailer&) const = default;
};

// Bytes a trailer of `entries` entries occupies at the end of the installer.
inline constexpr size_t trailer_size(size_t entries) {
    return 5 + kEntrySize * entries;
}

// Reads the trailer from the last bytes of the installer. `tail` holds the file's final
// `tail_size` bytes out of `file_size` (it may be the whole file). Throws PayloadError for a
// trailer that does not fit, names that are not plain file names, or entries outside the
// stream or out of order, so nothing is ever written outside the destination folder or
// from beyond the stream.
Trailer parse_trailer(const uint8_t* tail, size_t tail_size, uint64_t file_size);
inline Trailer parse_trailer(const Bytes& whole_file) {
    return parse_trailer(whole_file.data(), whole_file.size(), whole_file.size());
}

// The most bytes parse_trailer can need from the end of a file.
inline constexpr size_t kMaxTrailerSize = trailer_size(255);

// Throws PayloadError unless `name` is a plain file name that fits an entry.
void check_entry_name(const std::string& name);

Bytes write_trailer(const Trailer& trailer);

// What the packer produces: the compressed stream cut into volumes and the trailer to append
// to the installer program.
struct Payload {
    std::vector<Bytes> volumes;
    Bytes trailer;
    uint32_t total = 0;
};

struct PackFile {
    std::string name;  // stored name, a plain file name of at most 19 characters
    Bytes data;
};

// Concatenates the program and the files, compresses the stream and cuts it into exactly
// `disks` volumes of at most `disk_size` bytes (the installer asks for every disk, so the
// later volumes may be empty). Throws PayloadError when the stream does not fit.
Payload build_payload(const Bytes& program, const std::vector<PackFile>& files, uint64_t disk_size,
                      int disks);

}  // namespace vx::setup
