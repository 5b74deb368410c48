#include <gtest/gtest.h>

#include <string>

#include "setup/payload.h"

namespace vx::setup {
namespace {

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

TEST(Trailer, ReadsTheFieldsBackwardsFromTheEnd) {
    // A program stub, then one entry "AB" at offset 5 of length 3, N = 1, total 8.
    Bytes file = text("MZxyz");
    Bytes entry(28, 0xEE);  // bytes after the name are not significant
    entry[0] = 2;
    entry[1] = 'A';
    entry[2] = 'B';
    const uint8_t fields[] = {0x05, 0, 0, 0, 0x03, 0, 0, 0};
    std::copy(std::begin(fields), std::end(fields), entry.begin() + 20);
    file.insert(file.end(), entry.begin(), entry.end());
    file.push_back(1);
    const uint8_t total[] = {0x08, 0, 0, 0};
    file.insert(file.end(), std::begin(total), std::end(total));

    const Trailer t = parse_trailer(file);
    EXPECT_EQ(t.total, 8u);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0], (DirEntry{"AB", 5, 3}));
    EXPECT_EQ(t.start, 5u);
    EXPECT_EQ(t.program_length(), 5u);
}

TEST(Trailer, WritesWhatItReadsAndReadsFromATailOnly) {
    Trailer t;
    t.total = 0x01020304;
    t.entries = {{"VXHooks.DLL", 0x1000, 0x200},
                 {"VX.DTP", 0x1200, 0},
                 {"Nineteen_chars.abcd", 0x1200, 0x01020304 - 0x1200}};
    Bytes file(100, 'P');
    t.start = file.size();
    const Bytes tr = write_trailer(t);
    ASSERT_EQ(tr.size(), trailer_size(3));
    file.insert(file.end(), tr.begin(), tr.end());
    EXPECT_EQ(parse_trailer(file), t);
    // The installer reads only the last bytes of its own file.
    const size_t tail = tr.size() + 7;
    EXPECT_EQ(parse_trailer(file.data() + file.size() - tail, tail, file.size()), t);
}

TEST(Trailer, NoEntriesMeansTheWholeStreamIsTheProgram) {
    Trailer t;
    t.total = 12345;
    Bytes file = write_trailer(t);
    const Trailer back = parse_trailer(file);
    EXPECT_TRUE(back.entries.empty());
    EXPECT_EQ(back.program_length(), 12345u);
}

TEST(Trailer, RefusesDamagedDirectories) {
    auto with_entry = [](uint8_t name_len, const std::string& name, uint32_t offset, uint32_t length,
                         uint32_t total, int count = 1) {
        Bytes out;
        for (int i = 0; i < count; ++i) {
            Bytes e(28, 0);
            e[0] = name_len;
            std::copy(name.begin(), name.end(), e.begin() + 1);
            for (int b = 0; b < 4; ++b) {
                e[20 + b] = static_cast<uint8_t>(offset >> (8 * b));
                e[24 + b] = static_cast<uint8_t>(length >> (8 * b));
            }
            out.insert(out.end(), e.begin(), e.end());
        }
        out.push_back(static_cast<uint8_t>(count));
        for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(total >> (8 * b)));
        return out;
    };
    Bytes claims_more = with_entry(1, "A", 0, 1, 1);
    claims_more[28] = 2;
    const struct {
        const char* why;
        Bytes file;
    } cases[] = {
        {"shorter than the count and total", {1, 2, 3, 4}},
        {"N larger than the file", claims_more},
        {"name length above 19", with_entry(20, "ABCDEFGHIJKLMNOPQRS", 0, 1, 1)},
        {"empty name", with_entry(0, "", 0, 1, 1)},
        {"name climbs out of the folder", with_entry(7, "..\\x.dl", 0, 1, 1)},
        {"name with a drive", with_entry(6, "C:x.dl", 0, 1, 1)},
        {"name of dots", with_entry(2, "..", 0, 1, 1)},
        {"entry ends past the total", with_entry(1, "A", 10, 5, 12)},
        {"offset plus length overflows", with_entry(1, "A", 0xFFFFFFF0u, 0x20, 0xFFFFFFFFu)},
        {"entries overlap", with_entry(1, "A", 0, 4, 8, 2)},
    };
    for (const auto& c : cases) EXPECT_THROW(parse_trailer(c.file), PayloadError) << c.why;
}

TEST(Packer, CutsVolumesAndPlacesEntriesBackToBack) {
    const Bytes program = text(std::string(5000, 'p'));
    const std::vector<PackFile> files = {
        {"One.DLL", text("first")}, {"Empty.TXT", {}}, {"Two.HLP", text("second")}};
    const Payload p = build_payload(program, files, 100, 3);
    ASSERT_EQ(p.volumes.size(), 3u);
    Bytes joined;
    for (const auto& v : p.volumes) {
        EXPECT_LE(v.size(), 100u);
        joined.insert(joined.end(), v.begin(), v.end());
    }
    const Trailer t = parse_trailer(p.trailer);
    EXPECT_EQ(t.total, 5011u);
    EXPECT_EQ(t.program_length(), 5000u);
    EXPECT_EQ(t.entries.back().offset + t.entries.back().length, t.total);
    const Bytes stream = lzhuf_decode(joined, t.total);
    for (const auto& e : t.entries) {
        const auto& want =
            std::find_if(files.begin(), files.end(), [&](auto& f) { return f.name == e.name; })->data;
        EXPECT_EQ(Bytes(stream.begin() + e.offset, stream.begin() + e.offset + e.length), want) << e.name;
    }

    EXPECT_THROW(build_payload(program, files, 10, 3), PayloadError);  // does not fit
    EXPECT_THROW(build_payload(program, {{"a/b.txt", {}}}, 100, 3), PayloadError);
    EXPECT_THROW(build_payload(program, {{"TwentyCharacters.txt", {}}}, 100, 3), PayloadError);
}

}  // namespace
}  // namespace vx::setup
