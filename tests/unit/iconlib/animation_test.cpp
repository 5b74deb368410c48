#include "iconlib/animation.h"

#include <gtest/gtest.h>

#include "iconlib/icon_file.h"
#include "unit/iconlib/iconlib_fixtures.h"

namespace vx::iconlib {
namespace {

using namespace vx::iconlib::testing;

TEST(Animation, ReadsRealAnimatedCursors) {
    struct Case {
        const char* file;
        size_t frames;
        std::vector<uint32_t> sequence;  // empty: one step per frame
        std::vector<uint32_t> rates;     // empty: all steps at `rate`
        uint32_t rate;
    };
    const std::vector<Case> cases = {
        {"emvaized_busy.ani", 16, {}, {}, 1},
        {"mini_busy.ani", 7, {}, {}, 9},
        // RIFF size field 0; rate and seq after anih, the INFO list after them.
        {"webamp_aftershock_close.ani", 9, {0, 1, 2, 3, 4, 5, 6, 7, 8, 7, 6, 5, 4, 3, 2, 1}, {}, 10},
        // RIFF size field 8 too large; a rate chunk overriding the header's 10.
        {"webamp_green_eqslid.ani", 2, {}, {8, 8}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = sample_path(c.file);
        if (path.empty()) GTEST_SKIP() << "samples not available";
        const auto anim = read_animation(read_file(path));
        ASSERT_TRUE(anim);
        EXPECT_EQ(anim->frames.size(), c.frames);
        const size_t steps = c.sequence.empty() ? c.frames : c.sequence.size();
        ASSERT_EQ(anim->steps.size(), steps);
        for (size_t i = 0; i < steps; ++i) {
            EXPECT_EQ(anim->steps[i].frame, c.sequence.empty() ? i : c.sequence[i]) << "step " << i;
            EXPECT_EQ(anim->steps[i].rate, c.rates.empty() ? c.rate : c.rates[i]) << "step " << i;
        }
        for (const auto& frame : anim->frames) {
            const auto icon = read_icon_file(frame);
            ASSERT_TRUE(icon);
            EXPECT_EQ(icon->kind, IconKind::icon) << "frames load as icons";
        }
    }
}

TEST(Animation, StepsRatesAndSkippedChunks) {
    Bytes chunks;
    Bytes info = {'I', 'N', 'F', 'O'};
    append_chunk(info, "INAM", Bytes{'x'});  // odd size: padded
    append_chunk(chunks, "LIST", info);
    append_chunk(chunks, "anih", anih(3, 4));
    append_chunk(chunks, "rate", u32s({5, 6}));  // fewer rates than steps
    append_chunk(chunks, "seq ", u32s({2, 0, 2, 1}));
    append_chunk(chunks, "LIST", fram_list(3));
    const auto anim = read_animation(riff(chunks));
    ASSERT_TRUE(anim);
    ASSERT_EQ(anim->steps.size(), 4u);
    EXPECT_EQ(anim->steps[0].frame, 2u);
    EXPECT_EQ(anim->steps[3].frame, 1u);
    EXPECT_EQ(anim->steps[1].rate, 6u);
    EXPECT_EQ(anim->steps[2].rate, kDefaultRate) << "no rate in the chunk nor the header";
    EXPECT_EQ(get_u16(anim->frames[0].data() + 2), 1) << "stored as cursors, loaded as icons";
    EXPECT_EQ(step_delay_ms(6), 100u);
}

TEST(Animation, DataErrorsGiveNoAnimation) {
    const auto build = [](const Bytes& header, const Bytes* seq, size_t frames) {
        Bytes chunks;
        append_chunk(chunks, "anih", header);
        if (seq) append_chunk(chunks, "seq ", *seq);
        append_chunk(chunks, "LIST", fram_list(frames));
        return riff(chunks);
    };
    const Bytes out_of_range = u32s({0, 5});
    const Bytes short_seq = u32s({0});
    Bytes big_header = anih(2, 2);
    big_header.resize(64, 0);  // larger than the standard header: allowed
    EXPECT_TRUE(read_animation(build(big_header, nullptr, 2)));

    struct Case {
        const char* what;
        Bytes data;
    };
    Bytes no_fram;
    append_chunk(no_fram, "anih", anih(1, 1));
    Bytes bad_frame = build(anih(1, 1), nullptr, 1);
    bad_frame[bad_frame.size() - 50] ^= 0xFF;  // inside the frame's bitmap header
    Bytes overrun = build(anih(1, 1), nullptr, 1);
    put_u32(overrun.data() + 16, 0xFFFFFFF0u);  // the anih chunk's size
    const std::vector<Case> cases = {
        {"not RIFF", Bytes(40, 'x')},
        {"header chunk too short", build(Bytes(20, 0), nullptr, 1)},
        {"no frames", build(anih(0, 0), nullptr, 1)},
        {"huge frame count", build(anih(0xFFFFFFFFu, 1), nullptr, 1)},
        {"fewer icons than frames", build(anih(3, 3), nullptr, 2)},
        {"sequence names a missing frame", build(anih(2, 2), &out_of_range, 2)},
        {"huge step count with a short sequence", build(anih(1, 0xFFFFFFFFu), &short_seq, 1)},
        {"no frame list", riff(no_fram)},
        {"chunk size past the end", overrun},
        {"frame that is no icon", bad_frame},
    };
    for (const auto& c : cases) EXPECT_FALSE(read_animation(c.data)) << c.what;
}

}  // namespace
}  // namespace vx::iconlib
