#pragma once
// The log viewer's list: which records are shown, in which order, with which texts, and the
// totals. The viewer window and vxtool both build their rows here.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "port/locale.h"
#include "port/text_codec.h"
#include "security/usage_log.h"

namespace vx::security {

// The stored values of the viewer's sort setting.
enum class UsageSort { ByDate = 1, ByProgram = 2, ByUser = 3 };

inline constexpr std::string_view kAllUsers = "ALL";

struct UsageQuery {
    // Whole days; the time part is ignored. Absent: no limit on that side.
    std::optional<DateTime> first_day;
    std::optional<DateTime> last_day;
    // Empty: every program. "*text": text anywhere in the name; otherwise a prefix.
    // Both without regard to case.
    std::string program_filter;
    std::string user{kAllUsers};  // "ALL" or one exact user name
    UsageSort sort = UsageSort::ByDate;
};

// A used time in the totals' form: whole days count as 24 hours each.
struct HoursMinutes {
    std::int64_t hours = 0;
    int minutes = 0;
    bool operator==(const HoursMinutes&) const = default;
};

HoursMinutes used_time(const UsageRecord& r);
// "H hr M min", or " < 1 min" when both are 0.
std::string used_text(HoursMinutes t);

// Without regard to case: ASCII and the Latin letters of the ANSI code page.
std::string fold_case(std::string_view utf8);
std::string upper_case(std::string_view utf8);

class UsageFilter {
public:
    explicit UsageFilter(const UsageQuery& query);
    bool passes(const UsageRecord& r) const;

private:
    std::optional<DateTime> first_, past_last_;
    std::string program_;  // folded, without the leading star
    bool anywhere_ = false;
    bool all_users_ = true;
    std::string user_;
};

struct UsageView {
    std::vector<UsageRecord> rows;  // in display order
    HoursMinutes total;
    // Records whose date fields are not date-times (a damaged file): left out of the view.
    std::size_t damaged = 0;
};

// Collects the records offered to it that pass the query, then sorts and totals them.
class UsageViewBuilder {
public:
    // With a codec, names are ordered by their bytes in the file's code page, as stored.
    explicit UsageViewBuilder(const UsageQuery& query, const TextCodec* ansi = nullptr)
        : filter_(query), sort_(query.sort), ansi_(ansi) {}
    void offer(UsageRecord&& r);
    void offer(const UsageRecord& r);
    UsageView finish() &&;

private:
    UsageFilter filter_;
    UsageSort sort_;
    const TextCodec* ansi_;
    UsageView view_;
};

// Sorts stably: entries that compare equal keep the order in which they were read, which is
// the order the one-by-one sorted insertion of the viewer gives. Program and user names are
// compared by their bytes in the code page of `ansi` when given, else by their UTF-8 bytes
// (code point order); the two differ only for the few letters the code page places below
// its accented Latin range.
void sort_usage_rows(std::vector<UsageRecord>& rows, UsageSort sort, const TextCodec* ansi = nullptr);

// The viewer's load: every record of the viewed log, then, unless another file is viewed,
// the records gathered in memory in this run. A log that does not exist yet holds no records.
// Throws FileError when the file exists but cannot be read (the caller keeps its old list).
UsageView load_usage_view(const std::string& log_path, const TextCodec& codec,
                          std::span<const UsageRecord> gathered, bool viewing_other_file,
                          const UsageQuery& query, UsageLogSummary* summary = nullptr);

// The six column texts in the order "Date", "Program Name", "In", "Out", "Used", "User".
std::vector<std::string> usage_row_columns(const UsageRecord& r, const Locale& locale);
// The columns joined by "|", as the list holds them.
std::string usage_row_text(const UsageRecord& r, const Locale& locale);
std::string usage_total_text(HoursMinutes total);

}  // namespace vx::security
