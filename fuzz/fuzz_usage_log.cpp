// Any byte string as a usage log: whole records are read, the rest reported, and every
// record goes through the viewer's query and row texts without a crash or a hang.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "port/locale.h"
#include "port/text_codec.h"
#include "security/usage_log.h"
#include "security/usage_log_view.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::security;
    static const vx::Windows1252Codec codec;
    static const vx::UsEnglishLocale locale;

    // The first byte picks the query, so filters and sort orders are explored too.
    UsageQuery query;
    if (size > 0) {
        const uint8_t k = data[0];
        query.sort = static_cast<UsageSort>(1 + k % 3);
        if (k & 0x04) query.program_filter = (k & 0x08) ? "*a" : "W";
        if (k & 0x10) query.user = "";
        if (k & 0x20) query.first_day = 40000;
        if (k & 0x40) query.last_day = 50000;
    }

    UsageViewBuilder builder(query, &codec);
    const std::span<const uint8_t> bytes(data, size);
    const UsageLogSummary s = parse_usage_log(bytes, codec, [&](UsageRecord&& r) {
        // Texts survive a write and a second read unchanged.
        uint8_t again[kUsageRecordSize];
        encode_usage_record(r, codec, again);
        const UsageRecord back = decode_usage_record(again, codec);
        if (back.user != r.user || back.program != r.program || back.thread != r.thread) std::abort();
        builder.offer(std::move(r));
    });
    if (s.records * kUsageRecordSize + s.trailing_bytes != size) std::abort();

    const UsageView view = std::move(builder).finish();
    for (const auto& r : view.rows) usage_row_text(r, locale);
    usage_total_text(view.total);
    return 0;
}
