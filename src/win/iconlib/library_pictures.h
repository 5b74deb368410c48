#pragma once
// The icon library as the shell's page sees it: entry icons put into the shared picture table
// once per number, screen cursors (20 + the cursor number) made once per number, and the
// frames of animated entries for page tab icons and button presses. The files are read when a
// number is first asked for, so a library replaced while the shell runs needs clear().
#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "iconlib/library.h"
#include "win/iconlib/library_images.h"
#include "win/objects/gdi_canvas.h"
#include "win/util/text.h"

namespace vx::win::iconlib {

// The screen cursor number of a button's cursor.
inline constexpr int kScreenCursorBase = 20;

class LibraryPictures {
public:
    LibraryPictures(const std::string& dir, objects::PictureTable& pictures);

    struct Icon {
        port::IconId id = port::kNoIcon;  // in the picture table; kNoIcon when none
        bool animated = false;            // the entry has frames to play
    };
    // The icon of the first live entry at or after `number`.
    Icon icon(uint16_t number);
    // Frames of an animated entry; null for a still, missing or damaged one.
    const FrameList* frames(uint16_t number);
    // The still icon of an entry for a window that takes an HICON (owned here).
    HICON still_icon(uint16_t number);
    // Screen cursor 20 + number; null when the entry gives none.
    HCURSOR cursor(uint16_t number);
    void clear();

private:
    std::optional<vx::iconlib::LoadedEntry> load(uint16_t number) const;

    AnsiCodePageCodec codec_;
    vx::iconlib::IconLibrary library_;
    objects::PictureTable& pictures_;
    std::map<uint16_t, Icon> icons_;
    std::map<uint16_t, unique_hicon> stills_;
    std::map<uint16_t, unique_hcursor> cursors_;
    std::map<uint16_t, std::optional<FrameList>> frames_;
};

}  // namespace vx::win::iconlib
