#pragma once
// What an image object draws, one class per kind of picture, each drawn over whatever the page
// shows beneath it: a plain bitmap covers its rectangle; a see-through bitmap is blended by its
// alpha; an icon goes through its mask; a metafile is played into the target, so it scales as
// the vectors it is.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "objects/shape_paint.h"
#include "win/imaging/picture.h"
#include "win/util/handle.h"

namespace vx::win::objects {

// A 32-bit top-down DIB of `size` with its pixels at `bits` (0x00RRGGBB, top row first); empty,
// and `bits` null, when the system cannot make one.
unique_hbitmap top_down_dib(port::Size size, uint32_t*& bits);

// Shared by the bitmap kinds: the colour key applies to them, through a working copy.
class KeyedBitmapPicture : public vx::objects::ImagePicture {
public:
    port::Size size() const override { return size_; }
    bool is_bitmap() const override { return true; }
    void draw_keyed(port::Canvas& c, port::Point at) override;

protected:
    explicit KeyedBitmapPicture(port::Size size) : size_(size) {}
    // Takes 32-bit pixels of the picture's size as the working copy, with the top-left pixel's
    // colour replaced by `color`; false when that failed.
    bool keep_keyed(std::vector<uint32_t> pixels, port::Color color);
    void drop_keyed() { keyed_.reset(); }

    port::Size size_;

private:
    unique_hbitmap keyed_;
};

// A bitmap of opaque pixels.
class BitmapPicture final : public KeyedBitmapPicture {
public:
    explicit BitmapPicture(unique_hbitmap bitmap);
    bool has_graphic() const override { return bitmap_.get() != nullptr; }
    void draw(port::Canvas& c, const port::Rect& target) override;
    bool make_keyed(port::Color color, const port::Palette* palette) override;

private:
    unique_hbitmap bitmap_;
};

// A bitmap with an alpha channel (PNG, GIF and TIFF transparency).
class AlphaPicture final : public KeyedBitmapPicture {
public:
    // Takes a top-down 32-bit DIB of straight alpha, as the imaging layer decodes one.
    AlphaPicture(unique_hbitmap straight, port::Size size);
    bool has_graphic() const override { return premultiplied_.get() != nullptr; }
    bool see_through() const override { return true; }
    void draw(port::Canvas& c, const port::Rect& target) override;
    // The working copy lies on `color` first.
    bool make_keyed(port::Color color, const port::Palette* palette) override;

private:
    unique_hbitmap premultiplied_;
};

// Shared by the kinds the system draws itself: no colour key, and the page shows through.
class SystemDrawnPicture : public vx::objects::ImagePicture {
public:
    port::Size size() const override { return size_; }
    bool is_bitmap() const override { return false; }
    bool see_through() const override { return true; }
    bool make_keyed(port::Color, const port::Palette*) override { return false; }
    void draw_keyed(port::Canvas&, port::Point) override {}

protected:
    explicit SystemDrawnPicture(port::Size size) : size_(size) {}

private:
    port::Size size_;
};

class IconPicture final : public SystemDrawnPicture {
public:
    IconPicture(unique_hicon icon, port::Size size) : SystemDrawnPicture(size), icon_(std::move(icon)) {}
    bool has_graphic() const override { return icon_.get() != nullptr; }
    void draw(port::Canvas& c, const port::Rect& target) override;

private:
    unique_hicon icon_;
};

class MetafilePicture final : public SystemDrawnPicture {
public:
    MetafilePicture(unique_henhmetafile metafile, port::Size size)
        : SystemDrawnPicture(size), metafile_(std::move(metafile)) {}
    bool has_graphic() const override { return metafile_.get() != nullptr; }
    void draw(port::Canvas& c, const port::Rect& target) override;

private:
    unique_henhmetafile metafile_;
};

// The drawing class for a decoded picture; null for an empty one.
std::unique_ptr<vx::objects::ImagePicture> make_image_picture(imaging::Picture picture);

}  // namespace vx::win::objects
