// The help topics' markup reader on any bytes: it must end, keep every link's target within
// the topic numbers, and give a plain text that holds the title.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "help/topic_markup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vx::help::Topic topic = vx::help::parse_topic(text);
    for (int target : vx::help::links_of(topic))
        if (target <= 0 || target > vx::help::kMaxTopicNumber) std::abort();
    for (const vx::help::Block& b : topic.blocks)
        for (const vx::help::Span& s : b.spans)
            for (char c : s.text)
                if (static_cast<unsigned char>(c) < 0x20) std::abort();
    if (vx::help::plain_text(topic).find(topic.title) != 0) std::abort();
    return 0;
}
