#pragma once
// The buttons of the desktop the shell carries out without a click: the start-up page's, and
// the one a speed key reaches.
#include <cstdint>
#include <optional>
#include <vector>

#include "model/desktop.h"
#include "shell/launcher.h"

namespace vx::shell {

// A button's launch fields as the launcher takes them; kind None for any other object.
ButtonView button_view(const model::ObjectEntry& entry);

// The page's buttons in the page's object order (newest first); none without a page.
std::vector<ButtonView> page_buttons(const model::Page* page);

// The buttons of the page named "StartUp", in the page's object order: the list runs newest
// first, so the button placed last runs first, as desktops made for this shell expect. None
// without such a page.
std::vector<ButtonView> start_up_buttons(const model::Desktop& desktop);

// The button a speed key reaches: the current page's first, then the master page's, whether or
// not the current page shows the master page's objects.
std::optional<ButtonView> speed_key_button(const model::Desktop& desktop, std::uint16_t shortcut);

}  // namespace vx::shell
