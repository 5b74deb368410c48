#include "objects/label_accel.h"

#include <gtest/gtest.h>

namespace vx::objects {
namespace {

TEST(LabelAccel, TheLetterAfterTheFirstSingleAmpersand) {
    struct Case {
        const char* text;
        char32_t accel;
    } cases[] = {
        {"&Name", U'N'},
        {"Fi&le name", U'l'},
        {"No accelerator", 0},
        {"", 0},
        {"Trailing &", 0},
        {"Tom && Jerry", 0},                       // a literal "&" only
        {"Tom && &Jerry", U'J'},                   // the literal one is skipped
        {"&&&Both", U'B'},                         // "&&" then "&B"
        {"&First &Second", U'F'},                  // the first one wins
        {"Caf\xC3\xA9 &\xC3\x89t\xC3\xA9", 0xC9},  // a two-byte letter whole
        {"&\xC3", 0xC3},                           // a cut-off sequence stops at its first byte
        {"&\xE2\x82", 0xE2},
    };
    for (const auto& k : cases) EXPECT_EQ(label_accel_char(k.text), k.accel) << k.text;
}

TEST(LabelAccel, MatchesTheKeyWhateverItsCase) {
    EXPECT_TRUE(label_accel_matches("&Name", U'n'));
    EXPECT_TRUE(label_accel_matches("&Name", U'N'));
    EXPECT_TRUE(label_accel_matches("&name", U'N'));
    EXPECT_TRUE(label_accel_matches("&\xC3\x89t\xC3\xA9", 0xE9));  // É typed as é
    EXPECT_FALSE(label_accel_matches("&Name", U'a'));
    EXPECT_FALSE(label_accel_matches("Tom && Jerry", U'&'));
    EXPECT_FALSE(label_accel_matches("Tom && Jerry", U' '));
    EXPECT_FALSE(label_accel_matches("No accelerator", 0));
    EXPECT_FALSE(label_accel_matches("&\xC3\x97", 0xF7));  // × and ÷ are not a case pair
}

}  // namespace
}  // namespace vx::objects
