#pragma once
// The property dialogs of shapes ("Select a Shape..."), lines ("Line Style"), labels ("Enter the
// text below...") and images ("Select an Image..."). Each edits a value of
// editor/object_properties.h over a preview drawn on a sample of the page's background, and
// hands the edited object to its caller, who runs it through the undo stack. They are modeless,
// one at a time: while one is open its owner is disabled.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "model/objects.h"
#include "help/topics.h"

namespace vx::win::editor {

inline constexpr int kShapeFormHelp = vx::help::kShapeTopic;
inline constexpr int kLineFormHelp = vx::help::kLineTopic;
inline constexpr int kLabelFormHelp = vx::help::kLabelTopic;
inline constexpr int kImageFormHelp = vx::help::kImageTopic;

struct ObjectFormRequest {
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    vx::model::ObjectData object;  // the existing object, or the new one's start values
    bool is_new = false;
    vx::model::Color page_color = vx::model::kSilver;  // the preview's background
    std::string program_dir, image_dir;  // the image dialog's folders: the program's, the desktop file's
    std::function<void(int topic)> help;
    std::function<void(vx::model::ObjectData)> ok;  // the edited object (already applied)
    std::function<void()> closed;                   // after OK or Cancel
    // The selectors, for tests to answer; the defaults open the file and image selectors. Each gets
    // the start folder and returns the chosen path (both in and out), false when cancelled.
    std::function<bool(HWND owner, std::string& dir, std::string& file)> choose_text_file;
    std::function<bool(HWND owner, std::string& dir, std::string& file)> choose_image_file;
    // The font dialog; the default is the system's. False when cancelled.
    std::function<bool(HWND owner, vx::model::FontData& font)> choose_font;
};

// The system's font dialog on `font` (name, size, style; the colour stays); false when cancelled.
bool choose_font_dialog(HWND owner, vx::model::FontData& font);

// Opens the dialog of the object's kind; false for a button (its dialog is another) or when one
// is open already or the dialog could not be made.
bool open_object_form(ObjectFormRequest request);
bool object_form_open();
// The open dialog's window, or null.
HWND object_form_window();
// Closes the open dialog as Cancel would.
void close_object_form();
// The open dialog's preview object as it stands (the value OK would hand over, before the
// bounds are read); the object given to open when none is open.
vx::model::ObjectData object_form_preview();

// The tool palette applies an attribute to the open dialog's preview ("which" takes
// vx::editor::attribute_bits): the fill colour goes to the colour its Top/Bottom buttons choose.
void object_form_take_attributes(const vx::model::ButtonData& style, uint16_t which);

}  // namespace vx::win::editor
