#pragma once
// The clipboard and page copies come back through the desktop reader's paste mode, into a
// desktop of their own: a text the reader refuses then leaves nothing half-read behind, and
// page lines in it have no page of ours to act on. Whatever was read is then moved over.
#include <optional>
#include <string>
#include <string_view>

#include "model/desktop_file.h"

namespace vx::editor {

// Reads `ansi` into `scratch` as an administrator would (no page is hidden), without the
// window layer's hooks; the reader's reason when it refuses the text.
std::optional<std::string> read_apart(model::Desktop& scratch, std::string_view ansi,
                                      const model::ReadContext& ctx);

}  // namespace vx::editor
