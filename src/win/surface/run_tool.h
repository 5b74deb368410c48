#pragma once
// The run-mode tool: a press goes to the object under it, which keeps the mouse until the
// release; moves go to the held object, or else to the one under the pointer; a right release
// on the bare page is the owner's context menu.
#include "win/surface/surface_tool.h"

namespace vx::win::surface {

class HostedObject;

class RunTool final : public SurfaceTool {
public:
    bool mouse_down(TKXScrollBox& surface, POINT page, UINT button, UINT keys) override;
    bool mouse_up(TKXScrollBox& surface, POINT page, UINT button, UINT keys) override;
    void mouse_move(TKXScrollBox& surface, POINT page, UINT keys) override;
    HCURSOR cursor(const TKXScrollBox& surface, POINT page) const override;
    void release(TKXScrollBox& surface) override;

private:
    HostedObject* captured_ = nullptr;
};

}  // namespace vx::win::surface
