#include "shell/desktop_buttons.h"

#include <variant>

namespace vx::shell {

ButtonView button_view(const model::ObjectEntry& entry) {
    ButtonView v;
    const auto* b = std::get_if<model::ButtonData>(&entry.data);
    if (!b) return v;
    v.id = entry.id;
    v.kind = b->kind <= model::kKindBrowser ? static_cast<ButtonKind>(b->kind) : ButtonKind::None;
    v.caption = b->caption;
    v.command = b->command;
    v.directory = b->directory;
    v.password = b->password;
    v.launch_password = b->launch_password;
    v.security_level = b->security_level;
    v.sound_file = b->sound;
    v.sound = b->sound_on;
    v.run_minimized = b->run_minimized;
    v.run_maximized = b->run_maximized;
    v.run_hidden = b->run_hidden;
    v.single_instance = b->single_instance;
    v.browser = b->browser;
    v.browser_address = b->browser_address;
    v.page_link = b->page_link;
    v.speed_key = b->speed_key;
    return v;
}

std::vector<ButtonView> page_buttons(const model::Page* page) {
    std::vector<ButtonView> out;
    if (!page) return out;
    for (const model::ObjectEntry& entry : page->objects)
        if (std::holds_alternative<model::ButtonData>(entry.data)) out.push_back(button_view(entry));
    return out;
}

std::vector<ButtonView> start_up_buttons(const model::Desktop& desktop) {
    return page_buttons(desktop.find_page(model::kStartUpPage));
}

std::optional<ButtonView> speed_key_button(const model::Desktop& desktop, std::uint16_t shortcut) {
    const model::Page* current = desktop.current();
    const std::vector<ButtonView> page = page_buttons(current);
    const std::vector<ButtonView> master =
        desktop.master() != current ? page_buttons(desktop.master()) : std::vector<ButtonView>{};
    const ButtonView* button = find_speed_key_button(page, master, shortcut);
    if (!button) return std::nullopt;
    return *button;
}

}  // namespace vx::shell
