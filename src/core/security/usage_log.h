#pragma once
// The usage log file: a bare sequence of fixed 556-byte records, no header, appended at the
// end of each run. Records are read and written field by field so the layout does not depend
// on the compiler or the pointer size.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "port/process_api.h"
#include "port/text_codec.h"
#include "util/datetime.h"

namespace vx::security {

inline constexpr size_t kUsageRecordSize = 556;
// A length byte and up to this many characters, in the ANSI code page.
inline constexpr size_t kUsageTextMax = 255;

struct UsageRecord {
    WindowId window = 0;  // only meaningful while tracked; always written as 0
    std::string user;     // UTF-8; empty when nobody was logged in
    std::string program;  // UTF-8; the window's title when first seen
    std::uint32_t thread = 0;
    DateTime used_mark = 0;  // start time plus the time spent in front
    DateTime last_seen = 0;
    DateTime end_time = 0;  // equal to start_time while the window is still open
    DateTime start_time = 0;

    bool running() const { return end_time == start_time; }
    DateTime used() const { return used_mark - start_time; }
    bool operator==(const UsageRecord&) const = default;
};

// True when v can stand for a calendar date-time (years 1 to 9999). A damaged file can hold
// any bit pattern in a date field; such values must not reach the calendar arithmetic.
bool is_valid_datetime(DateTime v);
// The start, end and used times of the record are all valid date-times.
bool has_valid_times(const UsageRecord& r);

// Exactly kUsageRecordSize bytes go to/come from `bytes`. Texts longer than 255 ANSI bytes
// are cut; the unused tail of each text field is zero.
void encode_usage_record(const UsageRecord& r, const TextCodec& codec, std::uint8_t* bytes);
UsageRecord decode_usage_record(const std::uint8_t* bytes, const TextCodec& codec);

struct UsageLogSummary {
    std::size_t records = 0;         // whole records read
    std::size_t trailing_bytes = 0;  // bytes after the last whole record (a damaged tail)
};

// Decodes every whole record of an in-memory log image.
UsageLogSummary parse_usage_log(std::span<const std::uint8_t> data, const TextCodec& codec,
                                const std::function<void(UsageRecord&&)>& sink);
// Streams the records of a log file through `sink` without holding the whole file. Throws
// FileError when the file cannot be opened or read; a missing file is an error too (callers
// that treat "no log yet" as empty check file_exists first).
UsageLogSummary read_usage_log(const std::string& path, const TextCodec& codec,
                               const std::function<void(UsageRecord&&)>& sink);
std::vector<UsageRecord> read_usage_log(const std::string& path, const TextCodec& codec,
                                        UsageLogSummary* summary = nullptr);

// Appends records at the end of the log, creating it when absent. What is already in the file
// is never rewritten or cut: a tail that is not a whole record (an interrupted earlier append)
// is padded with zero bytes to the record size first, so the new records start on a record
// boundary and every old byte stays where it was. Records are written as given (the caller
// sets end and last-seen times). Throws FileError on failure.
void append_usage_log(const std::string& path, std::span<const UsageRecord> records, const TextCodec& codec);

}  // namespace vx::security
