#include "iconlib/icon_file.h"

#include <gtest/gtest.h>

#include "unit/iconlib/iconlib_fixtures.h"

namespace vx::iconlib {
namespace {

using namespace vx::iconlib::testing;

Bytes sample(const std::string& name) {
    const std::string path = sample_path(name);
    if (path.empty()) return {};
    return read_file(path);
}

struct SampleCase {
    const char* file;
    IconKind kind;
    std::vector<std::array<int, 5>> images;  // width, height, bits, hotspot x, hotspot y
};

TEST(IconFile, ReadsRealIconsAndCursors) {
    const std::vector<SampleCase> cases = {
        {"icojs_basic.ico",
         IconKind::icon,
         {{16, 16, 1, 0, 0},
          {32, 32, 4, 0, 0},
          {48, 48, 8, 0, 0},
          {96, 96, 24, 0, 0},
          {256, 256, 4, 0, 0},
          {5, 32, 4, 0, 0},
          {32, 32, 32, 0, 0}}},
        {"webamp_museum_favicon.ico",
         IconKind::icon,
         {{16, 16, 32, 0, 0}, {32, 32, 32, 0, 0}, {48, 48, 32, 0, 0}, {256, 256, 32, 0, 0}}},
        {"icojs_png.ico", IconKind::icon, {{256, 256, 32, 0, 0}}},
        {"icojs_palette.ico", IconKind::icon, {{32, 32, 4, 0, 0}}},
        {"icojs_cursor.cur", IconKind::cursor, {{48, 48, 32, 2, 10}, {32, 32, 32, 2, 7}}},
        {"mini.cur", IconKind::cursor, {{32, 32, 32, 0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes data = sample(c.file);
        if (data.empty()) GTEST_SKIP() << "samples not available";
        const auto file = read_icon_file(data);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->kind, c.kind);
        ASSERT_EQ(file->images.size(), c.images.size());
        for (size_t i = 0; i < c.images.size(); ++i) {
            const auto& img = file->images[i];
            EXPECT_EQ(
                (std::array<int, 5>{img.width, img.height, img.bit_count, img.hotspot_x, img.hotspot_y}),
                c.images[i])
                << "image " << i;
        }
    }
    const auto museum = read_icon_file(sample("webamp_museum_favicon.ico"));
    EXPECT_TRUE(museum->images[3].png);

    const auto unavailable = read_icon_file(sample("emvaized_unavailable.cur"));
    ASSERT_TRUE(unavailable);
    ASSERT_EQ(unavailable->images.size(), 5u);
    EXPECT_EQ(unavailable->images.front().hotspot_x, 15);
    EXPECT_EQ(unavailable->images.back().hotspot_y, 63);
}

TEST(IconFile, RejectsDamagedFiles) {
    const Bytes good = tiny_icon({1, 2});
    ASSERT_TRUE(read_icon_file(good));

    struct Damage {
        const char* what;
        std::function<void(Bytes&)> apply;
    };
    const std::vector<Damage> damages = {
        {"empty", [](Bytes& b) { b.clear(); }},
        {"directory cut short", [](Bytes& b) { b.resize(6 + 16); }},
        {"reserved word set", [](Bytes& b) { b[0] = 1; }},
        {"unknown type", [](Bytes& b) { b[2] = 3; }},
        {"no images", [](Bytes& b) { put_u16(b.data() + 4, 0); }},
        {"count beyond the directory", [](Bytes& b) { put_u16(b.data() + 4, 0xFFFF); }},
        {"offset past the end", [](Bytes& b) { put_u32(b.data() + 6 + 12, 0xFFFFFFF0u); }},
        {"size past the end", [](Bytes& b) { put_u32(b.data() + 6 + 8, 0xFFFFFFFFu); }},
        {"image inside the directory", [](Bytes& b) { put_u32(b.data() + 6 + 12, 6); }},
        {"images overlapping",
         [](Bytes& b) { put_u32(b.data() + 6 + 16 + 12, get_u32(b.data() + 6 + 12) + 4); }},
        {"both entries on the same bytes",
         [](Bytes& b) { put_u32(b.data() + 6 + 16 + 12, get_u32(b.data() + 6 + 12)); }},
        {"file truncated inside the last image", [](Bytes& b) { b.pop_back(); }},
        {"header claims more pixels than stored",
         [](Bytes& b) { put_i32(b.data() + get_u32(b.data() + 6 + 12) + 4, 4096); }},
        {"negative width", [](Bytes& b) { put_i32(b.data() + get_u32(b.data() + 6 + 12) + 4, -1); }},
        {"header size past the image",
         [](Bytes& b) { put_u32(b.data() + get_u32(b.data() + 6 + 12), 0x7FFFFFFF); }},
        {"bit count 7", [](Bytes& b) { put_u16(b.data() + get_u32(b.data() + 6 + 12) + 14, 7); }},
    };
    for (const auto& d : damages) {
        Bytes b = good;
        d.apply(b);
        EXPECT_FALSE(read_icon_file(b)) << d.what;
    }
}

TEST(IconFile, WriterBuildsAFileTheReaderAccepts) {
    const Bytes png = sample("icojs_png.ico");
    std::vector<Bytes> images = {tiny_dib(0x00FF0000), tiny_dib(0x0000FF00)};
    if (!png.empty()) images.emplace_back(png.begin() + 22, png.end());  // its one PNG image

    const Bytes file = write_icon_file(images);
    const auto back = read_icon_file(file);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->images.size(), images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const auto& img = back->images[i];
        EXPECT_EQ(Bytes(file.begin() + img.offset, file.begin() + img.offset + img.size), images[i]);
    }
    if (!png.empty()) {
        EXPECT_TRUE(back->images[2].png);
        EXPECT_EQ(file[6 + 32], 0) << "256 pixels is written as 0 in the directory";
    }

    EXPECT_THROW(write_icon_file({}), std::invalid_argument);
    EXPECT_THROW(write_icon_file({Bytes{1, 2, 3}}), std::invalid_argument);
}

}  // namespace
}  // namespace vx::iconlib
