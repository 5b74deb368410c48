#include "iconlib/animation.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "iconlib/bytes_le.h"
#include "iconlib/icon_file.h"

namespace vx::iconlib {
namespace {

constexpr size_t kHeaderChunk = 36;

bool is_id(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

struct Chunk {
    const uint8_t* id;
    std::span<const uint8_t> body;
};

// Walks the chunks of [data, end) in order; false when one runs past the end.
template <typename Fn>
bool walk_chunks(std::span<const uint8_t> data, Fn&& fn) {
    size_t pos = 0;
    while (data.size() - pos >= 8) {
        const uint8_t* head = data.data() + pos;
        const size_t size = get_u32(head + 4);
        if (size > data.size() - pos - 8) return false;
        if (!fn(Chunk{head, data.subspan(pos + 8, size)})) return false;
        pos += 8 + size;
        if (size % 2 != 0 && pos < data.size()) ++pos;  // chunks are padded to even sizes
    }
    return true;
}

void append_chunk(Bytes& out, const char* id, std::span<const uint8_t> body) {
    const size_t at = out.size();
    out.resize(at + 8);
    std::memcpy(out.data() + at, id, 4);
    put_u32(out.data() + at + 4, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) out.push_back(0);
}

}  // namespace

Bytes write_animation(const std::vector<Bytes>& frames, uint32_t rate) {
    if (frames.empty()) throw std::invalid_argument("An animation needs at least one frame");
    Bytes header(kHeaderChunk, 0);
    const uint32_t fields[9] = {uint32_t(kHeaderChunk),
                                uint32_t(frames.size()),
                                uint32_t(frames.size()),
                                0,
                                0,
                                0,
                                0,
                                rate,
                                1 /* frames are icon resources */};
    for (size_t i = 0; i < 9; ++i) put_u32(header.data() + 4 * i, fields[i]);

    Bytes list = {'f', 'r', 'a', 'm'};
    for (const auto& frame : frames) {
        if (!read_icon_file(frame)) throw std::invalid_argument("An animation frame is not a sound icon");
        append_chunk(list, "icon", frame);
    }
    Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'C', 'O', 'N'};
    append_chunk(out, "anih", header);
    append_chunk(out, "LIST", list);
    if (out.size() - 8 > 0xFFFFFFFFu) throw std::invalid_argument("The animation is too large");
    put_u32(out.data() + 4, static_cast<uint32_t>(out.size() - 8));
    return out;
}

bool looks_like_animation(std::span<const uint8_t> data) {
    return data.size() >= 12 && is_id(data.data(), "RIFF") && is_id(data.data() + 8, "ACON");
}

std::optional<Animation> read_animation(std::span<const uint8_t> data) {
    if (!looks_like_animation(data)) return std::nullopt;
    size_t end = data.size();
    const uint64_t riff_size = get_u32(data.data() + 4);
    if (riff_size >= 4 && riff_size + 8 <= end) end = static_cast<size_t>(riff_size + 8);

    std::optional<AnimationHeader> header;
    std::optional<std::span<const uint8_t>> rates, sequence;
    std::vector<std::span<const uint8_t>> icons;
    bool have_frames = false;

    const bool walked = walk_chunks(data.subspan(12, end - 12), [&](const Chunk& c) {
        if (is_id(c.id, "anih")) {
            if (header) return true;  // the first one counts
            if (c.body.size() < kHeaderChunk) return false;
            const uint8_t* p = c.body.data();
            AnimationHeader h;
            h.frames = get_u32(p + 4);
            h.steps = get_u32(p + 8);
            h.width = get_u32(p + 12);
            h.height = get_u32(p + 16);
            h.bit_count = get_u32(p + 20);
            h.planes = get_u32(p + 24);
            h.default_rate = get_u32(p + 28);
            h.flags = get_u32(p + 32);
            header = h;
        } else if (is_id(c.id, "rate")) {
            if (!rates) rates = c.body;
        } else if (is_id(c.id, "seq ")) {
            if (!sequence) sequence = c.body;
        } else if (is_id(c.id, "LIST") && c.body.size() >= 4 && is_id(c.body.data(), "fram")) {
            if (have_frames) return true;
            have_frames = true;
            return walk_chunks(c.body.subspan(4), [&](const Chunk& f) {
                if (is_id(f.id, "icon")) icons.push_back(f.body);
                return true;
            });
        }
        return true;  // other LIST chunks (names, authors) and unknown chunks are skipped
    });
    if (!walked || !header || header->frames == 0 || icons.size() < header->frames) return std::nullopt;

    Animation anim;
    anim.header = *header;
    const uint32_t base_rate = header->default_rate ? header->default_rate : kDefaultRate;

    size_t step_count = header->frames;
    if (sequence) {
        if (header->steps == 0 || sequence->size() / 4 < header->steps) return std::nullopt;
        step_count = header->steps;
    }
    anim.steps.reserve(step_count);
    for (size_t i = 0; i < step_count; ++i) {
        AnimationStep s;
        s.frame = sequence ? get_u32(sequence->data() + 4 * i) : static_cast<uint32_t>(i);
        if (s.frame >= header->frames) return std::nullopt;
        s.rate = rates && rates->size() / 4 > i ? get_u32(rates->data() + 4 * i) : base_rate;
        anim.steps.push_back(s);
    }

    anim.frames.reserve(header->frames);
    for (size_t i = 0; i < header->frames; ++i) {
        Bytes frame(icons[i].begin(), icons[i].end());
        if (frame.size() >= 4) put_u16(frame.data() + 2, 1);
        if (!read_icon_file(frame)) return std::nullopt;
        anim.frames.push_back(std::move(frame));
    }
    return anim;
}

}  // namespace vx::iconlib
