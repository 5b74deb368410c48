#pragma once
// A desktop with its history and change events, as the designer holds them, for the editor's
// tests; the desktop file's writer is the judge of what the desktop holds.
#include <string>
#include <vector>

#include "editor/undo_stack.h"
#include "model/desktop_file.h"
#include "util/file_io.h"

namespace vx::editor::test {

inline const UsEnglishLocale kLocale;
inline const Windows1252Codec kCodec;

inline model::ReadContext read_context() {
    model::ReadContext ctx;
    ctx.locale = &kLocale;
    ctx.codec = &kCodec;
    ctx.is_administrator = [] { return true; };
    return ctx;
}

inline model::WriteContext write_context() {
    model::WriteContext ctx;
    ctx.locale = &kLocale;
    ctx.codec = &kCodec;
    return ctx;
}

struct EditSession {
    model::Desktop desktop;
    ChangeEvents events;
    UndoStack stack{desktop, events};
    std::vector<ChangeSet> notices;
    ChangeEvents::Subscription subscription =
        events.subscribe([this](const ChangeSet& c) { notices.push_back(c); });

    void load(const char* fixture) {
        const std::string path = std::string(VX_FIXTURES_DIR) + "/desktop/" + fixture;
        model::load_desktop_text(desktop, read_text_file(path), read_context());
        stack.reset();
    }
    std::string file() const { return model::write_desktop_text(desktop, write_context()); }
    model::Page& page(std::string_view name) const { return *desktop.find_page(name); }
    // Ids front to back.
    static std::vector<model::ObjectId> order(const model::Page& p) {
        std::vector<model::ObjectId> ids;
        for (const auto& e : p.objects) ids.push_back(e.id);
        return ids;
    }
    template <typename T>
    T& data(model::ObjectId id) const {
        return std::get<T>(desktop.find_object(id).entry->data);
    }
};

}  // namespace vx::editor::test
