#pragma once
// TButtonForm, "Icon / Control Attributes": the modeless editor of one button, new or existing.
// It moves data between its controls and vx::editor::ButtonProperties; the rules (what OK
// stores, the speed keys offered, the builders' texts) are core's. OK hands the edited button to
// the owner, who makes the undoable step of it; Cancel hands back nothing. At most one is open.
#include <windows.h>

#include <functional>
#include <string>

#include "dialogs/location.h"
#include "iconlib/library.h"
#include "model/desktop.h"
#include "model/objects.h"
#include "port/canvas.h"
#include "security/admin_data.h"
#include "win/dialogs/selector_dialogs.h"

namespace vx {
class Prompter;
}

namespace vx::win::editor {

inline constexpr const char* kFindProgramTitle = "Select a Program";
inline constexpr const char* kFindProgramMask = "*.EXE *.BAT *.COM *.PIF *.LNK";
inline constexpr const char* kRunApplicationTitle = "Select a File";
inline constexpr const char* kRunApplicationMask = "*.EXE *.LNK *.BAT *.PIF";
inline constexpr const char* kSoundFileTitle = "Select a Sound File";
inline constexpr const char* kSoundFileMask = "*.WAV";
inline constexpr const char* kDeskFileMask = "*.DTP";

struct ButtonFormRequest {
    HWND owner = nullptr;  // disabled while the dialog is open
    HINSTANCE instance = nullptr;
    const model::Desktop* desktop = nullptr;  // the page list
    const model::Page* page = nullptr;        // the page the button is on: speed keys, button titles
    model::ButtonData button;                 // the existing button, or the new one's start values
    bool is_new = false;
    model::Color page_color = model::kSilver;  // behind the preview
    const port::Palette* palette = nullptr;    // what palette-index colours mean; may be null
    const vx::security::AdminData* admin = nullptr;
    std::string program_dir;  // the icon library's folder
    // The last file directory: where the selectors start; each choice updates it.
    std::string file_dir;
    vx::dialogs::DriveTable drives{};
    std::string restricted;
    // Asks for the edit password of a guarded button; null: the system's password dialog.
    Prompter* prompter = nullptr;
    std::function<void(int topic)> help;
    // OK: the edited button (every field applied); the dialog has closed itself.
    std::function<void(model::ButtonData)> ok;
    // After OK, Cancel or the close box, when the window is gone and the owner enabled again.
    std::function<void()> closed;
    // The last file directory after a selector changed it.
    std::function<void(const std::string&)> file_dir_changed;

    // Replaceable for tests. A file selector: title, mask, start directory (in and out) and the
    // chosen path; true on OK. The default is the file selector.
    std::function<bool(HWND owner, const std::string& title, const std::string& mask, std::string& dir,
                       std::string& path)>
        choose_file;
    // The icon library window on `number` (in and out); true on OK.
    std::function<bool(HWND owner, uint16_t& number)> choose_icon;
    // The other holders of icon numbers (the desktop and its history), renumbered with the
    // dialog's own when the library window moves or compacts entries; may be null.
    vx::iconlib::IconReferences* icon_references = nullptr;
    // A colour from the colour palette dropped below `below`; false when cancelled.
    std::function<bool(HWND owner, const RECT& below, model::Color& color)> choose_color;
    MessageBoxFn message_box = system_message_box;
    int64_t display_colors = 0;  // 0: the screen's
};

// Opens the dialog; false when it cannot (one is open already, the edit password was not given,
// or the window failed): then nothing is shown and no callback runs.
bool open_button_form(ButtonFormRequest request);
bool button_form_open();
// The open dialog's window, or null: for the owner's message loop and for tests.
HWND button_form_window();

}  // namespace vx::win::editor
