#include "editor/read_apart.h"

namespace vx::editor {

std::optional<std::string> read_apart(model::Desktop& scratch, std::string_view ansi,
                                      const model::ReadContext& ctx) {
    model::ReadContext read = ctx;
    read.mode = model::ReadMode::Paste;
    read.is_administrator = [] { return true; };
    read.on_page_created = nullptr;
    read.on_page_palette = nullptr;
    read.on_object_created = nullptr;
    try {
        model::read_desktop_text(scratch, ansi, read);
    } catch (const model::DesktopLoadError& e) {
        return e.detail();
    }
    return std::nullopt;
}

}  // namespace vx::editor
