#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "model/desktop.h"
#include "util/file_io.h"

namespace vx::model {
namespace {

// The palette a fresh desktop starts with is the one the release ships as Default.pal, so an
// administrator who loads that file sees no change, and a new page is never all black.
TEST(DefaultPalette, MatchesTheShippedPaletteFileEntryForEntry) {
    const Bytes bytes = read_file(std::string(VX_DATA_DIR) + "/Default.pal");
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string magic, version;
    int count = 0;
    in >> magic >> version >> count;
    ASSERT_EQ(magic, "JASC-PAL");
    ASSERT_EQ(count, 256);
    const Palette p = default_palette();
    for (size_t i = 0; i < 256; ++i) {
        int r = -1, g = -1, b = -1;
        in >> r >> g >> b;
        ASSERT_TRUE(in) << "entry " << i;
        EXPECT_EQ(p[i], (PaletteEntry{static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                      static_cast<uint8_t>(b), 0}))
            << "entry " << i;
    }
}

TEST(DefaultPalette, NewDesktopAndItsPagesStartWithIt) {
    Desktop d;
    EXPECT_EQ(d.logical_palette, default_palette());
    // Spot checks that would fail if the palette were all black: silver, white, a cube colour.
    EXPECT_EQ(d.logical_palette[8], (PaletteEntry{192, 192, 192, 0}));
    EXPECT_EQ(d.logical_palette[15], (PaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(d.logical_palette[16 + 36 * 5 + 6 * 0 + 1], (PaletteEntry{255, 0, 51, 0}));
    EXPECT_EQ(d.create_master_page().palette, default_palette());
    EXPECT_EQ(d.add_page("Page 1").palette, default_palette());
}

}  // namespace
}  // namespace vx::model
