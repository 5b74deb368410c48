#include "imaging/pcx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "util/file_io.h"

namespace vx::imaging {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kBlack = 0, kWhite = 0xFFFFFF;

// A 128-byte header for a `width` x `height` picture, followed by `body`.
Bytes pcx(int width, int height, int bits, int planes, int line_bytes, std::initializer_list<uint8_t> body,
          int version = 5, int encoding = 1) {
    Bytes d(128 + body.size(), 0);
    std::copy(body.begin(), body.end(), d.begin() + 128);
    d[0] = 0x0A;
    d[1] = static_cast<uint8_t>(version);
    d[2] = static_cast<uint8_t>(encoding);
    d[3] = static_cast<uint8_t>(bits);
    d[8] = static_cast<uint8_t>((width - 1) & 0xFF);
    d[9] = static_cast<uint8_t>((width - 1) >> 8);
    d[10] = static_cast<uint8_t>((height - 1) & 0xFF);
    d[11] = static_cast<uint8_t>((height - 1) >> 8);
    d[65] = static_cast<uint8_t>(planes);
    d[66] = static_cast<uint8_t>(line_bytes & 0xFF);
    d[67] = static_cast<uint8_t>(line_bytes >> 8);
    return d;
}

// The 256-colour palette at the end: entry 0 black, 1 red, 2 green, 3 blue, the rest white.
void add_tail_palette(Bytes& d) {
    d.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = i == 0 ? kBlack : i == 1 ? kRed : i == 2 ? kGreen : i == 3 ? kBlue : kWhite;
        d.push_back(static_cast<uint8_t>(c >> 16));
        d.push_back(static_cast<uint8_t>(c >> 8));
        d.push_back(static_cast<uint8_t>(c));
    }
}

void set_header_colour(Bytes& d, int index, uint32_t c) {
    d[16 + 3 * index] = static_cast<uint8_t>(c >> 16);
    d[17 + 3 * index] = static_cast<uint8_t>(c >> 8);
    d[18 + 3 * index] = static_cast<uint8_t>(c);
}

TEST(Pcx, EightBitRunsUseTheTailPaletteAndMayCrossRows) {
    // 3x2, rows padded to 4 bytes: a run of 5 reds crosses from row 0 into row 1.
    Bytes d = pcx(3, 2, 8, 1, 4, {0xC5, 0x01, 0x02, 0x03, 0x00});
    add_tail_palette(d);
    std::string error;
    const auto img = decode_pcx(d, &error);
    ASSERT_TRUE(img) << error;
    EXPECT_EQ(img->width, 3);
    EXPECT_EQ(img->height, 2);
    EXPECT_EQ(img->pixels, (std::vector<uint32_t>{kRed, kRed, kRed, kRed, kGreen, kBlue}));
    ASSERT_EQ(img->palette.size(), 256u);
    EXPECT_EQ(img->palette[1], (Rgb{255, 0, 0}));
    const auto pal = pcx_palette(d);
    ASSERT_TRUE(pal);
    EXPECT_EQ(*pal, img->palette);
}

TEST(Pcx, TrueColourPlanesAndStoredData) {
    // 2x1 in three planes (red, green, blue rows), a fourth (alpha) plane read past; stored, not RLE.
    const Bytes d = pcx(2, 1, 8, 4, 2, {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x99, 0x99}, 5, 0);
    const auto img = decode_pcx(d);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixels, (std::vector<uint32_t>{kRed, kBlue}));
    EXPECT_TRUE(img->palette.empty());
}

TEST(Pcx, FewColourLayouts) {
    // Two-colour: black and white whatever the header palette says. A byte with both top bits
    // set is stored as a run of one.
    Bytes mono = pcx(10, 1, 1, 1, 2, {0xA0, 0xC1, 0xC0});
    set_header_colour(mono, 0, kRed);
    auto img = decode_pcx(mono);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixels, (std::vector<uint32_t>{kWhite, kBlack, kWhite, kBlack, kBlack, kBlack, kBlack,
                                                  kBlack, kWhite, kWhite}));
    EXPECT_EQ(img->palette.size(), 2u);

    // Sixteen colours in four bit planes: pixel 0 has bit 0 and 1 set (index 3), pixel 1 only bit 2 (4).
    Bytes planar = pcx(2, 1, 1, 4, 2, {0x80, 0x00, 0x80, 0x00, 0x40, 0x00, 0x00, 0x00});
    set_header_colour(planar, 3, kGreen);
    set_header_colour(planar, 4, kBlue);
    img = decode_pcx(planar);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixels, (std::vector<uint32_t>{kGreen, kBlue}));
    EXPECT_EQ(img->palette.size(), 16u);

    // Sixteen colours packed two to a byte.
    Bytes packed = pcx(3, 1, 4, 1, 2, {0x1F, 0x20});
    set_header_colour(packed, 1, kRed);
    set_header_colour(packed, 15, kBlue);
    set_header_colour(packed, 2, kGreen);
    img = decode_pcx(packed);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixels, (std::vector<uint32_t>{kRed, kBlue, kGreen}));

    // Version 3 carries no palette: the standard sixteen colours (index 1 dark blue).
    Bytes v3 = pcx(1, 1, 4, 1, 2, {0x10, 0x00}, 3);
    set_header_colour(v3, 1, kRed);
    img = decode_pcx(v3);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixels, (std::vector<uint32_t>{0x0000AA}));
}

TEST(Pcx, DamagedFilesGiveNothingWithAReason) {
    Bytes no_palette = pcx(2, 1, 8, 1, 2, {0x01, 0x01});
    Bytes wrong_marker = pcx(2, 1, 8, 1, 2, {0x01, 0x01});
    add_tail_palette(wrong_marker);
    wrong_marker[wrong_marker.size() - 769] = 0x0B;
    Bytes huge = pcx(65535, 65535, 8, 1, 65535, {0xFF, 0x00});
    add_tail_palette(huge);
    Bytes wide_but_short = pcx(60000, 1000, 8, 3, 60000, {0xFF, 0x00, 0xFF, 0x00});
    Bytes run_cut = pcx(4, 1, 8, 3, 4, {0xCC});
    Bytes negative = pcx(4, 1, 8, 3, 4, {});
    negative[4] = 9;  // xmin beyond xmax
    Bytes short_rows = pcx(17, 1, 8, 3, 16, {0xF1, 0x00});
    Bytes odd_layout = pcx(2, 1, 3, 1, 2, {0x00, 0x00});
    Bytes bad_encoding = pcx(2, 1, 8, 3, 2, {0x00, 0x00});
    bad_encoding[2] = 2;

    const struct Case {
        const char* what;
        Bytes data;
        const char* reason;
    } cases[] = {
        {"empty", {}, "not a PCX picture"},
        {"header cut short", Bytes(100, 0x0A), "not a PCX picture"},
        {"another format", Bytes{'B', 'M', 0, 0, 0}, "not a PCX picture"},
        {"unknown encoding", bad_encoding, "not a PCX picture"},
        {"256 colours without palette", no_palette, "PCX 256-colour palette missing"},
        {"palette marker wrong", wrong_marker, "PCX 256-colour palette missing"},
        {"65535 x 65535", huge, "PCX picture too large"},
        {"huge rows in a small file", wide_but_short, "PCX picture data truncated"},
        {"run count without its byte", run_cut, "PCX picture data truncated"},
        {"xmax before xmin", negative, "PCX picture with a negative size"},
        {"rows shorter than the width", short_rows, "PCX rows shorter than the picture is wide"},
        {"three bits a pixel", odd_layout, "PCX colour layout not supported"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(decode_pcx(c.data, &error)) << c.what;
        EXPECT_EQ(error, c.reason) << c.what;
    }
    // Every prefix of a good file is refused cleanly.
    Bytes good = pcx(3, 2, 8, 1, 4, {0xC5, 0x01, 0x02, 0x03, 0x00});
    add_tail_palette(good);
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(decode_pcx(std::span(good.data(), n))) << n << " bytes";
}

TEST(Pcx, FilesFromAnotherWriter) {
    // Left half red, right half blue, 6x4: RLE 24-bit planes and an 8-bit palette picture.
    for (const char* name : {"pcx24.pcx", "pcx8.pcx"}) {
        const Bytes d = read_file(std::string(VX_FIXTURES_DIR) + "/imaging/" + name);
        std::string error;
        const auto img = decode_pcx(d, &error);
        ASSERT_TRUE(img) << name << ": " << error;
        EXPECT_EQ(img->width, 6) << name;
        EXPECT_EQ(img->height, 4) << name;
        EXPECT_EQ(img->pixels[1 * 6 + 1], kRed) << name;
        EXPECT_EQ(img->pixels[2 * 6 + 4], kBlue) << name;
    }
}

}  // namespace
}  // namespace vx::imaging
