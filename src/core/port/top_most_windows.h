#pragma once
// The windows that stay on top of all others, as the idle lock needs them: it puts them in the
// normal order under its log-in and gives them their place back afterwards.
#include <vector>

#include "port/process_api.h"

namespace vx {

class TopMostWindows {
public:
    virtual ~TopMostWindows() = default;
    // The visible top-level windows that stay on top, the front one first.
    virtual std::vector<WindowId> list() = 0;
    virtual bool exists(WindowId window) = 0;
    virtual void set_top_most(WindowId window, bool on_top) = 0;
};

}  // namespace vx
