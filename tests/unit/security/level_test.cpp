#include "security/level.h"

#include <gtest/gtest.h>

namespace vx::security {
namespace {

TEST(SecurityLevel, ATypedLevelIsAWholeNumberFromZeroToTheAdministratorsLevel) {
    struct Case {
        const char* text;
        std::optional<SecurityLevel> level;
    } cases[] = {{"0", 0},
                 {"1000", kAdministratorLevel},
                 {"250", 250},
                 {"1001", {}},
                 {"-1", {}},
                 {"", {}},
                 {"12a", {}},
                 {" 5", {}},
                 {"5 ", {}},
                 {"+5", {}},
                 {"99999999999", {}},
                 {"0x10", {}}};
    for (const auto& c : cases) EXPECT_EQ(parse_security_level(c.text), c.level) << '"' << c.text << '"';
}

}  // namespace
}  // namespace vx::security
