#include "iconlib/library.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "iconlib/icon_file.h"
#include "unit/iconlib/iconlib_fixtures.h"

namespace vx::iconlib {
namespace {

using namespace vx::iconlib::testing;

// Holds icon numbers the way buttons and page tabs do.
struct References : IconReferences {
    std::vector<uint16_t> numbers;
    int calls = 0;
    void renumber(const std::function<uint16_t(uint16_t)>& new_number) override {
        ++calls;
        for (auto& n : numbers) n = new_number(n);
    }
};

class FakeSource : public IconSource {
public:
    std::optional<std::string> short_name;
    std::vector<Bytes> images;
    std::vector<std::pair<std::string, int>> extracted;
    std::vector<std::string> shortcuts;

    std::optional<std::string> short_path(const std::string&) override { return short_name; }
    std::vector<Bytes> extract_icon(const std::string& path, int index) override {
        extracted.emplace_back(path, index);
        return images;
    }
    std::vector<Bytes> shortcut_icon(const std::string& path) override {
        shortcuts.push_back(path);
        return images;
    }
};

class IconLibraryTest : public ::testing::Test {
protected:
    ScratchDir dir;
    Windows1252Codec codec;
    IconLibrary lib{dir.str(), codec};

    std::string write_icon(const std::string& name, uint32_t colour, uint16_t type = 1) {
        const std::string path = dir.file(name);
        write_file_atomic(path, tiny_icon({colour}, type));
        return path;
    }
    // Entries "E0.ICO" ... with distinct bytes.
    void fill(int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(lib.add_file(write_icon("E" + std::to_string(i) + ".ICO", uint32_t(i)), 0, nullptr), i);
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const auto& r : lib.records()) out.push_back(r.name());
        return out;
    }
    Bytes index_bytes() { return read_file(lib.index_path()); }
    Bytes data_bytes() { return read_file(lib.data_path()); }
};

TEST_F(IconLibraryTest, RecordLayoutIsFieldByField) {
    IndexRecord r;
    r.size = 0x01020304;
    r.offset = -2;
    r.set_name("ABCDEFGHIJKLMNOP");
    r.padding = {7, 8, 9};
    r.type = -3;
    uint8_t raw[kRecordSize];
    encode_record(r, raw);
    const uint8_t expected[kRecordSize] = {4,   3,   2,   1,   0xFE, 0xFF, 0xFF, 0xFF, 12,  'A',
                                           'B', 'C', 'D', 'E', 'F',  'G',  'H',  'I',  'J', 'K',
                                           'L', 7,   8,   9,   0xFD, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Bytes(raw, raw + kRecordSize), Bytes(expected, expected + kRecordSize));
    const IndexRecord back = decode_record(raw);
    EXPECT_EQ(back.name(), "ABCDEFGHIJKL");
    EXPECT_FALSE(back.live());

    raw[8] = 200;  // a length byte past the field reads as the whole field
    EXPECT_EQ(decode_record(raw).name(), "ABCDEFGHIJKL");
    EXPECT_EQ(parse_index(Bytes(kRecordSize * 2 + 5, 0)).size(), 2u) << "a torn last record is no entry";
}

TEST_F(IconLibraryTest, AddsFilesByExtensionAndFindsThemByName) {
    EXPECT_EQ(lib.find("A.ICO"), -1) << "no index yet";
    const Bytes icon = tiny_icon({1});
    const Bytes cursor = tiny_icon({2}, 2);
    write_file_atomic(dir.file("A.ICO"), icon);
    write_file_atomic(dir.file("B.cur"), cursor);
    Bytes chunks;
    append_chunk(chunks, "anih", anih(1, 1));
    append_chunk(chunks, "LIST", fram_list(1));
    const Bytes ani = riff(chunks);
    write_file_atomic(dir.file("C.Ani"), ani);

    EXPECT_EQ(lib.add_file(dir.file("A.ICO"), 0, nullptr), 0);
    EXPECT_EQ(lib.add_file(dir.file("B.cur"), 0, nullptr), 1);
    EXPECT_EQ(lib.add_file(dir.file("C.Ani"), 0, nullptr), 2);

    const auto recs = lib.records();
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[0].type, kTypeIcon);
    EXPECT_EQ(recs[1].type, kTypeCursor);
    EXPECT_EQ(recs[2].type, kTypeAnimated);
    EXPECT_EQ(recs[1].offset, int32_t(icon.size()));
    EXPECT_EQ(recs[2].size, int32_t(ani.size()));
    Bytes all = icon;
    all.insert(all.end(), cursor.begin(), cursor.end());
    all.insert(all.end(), ani.begin(), ani.end());
    EXPECT_EQ(data_bytes(), all);

    EXPECT_EQ(lib.find("B.cur"), 1);
    EXPECT_EQ(lib.find("b.cur"), -1) << "names compare case-sensitively";

    // The same file again: its first number, both files untouched.
    const Bytes index_before = index_bytes();
    EXPECT_EQ(lib.add_file(dir.file("B.cur"), 0, nullptr), 1);
    EXPECT_EQ(index_bytes(), index_before);
    EXPECT_EQ(data_bytes(), all);
}

TEST_F(IconLibraryTest, NamesAreShortFormsCutToTwelveCharacters) {
    FakeSource source;
    source.images = {tiny_dib(5)};
    write_icon("A very long name.ico", 1);
    EXPECT_EQ(lib.add_file(dir.file("A very long name.ico"), 0, nullptr), 0);
    source.short_name = "C:\\PROGRA~1\\LIBRARY\\CATALO~1.EXE";
    EXPECT_EQ(lib.add_file("C:\\Program Files\\Library\\Catalogue.exe", 0, &source), 1);
    EXPECT_EQ(lib.add_file("C:\\Program Files\\Library\\Catalogue.exe", 3, &source), 2);
    EXPECT_EQ(lib.add_file("C:\\Program Files\\Library\\Catalogue.exe", 3, &source), 2);
    source.short_name.reset();
    EXPECT_EQ(lib.add_file("C:\\Apps\\Größe.exe", 0, &source), 3);
    EXPECT_THAT(names(), ::testing::ElementsAre("A very long ", "CATALO~1.EXE", "CATALO~1,3",
                                                "Gr\xF6\xDF"
                                                "e.exe"));
    EXPECT_EQ(lib.find("Größe.exe"), 3);
}

TEST_F(IconLibraryTest, ExtractedIconsAreStoredAsIconFiles) {
    FakeSource source;
    source.images = {tiny_dib(1), tiny_dib(2)};
    EXPECT_EQ(lib.add_file("C:\\APPS\\ATLAS.EXE", 2, &source), 0);
    EXPECT_EQ(lib.add_file("C:\\DESKTOP\\ATLAS.LNK", 7, &source), 1);
    EXPECT_THAT(source.extracted,
                ::testing::ElementsAre(std::pair<std::string, int>("C:\\APPS\\ATLAS.EXE", 2)));
    EXPECT_THAT(source.shortcuts, ::testing::ElementsAre("C:\\DESKTOP\\ATLAS.LNK"));

    uint16_t n = 0;
    const auto entry = lib.load(n);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, kTypeIcon);
    EXPECT_EQ(entry->data, write_icon_file(source.images));
}

TEST_F(IconLibraryTest, NoIconGivesAStockNumberAndWritesNothing) {
    FakeSource source;  // extracts nothing
    const std::vector<std::pair<const char*, uint16_t>> cases = {
        {"C:\\APPS\\NOICONS.EXE", kStockProgram},  {"C:\\APPS\\old.pif", kStockProgram},
        {"C:\\APPS\\GUIDE.HLP", kStockHelp},       {"C:\\DOCS\\README.TXT", kStockDocument},
        {"C:\\DOCS\\LETTER.DOC", kStockDocument},  {"C:\\DOCS\\NOEXT", kStockDocument},
        {"C:\\DESKTOP\\GONE.LNK", kStockDocument},
    };
    for (const auto& [path, number] : cases) EXPECT_EQ(lib.add_file(path, 0, &source), number) << path;
    EXPECT_EQ(lib.add_file("C:\\APPS\\NOICONS.EXE", 0, nullptr), kStockProgram);
    EXPECT_FALSE(file_exists(lib.index_path()));
    EXPECT_FALSE(file_exists(lib.data_path()));
}

TEST_F(IconLibraryTest, DamagedIconFileIsRefusedAndNothingWritten) {
    fill(1);
    const Bytes index_before = index_bytes(), data_before = data_bytes();
    write_file_atomic(dir.file("BROKEN.ICO"), std::string("not an icon"));
    write_file_atomic(dir.file("EMPTY.ANI"), std::string());
    EXPECT_THROW(lib.add_file(dir.file("BROKEN.ICO"), 0, nullptr), IconLibraryError);
    EXPECT_THROW(lib.add_file(dir.file("EMPTY.ANI"), 0, nullptr), IconLibraryError);
    EXPECT_THROW(lib.add_file(dir.file("MISSING.ICO"), 0, nullptr), FileError);
    EXPECT_EQ(index_bytes(), index_before);
    EXPECT_EQ(data_bytes(), data_before);
}

TEST_F(IconLibraryTest, LoadingSkipsDeletedEntriesAndUpdatesTheNumber) {
    fill(8);
    lib.remove(5);
    lib.remove(6);
    uint16_t n = 5;
    const auto entry = lib.load(n);
    ASSERT_TRUE(entry);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(entry->data, tiny_icon({7}));

    lib.remove(7);
    n = 5;
    EXPECT_FALSE(lib.load(n)) << "only deleted entries from here on";
    EXPECT_EQ(n, 5);
    n = 8;
    EXPECT_FALSE(lib.load(n)) << "past the end";
}

TEST_F(IconLibraryTest, LoadingAnswersNothingForMissingFilesOrBadRecords) {
    uint16_t n = 0;
    EXPECT_FALSE(lib.load(n)) << "no library";
    fill(3);
    auto recs = lib.records();
    recs[0].offset = int32_t(data_bytes().size());  // past the end
    recs[1].size = -1;
    recs[2].offset = -4;
    write_file_atomic(lib.index_path(), serialize_index(recs));
    for (uint16_t i = 0; i < 3; ++i) {
        n = i;
        EXPECT_FALSE(lib.load(n)) << i;
        EXPECT_EQ(n, i);
    }
    std::filesystem::remove(path_from_utf8(lib.data_path()));
    n = 0;
    EXPECT_FALSE(lib.load(n)) << "data file missing";
}

TEST_F(IconLibraryTest, DeleteThenUndeleteRestoresBothFilesByteForByte) {
    fill(6);
    // Padding and the unused name bytes are whatever an earlier writer left there.
    auto recs = lib.records();
    recs[2].padding = {0xAA, 0xBB, 0xCC};
    recs[2].name_bytes[11] = 0x5A;
    write_file_atomic(lib.index_path(), serialize_index(recs));
    const Bytes index_before = index_bytes(), data_before = data_bytes();

    lib.remove(2);
    lib.remove(4);
    lib.remove(4);  // already deleted
    EXPECT_EQ(lib.find("E2.ICO"), -1);
    EXPECT_EQ(lib.records()[4].type, -kTypeIcon);
    lib.undelete_all();
    EXPECT_EQ(index_bytes(), index_before);
    EXPECT_EQ(data_bytes(), data_before);
}

TEST_F(IconLibraryTest, CompactionDropsDeletedEntriesAndRenumbersReferences) {
    fill(8);
    lib.remove(3);
    lib.remove(5);
    References refs;
    refs.numbers = {0, 1, 2, 4, 6, 7, 3, 5, 100};
    EXPECT_EQ(lib.compact(&refs), 2u);
    // 3 and 5 named deleted entries, which loaded as the next live ones (4 and 6); they
    // still do. Numbers past the end keep their distance from it.
    EXPECT_THAT(refs.numbers, ::testing::ElementsAre(0, 1, 2, 3, 4, 5, 3, 4, 98));
    EXPECT_THAT(names(), ::testing::ElementsAre("E0.ICO", "E1.ICO", "E2.ICO", "E4.ICO", "E6.ICO", "E7.ICO"));

    const std::vector<uint32_t> colours = {0, 1, 2, 4, 6, 7};
    for (uint16_t i = 0; i < colours.size(); ++i) {
        uint16_t n = i;
        const auto entry = lib.load(n);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->data, tiny_icon({colours[i]})) << i;
    }
    EXPECT_EQ(data_bytes().size(), 6 * tiny_icon({0}).size());

    EXPECT_EQ(lib.compact(&refs), 0u) << "nothing deleted";
    EXPECT_EQ(refs.calls, 1);
}

// Every entry the index names holds the bytes it was made from: what a crash must never break.
// `colours` are the entries' icons in icon-number order.
::testing::AssertionResult whole(const std::string& dir, const TextCodec& codec,
                                 const std::vector<uint32_t>& colours) {
    const IconLibrary fresh(dir, codec);
    const auto recs = fresh.records();
    std::vector<uint32_t> live;
    for (uint16_t n = 0; n < recs.size(); ++n) {
        if (!recs[n].live()) continue;
        uint16_t at = n;
        const auto entry = fresh.load(at);
        if (!entry || at != n) return ::testing::AssertionFailure() << "entry " << n << " does not load";
        const uint32_t colour = static_cast<uint32_t>(std::stoi(recs[n].name().substr(1)));
        if (entry->data != tiny_icon({colour}))
            return ::testing::AssertionFailure()
                   << "entry " << n << " (" << recs[n].name() << ") holds other bytes";
        live.push_back(colour);
    }
    if (live != colours) return ::testing::AssertionFailure() << "the live entries are not the expected ones";
    return ::testing::AssertionSuccess();
}

TEST_F(IconLibraryTest, CompactionStoppedAtAnyWriteLeavesAWholeLibrary) {
    const std::vector<uint32_t> before = {0, 1, 2, 4, 6, 7}, after = before;
    struct Stop {};
    // Count the writes of one whole compaction, checking the library after each.
    fill(8);
    lib.remove(3);
    lib.remove(5);
    int writes = 0;
    lib.observe_compaction([&] {
        ++writes;
        EXPECT_TRUE(whole(dir.str(), codec, after)) << "after write " << writes;
    });
    ASSERT_EQ(lib.compact(nullptr), 2u);
    ASSERT_GT(writes, 1);
    const Bytes compacted_index = index_bytes(), compacted_data = data_bytes();

    for (int stop_after = 1; stop_after <= writes; ++stop_after) {
        const std::string other = dir.file("stopped" + std::to_string(stop_after));
        std::filesystem::create_directories(path_from_utf8(other));
        IconLibrary stopped(other, codec);
        for (int i = 0; i < 8; ++i) {
            const std::string path = join_path(other, "E" + std::to_string(i) + ".ICO");
            write_file_atomic(path, tiny_icon({uint32_t(i)}));
            stopped.add_file(path, 0, nullptr);
        }
        stopped.remove(3);
        stopped.remove(5);
        int seen = 0;
        stopped.observe_compaction([&] {
            if (++seen == stop_after) throw Stop{};
        });
        References refs;
        refs.numbers = {4, 7};
        EXPECT_THROW(stopped.compact(&refs), Stop);
        EXPECT_TRUE(whole(other, codec, before)) << "stopped after write " << stop_after;
        // Once the new index is in place the references follow it; before, they keep theirs.
        const bool renumbered = refs.calls == 1;
        const auto recs = stopped.records();
        EXPECT_EQ(recs.size(), renumbered ? 6u : 8u) << stop_after;
        EXPECT_EQ(refs.numbers, renumbered ? (std::vector<uint16_t>{3, 5}) : (std::vector<uint16_t>{4, 7}))
            << stop_after;

        // The next compaction finishes the work and reclaims what the stop left.
        stopped.observe_compaction({});
        stopped.compact(nullptr);
        EXPECT_EQ(read_file(stopped.index_path()), compacted_index) << stop_after;
        EXPECT_EQ(read_file(stopped.data_path()), compacted_data) << stop_after;
        EXPECT_EQ(stopped.compact(nullptr), 0u);
    }
}

TEST_F(IconLibraryTest, CompactionOfEntriesThatShareBytesNeverOverwritesWhatTheIndexNames) {
    fill(3);
    // Two records naming the same bytes (a library written by hand): the compacted data is
    // longer than the old.
    auto recs = lib.records();
    recs.push_back(recs[1]);
    recs.back().type = -kTypeIcon;
    recs.push_back(recs[2]);
    write_file_atomic(lib.index_path(), serialize_index(recs));
    lib.observe_compaction([&] { EXPECT_TRUE(whole(dir.str(), codec, {0, 1, 2, 2})); });
    EXPECT_EQ(lib.compact(nullptr), 1u);
    EXPECT_EQ(data_bytes().size(), 4 * tiny_icon({0}).size());
}

TEST_F(IconLibraryTest, CompactionKeepsTheNumbersOfEntriesWhoseBytesAreGone) {
    fill(3);
    auto recs = lib.records();
    recs[1].offset = 1 << 30;
    write_file_atomic(lib.index_path(), serialize_index(recs));
    lib.remove(0);
    References refs;
    refs.numbers = {1, 2};
    EXPECT_EQ(lib.compact(&refs), 1u);
    EXPECT_THAT(refs.numbers, ::testing::ElementsAre(0, 1));
    uint16_t n = 1;
    const auto entry = lib.load(n);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->data, tiny_icon({2}));
}

TEST_F(IconLibraryTest, MovingAnEntryReordersTheIndexAndRenumbers) {
    fill(7);
    const Bytes data_before = data_bytes();
    References refs;
    refs.numbers = {0, 1, 2, 3, 4, 5, 6};
    lib.move(2, 5, &refs);
    EXPECT_THAT(names(),
                ::testing::ElementsAre("E0.ICO", "E1.ICO", "E3.ICO", "E4.ICO", "E5.ICO", "E2.ICO", "E6.ICO"));
    EXPECT_THAT(refs.numbers, ::testing::ElementsAre(0, 1, 5, 2, 3, 4, 6));
    EXPECT_EQ(data_bytes(), data_before);
    uint16_t n = 5;
    EXPECT_EQ(lib.load(n)->data, tiny_icon({2}));

    lib.move(5, 2, &refs);  // and back
    EXPECT_THAT(refs.numbers, ::testing::ElementsAre(0, 1, 2, 3, 4, 5, 6));
    EXPECT_EQ(lib.records()[2].name(), "E2.ICO");

    // A target past the last entry means the end, and references follow it there.
    lib.move(1, 60, &refs);
    EXPECT_EQ(lib.records()[6].name(), "E1.ICO");
    EXPECT_THAT(refs.numbers, ::testing::ElementsAre(0, 6, 1, 2, 3, 4, 5));

    EXPECT_THROW(lib.move(7, 0, &refs), IconLibraryError);
}

}  // namespace
}  // namespace vx::iconlib
