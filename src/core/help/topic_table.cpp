#include "help/topic_table.h"

#include <algorithm>
#include <map>

#include "help/topics.h"

namespace vx::help {

int resolve_topic(int number) {
    switch (number) {
        case kPagePasswordContext:
            return kPagePasswordTopic;
        case kAddProgramGroupContext:
            return kAddProgramGroupTopic;
        case kDesktopAttributesContext:
            return kDesktopAttributesTopic;
        case kDirectoriesContext:
            return kDirectoriesTopic;
        default:
            return number;
    }
}

const Topic* find_topic(int number) {
    // Parsed on first use; the sources never change while the program runs.
    static const std::map<int, Topic> parsed = [] {
        std::map<int, Topic> m;
        for (const TopicSource& s : topic_sources()) m.emplace(s.number, parse_topic(s.text));
        return m;
    }();
    const auto it = parsed.find(resolve_topic(number));
    return it == parsed.end() ? nullptr : &it->second;
}

}  // namespace vx::help
