#pragma once
// The designer's tools, as the tool palette numbers them: there is no 6.

namespace vx::editor {

enum class Tool : int { Selector = 1, Button = 2, Shape = 3, Image = 4, Label = 5, Line = 7 };

}  // namespace vx::editor
