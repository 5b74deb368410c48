#include "security/usage_log.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "util/file_io.h"

namespace vx::security {
namespace {

// Field offsets within a record.
constexpr size_t kWindowAt = 0;
constexpr size_t kUserAt = 4;
constexpr size_t kProgramAt = 260;
constexpr size_t kThreadAt = 516;
constexpr size_t kUsedAt = 520;
constexpr size_t kLastSeenAt = 528;
constexpr size_t kEndAt = 536;
constexpr size_t kStartAt = 544;
constexpr size_t kLinkAt = 552;

// 1 January 1 and the day after 31 December 9999, as day counts.
constexpr double kFirstDay = -693593.0;
constexpr double kPastLastDay = 2958466.0;

// Records per read when streaming a file: about 280 KB at a time.
constexpr size_t kBlockRecords = 512;

void put_u32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t get_u32(const std::uint8_t* p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
}

void put_f64(std::uint8_t* p, double d) {
    const auto v = std::bit_cast<std::uint64_t>(d);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

double get_f64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return std::bit_cast<double>(v);
}

void put_text(std::uint8_t* p, const std::string& utf8, const TextCodec& codec) {
    std::string ansi = codec.from_utf8(utf8);
    if (ansi.size() > kUsageTextMax) ansi.resize(kUsageTextMax);
    p[0] = static_cast<std::uint8_t>(ansi.size());
    std::memcpy(p + 1, ansi.data(), ansi.size());
    std::memset(p + 1 + ansi.size(), 0, kUsageTextMax - ansi.size());
}

std::string get_text(const std::uint8_t* p, const TextCodec& codec) {
    // The length byte cannot exceed the field, so no bound check beyond the byte is needed.
    return codec.to_utf8(std::string_view(reinterpret_cast<const char*>(p + 1), p[0]));
}

}  // namespace

bool is_valid_datetime(DateTime v) {
    return std::isfinite(v) && v >= kFirstDay && v < kPastLastDay;
}

bool has_valid_times(const UsageRecord& r) {
    return is_valid_datetime(r.start_time) && is_valid_datetime(r.end_time) && is_valid_datetime(r.used_mark);
}

void encode_usage_record(const UsageRecord& r, const TextCodec& codec, std::uint8_t* bytes) {
    put_u32(bytes + kWindowAt, 0);
    put_text(bytes + kUserAt, r.user, codec);
    put_text(bytes + kProgramAt, r.program, codec);
    put_u32(bytes + kThreadAt, r.thread);
    put_f64(bytes + kUsedAt, r.used_mark);
    put_f64(bytes + kLastSeenAt, r.last_seen);
    put_f64(bytes + kEndAt, r.end_time);
    put_f64(bytes + kStartAt, r.start_time);
    put_u32(bytes + kLinkAt, 0);
}

UsageRecord decode_usage_record(const std::uint8_t* bytes, const TextCodec& codec) {
    UsageRecord r;
    r.window = get_u32(bytes + kWindowAt);
    r.user = get_text(bytes + kUserAt, codec);
    r.program = get_text(bytes + kProgramAt, codec);
    r.thread = get_u32(bytes + kThreadAt);
    r.used_mark = get_f64(bytes + kUsedAt);
    r.last_seen = get_f64(bytes + kLastSeenAt);
    r.end_time = get_f64(bytes + kEndAt);
    r.start_time = get_f64(bytes + kStartAt);
    return r;
}

UsageLogSummary parse_usage_log(std::span<const std::uint8_t> data, const TextCodec& codec,
                                const std::function<void(UsageRecord&&)>& sink) {
    UsageLogSummary s;
    s.records = data.size() / kUsageRecordSize;
    s.trailing_bytes = data.size() % kUsageRecordSize;
    for (size_t i = 0; i < s.records; ++i)
        sink(decode_usage_record(data.data() + i * kUsageRecordSize, codec));
    return s;
}

UsageLogSummary read_usage_log(const std::string& path, const TextCodec& codec,
                               const std::function<void(UsageRecord&&)>& sink) {
    std::ifstream in(path_from_utf8(path), std::ios::binary);
    if (!in) throw FileError("Cannot open " + path);
    UsageLogSummary total;
    std::vector<std::uint8_t> block(kBlockRecords * kUsageRecordSize);
    size_t carry = 0;  // bytes of an incomplete record kept from the previous block
    for (;;) {
        in.read(reinterpret_cast<char*>(block.data() + carry),
                static_cast<std::streamsize>(block.size() - carry));
        const auto got = static_cast<size_t>(in.gcount());
        if (in.bad()) throw FileError("Cannot read " + path);
        const size_t have = carry + got;
        const size_t whole = have / kUsageRecordSize;
        for (size_t i = 0; i < whole; ++i)
            sink(decode_usage_record(block.data() + i * kUsageRecordSize, codec));
        total.records += whole;
        carry = have - whole * kUsageRecordSize;
        if (carry) std::memmove(block.data(), block.data() + whole * kUsageRecordSize, carry);
        if (got == 0 || in.eof()) break;
    }
    total.trailing_bytes = carry;
    return total;
}

std::vector<UsageRecord> read_usage_log(const std::string& path, const TextCodec& codec,
                                        UsageLogSummary* summary) {
    std::vector<UsageRecord> out;
    const UsageLogSummary s =
        read_usage_log(path, codec, [&](UsageRecord&& r) { out.push_back(std::move(r)); });
    if (summary) *summary = s;
    return out;
}

void append_usage_log(const std::string& path, std::span<const UsageRecord> records, const TextCodec& codec) {
    if (records.empty()) return;
    const auto target = path_from_utf8(path);
    std::error_code ec;
    std::uintmax_t size = 0;
    if (std::filesystem::exists(target, ec)) {
        size = std::filesystem::file_size(target, ec);
        if (ec) throw FileError("Cannot read the size of " + path + ": " + ec.message());
    }
    const size_t pad = (kUsageRecordSize - size % kUsageRecordSize) % kUsageRecordSize;
    std::vector<std::uint8_t> bytes(pad + records.size() * kUsageRecordSize, 0);
    for (size_t i = 0; i < records.size(); ++i)
        encode_usage_record(records[i], codec, bytes.data() + pad + i * kUsageRecordSize);

    // Append mode: the old contents cannot be overwritten whatever happens below.
    std::ofstream out(target, std::ios::binary | std::ios::app);
    if (!out) throw FileError("Cannot open " + path + " for appending");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) throw FileError("Cannot write " + path);
    out.close();
    if (out.fail()) throw FileError("Cannot write " + path);
}

}  // namespace vx::security
