#pragma once
// The system's windows that stay on top, for the idle lock's normal window order.
#include "port/top_most_windows.h"

namespace vx::win::shell {

class Win32TopMostWindows final : public TopMostWindows {
public:
    std::vector<WindowId> list() override;
    bool exists(WindowId window) override;
    void set_top_most(WindowId window, bool on_top) override;
};

}  // namespace vx::win::shell
