#pragma once
// Icons, cursors and animation frames made from icon library entries. Entries are files a
// user can replace, so every maker here answers a damaged entry with no handle at all.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "iconlib/animation.h"
#include "iconlib/library.h"
#include "win/util/handle.h"

namespace vx::win::iconlib {

// Buttons, tabs and the library window all show icons at this size.
inline constexpr int kIconSize = 32;

// An icon from the bytes of an icon file (or a cursor file, drawn as an icon): the image
// nearest `size` pixels, the deepest of those.
unique_hicon icon_from_icon_file(std::span<const uint8_t> bytes, int size = kIconSize);

// A cursor from the bytes of a cursor file, as the system's cursor-from-file loader makes it:
// the image nearest the system cursor size, its hot spot as the file gives it.
unique_hcursor cursor_from_cursor_file(std::span<const uint8_t> bytes);

// What buttons and the library window show for an entry: type 1 as an icon, type 2 its first
// frame, type 3 the cursor used as an icon.
unique_hicon entry_icon(const vx::iconlib::LoadedEntry& entry);

// The screen cursor variant: type 1 as an icon (which serves as a cursor with its hot spot in
// the middle), types 2 and 3 as cursors, an animated entry animating.
unique_hcursor entry_cursor(const vx::iconlib::LoadedEntry& entry);

// An animation ready to play: one icon per frame, and the steps that show them.
struct FrameList {
    std::vector<unique_hicon> frames;
    std::vector<vx::iconlib::AnimationStep> steps;
};
// nullopt when a frame does not load.
std::optional<FrameList> frame_list(const vx::iconlib::Animation& animation);
// The frames of an animated entry; nullopt for a still entry or a damaged one.
std::optional<FrameList> entry_frames(const vx::iconlib::LoadedEntry& entry);

// Plays the steps once at `at`, each frame at 32 by 32 and shown for its rate, without
// handling messages meanwhile (a button press is acknowledged when it ends). `onto_page`
// draws straight onto the DC; otherwise each frame goes over a copy of what lay beneath.
void play_frames(HDC dc, const FrameList& frames, POINT at, bool onto_page);

// The images of an icon handle (DIBs with their masks), as an icon file stores them.
std::vector<Bytes> icon_images(HICON icon);
// An icon handle saved as an icon file; empty when the handle gives no image.
Bytes icon_file_bytes(HICON icon);

}  // namespace vx::win::iconlib
