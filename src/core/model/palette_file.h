#pragma once
// Palette files in the published JASC-PAL text form, which paint programs read and write: the
// lines "JASC-PAL", a version, the number of colours, then one "red green blue" line per colour.
// The palette editor loads them into the logical palette and saves it as one.
#include <string>
#include <string_view>

#include "model/desktop.h"

namespace vx::model {

struct PaletteReadResult {
    enum class Status {
        NotAPalette,  // the first line is not "JASC-PAL": nothing was read
        Complete,     // every colour the file announced (at most 256) was read
        Short,        // the file ended before the announced number of colours
        Refused,      // a line held something other than the numbers it should; see `message`
    };
    Status status = Status::NotAPalette;
    int entries = 0;      // entries 0 .. entries - 1 now hold the file's colours
    std::string message;  // for Refused: the line and what is wrong with it
};

// Reads `text` into `palette`. Once the header and the colour count are read, entry 0 is black
// whatever the file says (the page's background colours rely on it), entries the file gives
// replace the palette's, and every other entry keeps its value: a file that stops early or holds
// a bad line leaves the entries it got to in effect and the rest as they were. At most 256
// colours are read, whatever the count says. Lines may end in CR LF, LF or CR.
PaletteReadResult read_jasc_pal(std::string_view text, Palette& palette);

// The file text of a whole palette: 256 colours, lines ending in CR LF.
std::string write_jasc_pal(const Palette& palette);

// The same on files. Throws FileError when the file cannot be read or written; saving goes
// through a temporary file beside the target, so a failed save leaves the old file whole.
PaletteReadResult load_palette_file(const std::string& path, Palette& palette);
void save_palette_file(const std::string& path, const Palette& palette);

// Whether a file chosen in the palette editor is read as a palette file (".PAL" in any letter
// case) rather than as a picture whose colours are taken.
bool is_palette_file_name(std::string_view path);

// The standard 16 Windows colours in the order the palette editor puts them into entries 0 to
// 15: black, maroon, green, olive, navy, purple, teal, gray, silver, red, lime, yellow, blue,
// fuchsia, aqua, white.
const std::array<PaletteEntry, 16>& windows16_colors();

}  // namespace vx::model
