#pragma once
// Small icon, cursor and animated cursor files built in memory, and a scratch folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "iconlib/bytes_le.h"
#include "unit/scratch_dir.h"
#include "util/file_io.h"

namespace vx::iconlib::testing {

// A 1x1 32-bit DIB (header, one pixel, mask row) whose pixel is `colour`.
inline Bytes tiny_dib(uint32_t colour) {
    Bytes b(40 + 4 + 4, 0);
    put_u32(b.data(), 40);
    put_i32(b.data() + 4, 1);
    put_i32(b.data() + 8, 2);
    put_u16(b.data() + 12, 1);
    put_u16(b.data() + 14, 32);
    put_u32(b.data() + 40, colour);
    return b;
}

// An icon (type 1) or cursor (type 2) file with one tiny image per colour.
inline Bytes tiny_icon(std::vector<uint32_t> colours, uint16_t type = 1) {
    const size_t dir_end = 6 + 16 * colours.size();
    Bytes out(dir_end, 0);
    put_u16(out.data() + 2, type);
    put_u16(out.data() + 4, static_cast<uint16_t>(colours.size()));
    for (size_t i = 0; i < colours.size(); ++i) {
        const Bytes img = tiny_dib(colours[i]);
        uint8_t* e = out.data() + 6 + 16 * i;
        e[0] = e[1] = 1;
        put_u16(e + 4, type == 2 ? 3 : 1);
        put_u16(e + 6, type == 2 ? 4 : 32);
        put_u32(e + 8, static_cast<uint32_t>(img.size()));
        put_u32(e + 12, static_cast<uint32_t>(out.size()));
        out.insert(out.end(), img.begin(), img.end());
    }
    return out;
}

inline void append_chunk(Bytes& out, const char* id, const Bytes& body) {
    const size_t at = out.size();
    out.resize(at + 8);
    std::memcpy(out.data() + at, id, 4);
    put_u32(out.data() + at + 4, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2) out.push_back(0);
}

inline Bytes u32s(std::vector<uint32_t> values) {
    Bytes b(values.size() * 4);
    for (size_t i = 0; i < values.size(); ++i) put_u32(b.data() + 4 * i, values[i]);
    return b;
}

inline Bytes anih(uint32_t frames, uint32_t steps, uint32_t rate = 0) {
    return u32s({36, frames, steps, 0, 0, 0, 0, rate, 1});
}

inline Bytes fram_list(size_t frames, uint16_t type = 2) {
    Bytes body = {'f', 'r', 'a', 'm'};
    for (size_t i = 0; i < frames; ++i) append_chunk(body, "icon", tiny_icon({uint32_t(i)}, type));
    return body;
}

// RIFF "ACON" around the given chunks (already laid out), with a correct size field.
inline Bytes riff(const Bytes& chunks) {
    Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'C', 'O', 'N'};
    out.insert(out.end(), chunks.begin(), chunks.end());
    put_u32(out.data() + 4, static_cast<uint32_t>(out.size() - 8));
    return out;
}

// The real-world samples beside the checkout; VX_SAMPLES in the environment points
// elsewhere (a worktree has no shared/ beside it). Empty path: tests skip.
inline std::string sample_path(const std::string& name) {
    const char* env = std::getenv("VX_SAMPLES");
    const std::string path = join_path(env && *env ? env : VX_SAMPLES_DIR, name);
    return file_exists(path) ? path : std::string();
}

// Named after the suite as before, so that two suites never share a folder.
struct ScratchDir : vx::testing::ScratchDir {
    ScratchDir() : vx::testing::ScratchDir("vx_iconlib_") {}
};

}  // namespace vx::iconlib::testing
