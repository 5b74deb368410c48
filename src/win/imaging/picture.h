#pragma once
// Pictures from files for wallpapers, image objects and previews. The one entry point every
// caller uses, so a format learnt here is learnt everywhere at once.
#include <windows.h>

#include <string>
#include <vector>

#include "imaging/pcx.h"
#include "win/util/handle.h"

namespace vx::win::imaging {

// Where a picture has see-through parts (PNG and GIF transparency, icons) load_picture lays them
// onto a solid colour, so the result can be drawn with plain blits. Silver, the colour of a page
// that was never given one.
inline constexpr COLORREF kPictureBackground = RGB(192, 192, 192);

// A picture as its file holds it, before anything is laid under it: what an image object needs
// to draw it over the page itself.
struct Picture {
    enum class Kind { None, Bitmap, Icon, Metafile };
    Kind kind = Kind::None;
    int width = 0;  // the natural size, in pixels of this display
    int height = 0;
    // Bitmap: a DIB. With `alpha`, a top-down 32-bit one whose top byte is each pixel's
    // opacity, not premultiplied; without, every pixel is opaque.
    unique_hbitmap bitmap;
    bool alpha = false;
    unique_hicon icon;             // Icon: its largest image, with its mask
    unique_henhmetafile metafile;  // Metafile: plain Windows metafiles arrive converted
    explicit operator bool() const { return kind != Kind::None; }
};

// The picture in `path`, or one of Kind::None with a reason in `error` (when given); the same
// formats and reasons as load_picture.
Picture decode_picture(const std::string& path, std::string* error = nullptr);

// A device-independent bitmap of the picture in `path`, or null with a reason in `error` (when
// given) for a file that is missing, damaged or in a format this build does not read. Read by
// their contents, not their names: BMP, PCX, PNG, JPEG, GIF (first frame), TIFF (first page),
// icons (the largest image), placeable and plain Windows metafiles and enhanced metafiles (at
// their natural size).
unique_hbitmap load_picture(const std::string& path, std::string* error = nullptr,
                            COLORREF background = kPictureBackground);

// The colours of a palette picture (up to 256 entries, in the file's order); empty with a
// reason in `error` for a picture without a palette or one that cannot be read.
std::vector<vx::imaging::Rgb> load_picture_palette(const std::string& path, std::string* error = nullptr);

}  // namespace vx::win::imaging
