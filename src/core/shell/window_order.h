#pragma once
// The idle lock's log-in must lie in front of everything, also of windows another program keeps
// on top: for as long as this object lives they are in the normal order, and afterwards the
// ones still there stay on top again, in the order they had.
#include <vector>

#include "port/top_most_windows.h"

namespace vx::shell {

class NormalWindowOrder {
public:
    explicit NormalWindowOrder(TopMostWindows& windows);
    ~NormalWindowOrder();
    NormalWindowOrder(const NormalWindowOrder&) = delete;
    NormalWindowOrder& operator=(const NormalWindowOrder&) = delete;

    // The windows taken out of the top band, the front one first.
    const std::vector<WindowId>& lowered() const { return lowered_; }

private:
    TopMostWindows& windows_;
    std::vector<WindowId> lowered_;
};

}  // namespace vx::shell
