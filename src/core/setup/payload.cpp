#include "setup/payload.h"

#include <algorithm>

namespace vx::setup {
namespace {

uint32_t get_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void put_u32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

void check_entry_name(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength)
        throw PayloadError("The file name \"" + name + "\" in the installer's directory must have 1 to " +
                           std::to_string(kMaxNameLength) + " characters.");
    // Each name is joined to the destination folder, so it must not lead anywhere else.
    const bool bad_char = std::any_of(name.begin(), name.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 || ch == '\\' || ch == '/' || ch == ':' || ch == '*' || ch == '?' || ch == '"' ||
               ch == '<' || ch == '>' || ch == '|';
    });
    if (bad_char || name.find_first_not_of('.') == std::string::npos)
        throw PayloadError("The installer's directory holds an unusable file name.");
}

Trailer parse_trailer(const uint8_t* tail, size_t tail_size, uint64_t file_size) {
    if (tail_size > file_size) tail_size = static_cast<size_t>(file_size);
    if (tail_size < 5) throw PayloadError("The installer has no file directory.");
    const uint8_t* end = tail + tail_size;
    Trailer t;
    t.total = get_u32(end - 4);
    const size_t n = end[-5];
    const size_t size = trailer_size(n);
    if (size > tail_size) throw PayloadError("The installer's file directory is incomplete.");
    t.start = file_size - size;

    const uint8_t* p = end - size;
    uint64_t next = 0;  // lowest offset the next entry may start at
    for (size_t i = 0; i < n; ++i, p += kEntrySize) {
        DirEntry e;
        const size_t name_len = p[0];
        if (name_len > kMaxNameLength)
            throw PayloadError("The installer's file directory is damaged (entry " + std::to_string(i + 1) +
                               ").");
        e.name.assign(reinterpret_cast<const char*>(p + 1), name_len);
        check_entry_name(e.name);
        e.offset = get_u32(p + 20);
        e.length = get_u32(p + 24);
        if (e.offset < next || uint64_t{e.offset} + e.length > t.total)
            throw PayloadError("The installer's file directory is damaged (entry " + std::to_string(i + 1) +
                               " lies outside the data).");
        next = uint64_t{e.offset} + e.length;
        t.entries.push_back(std::move(e));
    }
    return t;
}

Bytes write_trailer(const Trailer& trailer) {
    if (trailer.entries.size() > 255) throw PayloadError("An installer can hold at most 255 files.");
    Bytes out;
    out.reserve(trailer_size(trailer.entries.size()));
    for (const auto& e : trailer.entries) {
        check_entry_name(e.name);
        out.push_back(static_cast<uint8_t>(e.name.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.resize(out.size() + (kMaxNameLength - e.name.size()), 0);
        put_u32(out, e.offset);
        put_u32(out, e.length);
    }
    out.push_back(static_cast<uint8_t>(trailer.entries.size()));
    put_u32(out, trailer.total);
    return out;
}

Payload build_payload(const Bytes& program, const std::vector<PackFile>& files, uint64_t disk_size,
                      int disks) {
    if (disks < 1) throw PayloadError("There must be at least one disk.");
    if (disk_size == 0) throw PayloadError("The disk size must be above zero.");
    Trailer t;
    uint64_t total = program.size();
    for (const auto& f : files) {
        check_entry_name(f.name);
        total += f.data.size();
    }
    if (total > UINT32_MAX) throw PayloadError("The files exceed 4 GB, more than an installer can hold.");
    Bytes stream;
    stream.reserve(static_cast<size_t>(total));
    stream.insert(stream.end(), program.begin(), program.end());
    for (const auto& f : files) {
        t.entries.push_back(
            {f.name, static_cast<uint32_t>(stream.size()), static_cast<uint32_t>(f.data.size())});
        stream.insert(stream.end(), f.data.begin(), f.data.end());
    }
    t.total = static_cast<uint32_t>(total);

    Payload p;
    p.total = t.total;
    p.trailer = write_trailer(t);
    const Bytes packed = lzhuf_encode(stream);
    if (packed.size() > disk_size * static_cast<uint64_t>(disks))
        throw PayloadError("The compressed files (" + std::to_string(packed.size()) +
                           " bytes) do not fit on " + std::to_string(disks) + " disks of " +
                           std::to_string(disk_size) + " bytes.");
    size_t at = 0;
    for (int d = 0; d < disks; ++d) {
        const size_t take = static_cast<size_t>(std::min<uint64_t>(disk_size, packed.size() - at));
        p.volumes.emplace_back(packed.begin() + static_cast<std::ptrdiff_t>(at),
                               packed.begin() + static_cast<std::ptrdiff_t>(at + take));
        at += take;
    }
    return p;
}

}  // namespace vx::setup
