#include "shell/window_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace vx::shell {
namespace {

// The top band as a list, front first; putting a window on top puts it in front of the band.
class FakeTopMost final : public TopMostWindows {
public:
    std::vector<WindowId> band;
    std::set<WindowId> gone;
    std::vector<std::string> log;

    std::vector<WindowId> list() override { return band; }
    bool exists(WindowId w) override { return !gone.count(w); }
    void set_top_most(WindowId w, bool on_top) override {
        log.push_back((on_top ? "top " : "normal ") + std::to_string(w));
        band.erase(std::remove(band.begin(), band.end(), w), band.end());
        if (on_top) band.insert(band.begin(), w);
    }
};

TEST(NormalWindowOrder, LowersTheTopBandAndGivesBackItsOrderToTheWindowsStillThere) {
    FakeTopMost windows;
    windows.band = {11, 22, 33};
    {
        NormalWindowOrder order(windows);
        EXPECT_TRUE(windows.band.empty()) << "nothing stays above the log-in";
        EXPECT_EQ(order.lowered(), (std::vector<WindowId>{11, 22, 33}));
        windows.gone.insert(22);  // closed while the log-in was up
        windows.log.clear();
    }
    EXPECT_EQ(windows.log, (std::vector<std::string>{"top 33", "top 11"}));
    EXPECT_EQ(windows.band, (std::vector<WindowId>{11, 33}));

    FakeTopMost none;
    { NormalWindowOrder order(none); }
    EXPECT_TRUE(none.log.empty());
}

}  // namespace
}  // namespace vx::shell
