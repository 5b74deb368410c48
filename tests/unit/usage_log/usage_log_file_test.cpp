#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

#include "security/usage_log.h"
#include "util/file_io.h"

namespace vx::security {
namespace {

namespace fs = std::filesystem;

const Windows1252Codec kCodec;

std::string sample_path() {
    return std::string(VX_FIXTURES_DIR) + "/usage_log/sample.log";
}

class TempDir {
public:
    TempDir() {
        static int n = 0;
        dir_ = fs::temp_directory_path() /
               ("vx_usage_log_" + std::to_string(std::random_device{}()) + "_" + std::to_string(n++));
        fs::create_directories(dir_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string file(const std::string& name) const { return path_to_utf8(dir_ / name); }

private:
    fs::path dir_;
};

void write_bytes(const std::string& path, const Bytes& b) {
    std::ofstream out(path_from_utf8(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

UsageRecord make_record(const std::string& program, DateTime start) {
    UsageRecord r;
    r.user = "ANN";
    r.program = program;
    r.thread = 42;
    r.start_time = start;
    r.used_mark = start + 0.01;
    r.end_time = start + 0.02;
    r.last_seen = r.end_time;
    return r;
}

// The fixture is written by a separate script from the layout table, so these values are a
// second reading of the format rather than the encoder checking itself.
TEST(UsageLogFile, ReadsTheIndependentlyWrittenSample) {
    UsageLogSummary s;
    const auto records = read_usage_log(sample_path(), kCodec, &s);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(s.trailing_bytes, 0u);

    const DateTime nine = make_datetime({2026, 3, 5}, {9, 0, 0});
    EXPECT_EQ(records[0].user, "ANN");
    EXPECT_EQ(records[0].program, "Letter - Word");
    EXPECT_EQ(records[0].thread, 0x1234u);
    EXPECT_NEAR(records[0].start_time, nine, 1e-9);
    EXPECT_NEAR(records[0].used(), 35.0 / 1440, 1e-9);
    EXPECT_NEAR(records[0].end_time, nine + 50.0 / 1440, 1e-9);
    EXPECT_EQ(records[1].program, "Caf\xC3\xA9 Calc");  // ANSI 0xE9 read as UTF-8
    EXPECT_EQ(records[2].user, "");
    EXPECT_TRUE(records[2].running());
}

TEST(UsageLogFile, EncodesFieldByFieldAtTheirOffsets) {
    UsageRecord r = make_record("Caf\xC3\xA9", 46086.375);
    r.window = 0xDEADBEEF;
    r.thread = 0x01020304;
    Bytes b(kUsageRecordSize, 0xAA);
    encode_usage_record(r, kCodec, b.data());

    EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), Bytes(4, 0)) << "the handle is written as 0";
    EXPECT_EQ(b[4], 3);
    EXPECT_EQ(std::string(b.begin() + 5, b.begin() + 8), "ANN");
    EXPECT_EQ(b[8], 0) << "unused text bytes are zero";
    EXPECT_EQ(b[260], 4);
    EXPECT_EQ(b[264], 0xE9) << "texts are stored in the ANSI code page";
    EXPECT_EQ(Bytes(b.begin() + 516, b.begin() + 520), (Bytes{4, 3, 2, 1}));
    const auto start_bits = std::bit_cast<std::uint64_t>(46086.375);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b[544 + i], static_cast<std::uint8_t>(start_bits >> (8 * i)));
    EXPECT_EQ(Bytes(b.begin() + 552, b.end()), Bytes(4, 0));

    UsageRecord back = decode_usage_record(b.data(), kCodec);
    r.window = 0;
    EXPECT_EQ(back, r);
}

TEST(UsageLogFile, LongTextsAreCutToTheField) {
    UsageRecord r = make_record(std::string(300, 'x'), 1000);
    Bytes b(kUsageRecordSize);
    encode_usage_record(r, kCodec, b.data());
    EXPECT_EQ(b[260], 255);
    EXPECT_EQ(decode_usage_record(b.data(), kCodec).program, std::string(255, 'x'));
}

TEST(UsageLogFile, DamagedTailIsReportedAndWholeRecordsKept) {
    TempDir tmp;
    Bytes data = read_file(sample_path());
    data.insert(data.end(), 100, 0x5A);
    const std::string path = tmp.file("tail.log");
    write_bytes(path, data);

    UsageLogSummary s;
    EXPECT_EQ(read_usage_log(path, kCodec, &s).size(), 3u);
    EXPECT_EQ(s.records, 3u);
    EXPECT_EQ(s.trailing_bytes, 100u);

    const auto mem = parse_usage_log(data, kCodec, [](UsageRecord&&) {});
    EXPECT_EQ(mem.records, 3u);
    EXPECT_EQ(mem.trailing_bytes, 100u);
}

TEST(UsageLogFile, StreamingAcrossBlocksMatchesTheWholeImage) {
    // More records than one read block holds, and an odd tail, so records straddle blocks.
    TempDir tmp;
    const std::string path = tmp.file("big.log");
    std::vector<UsageRecord> written;
    for (int i = 0; i < 1300; ++i) written.push_back(make_record("P" + std::to_string(i), 40000 + i));
    append_usage_log(path, written, kCodec);
    Bytes data = read_file(path);
    data.push_back(1);
    write_bytes(path, data);

    std::vector<UsageRecord> streamed, parsed;
    const auto s1 = read_usage_log(path, kCodec, [&](UsageRecord&& r) { streamed.push_back(std::move(r)); });
    const auto s2 = parse_usage_log(data, kCodec, [&](UsageRecord&& r) { parsed.push_back(std::move(r)); });
    EXPECT_EQ(streamed, written);
    EXPECT_EQ(parsed, written);
    EXPECT_EQ(s1.trailing_bytes, 1u);
    EXPECT_EQ(s2.trailing_bytes, 1u);
}

TEST(UsageLogFile, AppendCreatesThenKeepsEveryOldByte) {
    TempDir tmp;
    const std::string path = tmp.file("VX.LOG");
    append_usage_log(path, std::vector{make_record("A", 100)}, kCodec);
    EXPECT_EQ(fs::file_size(path_from_utf8(path)), kUsageRecordSize);

    // An interrupted earlier append left 10 bytes of a record: they stay, and the new record
    // starts on the next record boundary.
    Bytes before = read_file(path);
    before.insert(before.end(), 10, 0x77);
    write_bytes(path, before);
    append_usage_log(path, std::vector{make_record("B", 200)}, kCodec);

    const Bytes after = read_file(path);
    ASSERT_EQ(after.size(), 3 * kUsageRecordSize);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    UsageLogSummary s;
    const auto records = read_usage_log(path, kCodec, &s);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].program, "A");
    EXPECT_EQ(records[2].program, "B");
    EXPECT_EQ(s.trailing_bytes, 0u);
}

TEST(UsageLogFile, AppendFailureIsAnErrorNotSilence) {
    TempDir tmp;
    EXPECT_THROW(append_usage_log(tmp.file("no/such/dir/VX.LOG"), std::vector{make_record("A", 1)}, kCodec),
                 FileError);
    EXPECT_THROW(read_usage_log(tmp.file("missing.log"), kCodec), FileError);
}

TEST(UsageLogFile, ImpossibleDatesAreRecognised) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {nan, inf, -inf, 1e300, -1e7, 3e6}) EXPECT_FALSE(is_valid_datetime(v)) << v;
    for (double v : {0.0, -693593.0, 46086.5, 2958465.99}) EXPECT_TRUE(is_valid_datetime(v)) << v;
}

}  // namespace
}  // namespace vx::security
