#include "shell/window_order.h"

namespace vx::shell {

NormalWindowOrder::NormalWindowOrder(TopMostWindows& windows) : windows_(windows), lowered_(windows.list()) {
    for (WindowId w : lowered_) windows_.set_top_most(w, false);
}

NormalWindowOrder::~NormalWindowOrder() {
    // Each window put on top goes in front of the band, so the back one goes first.
    for (auto it = lowered_.rbegin(); it != lowered_.rend(); ++it)
        if (windows_.exists(*it)) windows_.set_top_most(*it, true);
}

}  // namespace vx::shell
