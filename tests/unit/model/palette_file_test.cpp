#include "model/palette_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "util/file_io.h"

namespace vx::model {
namespace {

using Status = PaletteReadResult::Status;

// A palette no file would hold, so that every entry a read touches shows.
Palette marked() {
    Palette p{};
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = {static_cast<uint8_t>(i), 7, static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i % 2)};
    return p;
}

// The file text of `count` colours i -> (i, 2i mod 256, 100), after `header`.
std::string numbered(int count, const std::string& header = "JASC-PAL\r\n0100\r\n") {
    std::string s = header + std::to_string(count) + "\r\n";
    for (int i = 0; i < count; ++i) s += std::to_string(i) + " " + std::to_string((2 * i) % 256) + " 100\r\n";
    return s;
}

PaletteEntry numbered_entry(int i) {
    return {static_cast<uint8_t>(i), static_cast<uint8_t>((2 * i) % 256), 100, 0};
}

// Entry 0 black, 1 .. given - 1 from the file, the rest as they were.
void expect_read(const Palette& p, int given) {
    const Palette before = marked();
    EXPECT_EQ(p[0], PaletteEntry{});
    for (int i = 1; i < 256; ++i)
        EXPECT_EQ(p[static_cast<size_t>(i)], i < given ? numbered_entry(i) : before[static_cast<size_t>(i)])
            << "entry " << i;
}

TEST(PaletteFile, ReadsWhatTheHeaderAndCountAllow) {
    struct Case {
        const char* what;
        std::string text;
        Status status;
        int entries;
    };
    const Case cases[] = {
        {"sixteen colours change entries 1 to 15 only", numbered(16), Status::Complete, 16},
        {"the magic word in any letter case", numbered(4, "jasc-pal\r\n0100\r\n"), Status::Complete, 4},
        {"LF line ends and a version nobody checks", numbered(3, "JASC-PAL\n9999\n"), Status::Complete, 3},
        {"a UTF-8 byte order mark before the magic word", numbered(2, "\xEF\xBB\xBFJASC-PAL\r\n0100\r\n"),
         Status::Complete, 2},
        {"more colours than a palette holds: the first 256", numbered(300), Status::Complete, 256},
        {"no colours: only entry 0 turns black", numbered(0), Status::Complete, 0},
        {"announces eight, holds five", numbered(8).substr(0, numbered(5).size()), Status::Short, 5},
        {"ends after the version", "JASC-PAL\r\n0100\r\n", Status::Short, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Palette p = marked();
        const PaletteReadResult r = read_jasc_pal(c.text, p);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.entries, c.entries);
        EXPECT_TRUE(r.message.empty()) << r.message;
        if (c.text == "JASC-PAL\r\n0100\r\n") {
            EXPECT_EQ(p, marked()) << "no count was read, so nothing changes";
        } else {
            expect_read(p, c.entries);
        }
    }
}

TEST(PaletteFile, OtherFilesAreNotReadAtAll) {
    for (const std::string& text : {std::string("RIFF\x10\0\0\0PAL data", 16), std::string(""),
                                    std::string("JASC-PALETTE\r\n0100\r\n1\r\n1 2 3\r\n"),
                                    std::string("\r\nJASC-PAL\r\n0100\r\n1\r\n1 2 3\r\n")}) {
        Palette p = marked();
        EXPECT_EQ(read_jasc_pal(text, p).status, Status::NotAPalette);
        EXPECT_EQ(p, marked());
    }
}

TEST(PaletteFile, ABadLineIsRefusedWithAMessageAndWhatCameBeforeItStays) {
    // Entry 3 (file line 7) holds each of these in turn.
    for (const char* bad : {"12 x 4", "12 34", "256 0 0", "-1 0 0", "1.5 2 3", "0x10 2 3", "\x01\x02\x03"}) {
        SCOPED_TRACE(bad);
        std::string text = numbered(3) + bad + "\r\n" + "9 9 9\r\n";
        text.replace(text.find("\r\n3\r\n") + 2, 1, "5");  // the count announces five
        Palette p = marked();
        const PaletteReadResult r = read_jasc_pal(text, p);
        EXPECT_EQ(r.status, Status::Refused);
        EXPECT_EQ(r.entries, 3);
        EXPECT_NE(r.message.find("line 7"), std::string::npos) << r.message;
        expect_read(p, 3);
    }
    for (const char* count : {"many", "-3", "16 colours", ""}) {
        SCOPED_TRACE(count);
        Palette p = marked();
        const PaletteReadResult r =
            read_jasc_pal(std::string("JASC-PAL\r\n0100\r\n") + count + "\r\n1 2 3\r\n", p);
        EXPECT_EQ(r.status, Status::Refused);
        EXPECT_NE(r.message.find("line 3"), std::string::npos) << r.message;
        EXPECT_EQ(p, marked()) << "a count that cannot be read changes nothing";
    }
}

TEST(PaletteFile, ToleratesWhatHandWrittenFilesHold) {
    // Tabs and runs of blanks, a fourth (alpha) value, a blank line between colours, lone CRs.
    const std::string text = "JASC-PAL\r0100\r4\r0 0 0\r  1\t2   100 \r\r\n2 4 100 255\n3 6 100";
    Palette p = marked();
    const PaletteReadResult r = read_jasc_pal(text, p);
    EXPECT_EQ(r.status, Status::Complete);
    EXPECT_EQ(r.entries, 4);
    expect_read(p, 4);
}

TEST(PaletteFile, WritesThePublishedFormAndReadsItBack) {
    Palette p = marked();
    const std::string text = write_jasc_pal(p);
    EXPECT_TRUE(text.starts_with("JASC-PAL\r\n0100\r\n256\r\n0 7 255\r\n1 7 254\r\n")) << text.substr(0, 60);
    EXPECT_TRUE(text.ends_with("\r\n255 7 0\r\n"));
    Palette back{};
    const PaletteReadResult r = read_jasc_pal(text, back);
    EXPECT_EQ(r.status, Status::Complete);
    EXPECT_EQ(r.entries, 256);
    for (size_t i = 1; i < 256; ++i) {
        EXPECT_EQ(back[i].red, p[i].red);
        EXPECT_EQ(back[i].green, p[i].green);
        EXPECT_EQ(back[i].blue, p[i].blue);
    }
}

class PaletteFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("vx_palette_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string path(const char* name) const { return path_to_utf8(dir / name); }
    std::filesystem::path dir;
};

TEST_F(PaletteFiles, SavingReplacesTheFileWholeAndLeavesNothingBeside) {
    write_file_atomic(path("OLD.PAL"), std::string_view("JASC-PAL\r\n0100\r\n1\r\n1 2 3\r\n"));
    save_palette_file(path("OLD.PAL"), marked());
    Palette back{};
    EXPECT_EQ(load_palette_file(path("OLD.PAL"), back).entries, 256);
    EXPECT_EQ(back[200], (PaletteEntry{200, 7, 55, 0}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()),
              1);

    EXPECT_THROW(save_palette_file(path("missing folder/NEW.PAL"), marked()), FileError);
    EXPECT_THROW(load_palette_file(path("NONE.PAL"), back), FileError);
}

// Files other programs wrote.
TEST(PaletteFileSamples, ReadAsTheirProgramsMeantThem) {
    Palette p = marked();
    PaletteReadResult r = load_palette_file(std::string(VX_SAMPLES_DIR) + "/porytiles_general_01.pal", p);
    EXPECT_EQ(r.status, Status::Complete);
    EXPECT_EQ(r.entries, 16);
    EXPECT_EQ(p[0], PaletteEntry{}) << "the file's 24 41 82 gives way to black";
    EXPECT_EQ(p[1], (PaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(p[2], (PaletteEntry{222, 230, 238, 0}));
    EXPECT_EQ(p[15], (PaletteEntry{115, 197, 164, 0}));
    EXPECT_EQ(p[16], marked()[16]);

    // Mixed CR LF and LF line ends, and no line end after the last colour.
    p = marked();
    r = load_palette_file(std::string(VX_SAMPLES_DIR) + "/porytiles_primer.pal", p);
    EXPECT_EQ(r.status, Status::Complete);
    EXPECT_EQ(r.entries, 8);
    EXPECT_EQ(p[1], (PaletteEntry{255, 255, 0, 0}));
    EXPECT_EQ(p[5], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(p[7], (PaletteEntry{128, 128, 128, 0}));
    EXPECT_EQ(p[8], marked()[8]);

    // The palette the release ships is the one a new desktop starts with.
    p = marked();
    r = load_palette_file(std::string(VX_DATA_DIR) + "/Default.pal", p);
    EXPECT_EQ(r.status, Status::Complete);
    EXPECT_EQ(p, default_palette());
}

TEST(PaletteFile, OnlyPalNamesAreReadAsPaletteFiles) {
    for (const char* yes : {"A.PAL", "c:\\art\\sunset.pal", "x.Pal", "/tmp/dir.bmp/file.pAl"})
        EXPECT_TRUE(is_palette_file_name(yes)) << yes;
    for (const char* no : {"PAL", "a.pal.bmp", "c:\\x.pal\\pic.bmp", "a.pale", "a.pa", ".pal\\x"})
        EXPECT_FALSE(is_palette_file_name(no)) << no;
}

}  // namespace
}  // namespace vx::model
