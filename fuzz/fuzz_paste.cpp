// The object clipboard holds whatever another program put there. Pasting any text onto a page
// must either refuse it and change nothing, or add objects that Undo takes away again to the
// byte, and that Redo brings back as they were.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "any_image.h"
#include "editor/object_commands.h"
#include "editor/undo_stack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx;
    static const UsEnglishLocale locale;
    static const Windows1252Codec codec;
    static const vx::fuzz::AnyImage images;
    model::ReadContext read;
    read.locale = &locale;
    read.codec = &codec;
    read.images = &images;
    model::WriteContext write;
    write.locale = &locale;
    write.codec = &codec;

    model::Desktop desktop;
    desktop.create_master_page();
    model::Page& page = desktop.add_page("Page 1");
    model::ButtonData timed;
    timed.launch_day = model::kLaunchScheduled;
    desktop.add_object(page, timed);
    desktop.add_page("StartUp");
    const std::string before = model::write_desktop_text(desktop, write);

    editor::ChangeEvents events;
    editor::UndoStack stack(desktop, events);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    editor::Paste paste = editor::make_paste(desktop, page.id, text, read);
    if (!paste.command) {
        if (model::write_desktop_text(desktop, write) != before) std::abort();
        return 0;
    }
    stack.execute(std::move(paste.command));
    const std::string pasted = model::write_desktop_text(desktop, write);
    for (model::ObjectId id : paste.objects) {
        if (desktop.find_object(id).page != &page) std::abort();
    }
    stack.undo();
    if (model::write_desktop_text(desktop, write) != before || desktop.scheduled().size() != 1) std::abort();
    stack.redo();
    if (model::write_desktop_text(desktop, write) != pasted) std::abort();
    return 0;
}
