#include <gtest/gtest.h>

#include "port/text_codec.h"
#include "win/util/text.h"

namespace vx::win {
namespace {

TEST(WinText, Utf16RoundTrip) {
    const std::string s = "Vantora! \xC3\xA9\xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(narrow(widen(s)), s);
    EXPECT_EQ(widen("A\xC3\xA9"), std::wstring(L"A\u00E9"));
}

// The platform's code page 1252 and the core's own table must agree byte for byte, or
// files written natively would read differently on Windows.
TEST(WinText, CodePage1252MatchesTheCoreTable) {
    Windows1252Codec core;
    AnsiCodePageCodec platform(1252);
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(platform.to_utf8(all), core.to_utf8(all));
    EXPECT_EQ(platform.from_utf8(core.to_utf8(all)), all);
}

}  // namespace
}  // namespace vx::win
