#include "win/objects/image_pictures.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "win/objects/gdi_canvas.h"

namespace vx::win::objects {

namespace {

HDC dc_of(port::Canvas& c) {
    auto* gdi = dynamic_cast<GdiCanvas*>(&c);
    return gdi ? gdi->dc() : nullptr;
}

BITMAPINFO top_down_32(port::Size size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

uint32_t dib_colour(port::Color c) {
    return static_cast<uint32_t>(port::blue_of(c)) | (static_cast<uint32_t>(port::green_of(c)) << 8) |
           (static_cast<uint32_t>(port::red_of(c)) << 16);
}

void blit(port::Canvas& c, HBITMAP bitmap, port::Size size, const port::Rect& target) {
    const HDC dc = dc_of(c);
    if (!dc || !bitmap) return;
    unique_memory_dc source(CreateCompatibleDC(dc));
    if (!source) return;
    const scoped_select keep(source.get(), bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, target.left, target.top, target.width(), target.height(), source.get(), 0, 0, size.width,
               size.height, SRCCOPY);
}

port::Size bitmap_size(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {};
    return {info.bmWidth, std::abs(info.bmHeight)};
}

}  // namespace

unique_hbitmap top_down_dib(port::Size size, uint32_t*& bits) {
    BITMAPINFO info = top_down_32(size);
    void* p = nullptr;
    unique_hbitmap bmp(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = static_cast<uint32_t*>(p);
    return bits ? std::move(bmp) : unique_hbitmap{};
}

bool KeyedBitmapPicture::keep_keyed(std::vector<uint32_t> pixels, port::Color color) {
    keyed_.reset();
    if (pixels.empty()) return false;
    const uint32_t key = pixels[0] & 0xFFFFFF;
    const uint32_t with = dib_colour(color);
    for (auto& p : pixels)
        if ((p & 0xFFFFFF) == key) p = with;
    uint32_t* bits = nullptr;
    unique_hbitmap keyed = top_down_dib(size_, bits);
    if (!keyed) return false;
    std::copy(pixels.begin(), pixels.end(), bits);
    keyed_ = std::move(keyed);
    return true;
}

void KeyedBitmapPicture::draw_keyed(port::Canvas& c, port::Point at) {
    blit(c, keyed_.get(), size_, port::Rect{at.x, at.y, at.x + size_.width, at.y + size_.height});
}

BitmapPicture::BitmapPicture(unique_hbitmap bitmap)
    : KeyedBitmapPicture(bitmap_size(bitmap.get())), bitmap_(std::move(bitmap)) {}

void BitmapPicture::draw(port::Canvas& c, const port::Rect& target) {
    blit(c, bitmap_.get(), size_, target);
}

bool BitmapPicture::make_keyed(port::Color color, const port::Palette*) {
    drop_keyed();
    if (!bitmap_ || size_.width <= 0 || size_.height <= 0) return false;
    // Work on 32-bit pixels: the replacement is exact whatever the picture's depth.
    BITMAPINFO info = top_down_32(size_);
    std::vector<uint32_t> pixels(static_cast<size_t>(size_.width) * static_cast<size_t>(size_.height));
    const unique_memory_dc screen(CreateCompatibleDC(nullptr));
    if (!screen || GetDIBits(screen.get(), bitmap_.get(), 0, static_cast<UINT>(size_.height), pixels.data(),
                             &info, DIB_RGB_COLORS) == 0)
        return false;
    return keep_keyed(std::move(pixels), color);
}

AlphaPicture::AlphaPicture(unique_hbitmap straight, port::Size size) : KeyedBitmapPicture(size) {
    DIBSECTION dib{};
    if (!straight || GetObjectW(straight.get(), sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits ||
        dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmWidth != size.width || std::abs(dib.dsBm.bmHeight) != size.height)
        return;
    // Blending wants each colour already weighed by its opacity.
    auto* px = static_cast<uint32_t*>(dib.dsBm.bmBits);
    const size_t count = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = px[i], a = p >> 24;
        uint32_t out = a << 24;
        for (int shift = 0; shift < 24; shift += 8) out |= ((((p >> shift) & 0xFF) * a + 127) / 255) << shift;
        px[i] = out;
    }
    GdiFlush();
    premultiplied_ = std::move(straight);
}

void AlphaPicture::draw(port::Canvas& c, const port::Rect& target) {
    const HDC dc = dc_of(c);
    if (!dc || !premultiplied_) return;
    unique_memory_dc source(CreateCompatibleDC(dc));
    if (!source) return;
    const scoped_select keep(source.get(), premultiplied_.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, target.left, target.top, target.width(), target.height(), source.get(), 0, 0, size_.width,
               size_.height, blend);
}

bool AlphaPicture::make_keyed(port::Color color, const port::Palette*) {
    drop_keyed();
    DIBSECTION dib{};
    if (!premultiplied_ || GetObjectW(premultiplied_.get(), sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits)
        return false;
    const auto* px = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    const uint32_t under = dib_colour(color);
    std::vector<uint32_t> pixels(px, px + static_cast<size_t>(size_.width) * static_cast<size_t>(size_.height));
    for (auto& p : pixels) {
        const uint32_t a = p >> 24;
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t v = ((p >> shift) & 0xFF) + ((((under >> shift) & 0xFF) * (255 - a) + 127) / 255);
            out |= std::min<uint32_t>(v, 255) << shift;
        }
        p = out;
    }
    return keep_keyed(std::move(pixels), color);
}

void IconPicture::draw(port::Canvas& c, const port::Rect& target) {
    const HDC dc = dc_of(c);
    if (!dc || !icon_) return;
    DrawIconEx(dc, target.left, target.top, icon_.get(), target.width(), target.height(), 0, nullptr, DI_NORMAL);
}

void MetafilePicture::draw(port::Canvas& c, const port::Rect& target) {
    const HDC dc = dc_of(c);
    if (!dc || !metafile_) return;
    const RECT r{target.left, target.top, target.right, target.bottom};
    PlayEnhMetaFile(dc, metafile_.get(), &r);
}

std::unique_ptr<vx::objects::ImagePicture> make_image_picture(imaging::Picture p) {
    const port::Size size{p.width, p.height};
    switch (p.kind) {
        case imaging::Picture::Kind::Bitmap:
            if (p.alpha) return std::make_unique<AlphaPicture>(std::move(p.bitmap), size);
            return std::make_unique<BitmapPicture>(std::move(p.bitmap));
        case imaging::Picture::Kind::Icon:
            return std::make_unique<IconPicture>(std::move(p.icon), size);
        case imaging::Picture::Kind::Metafile:
            return std::make_unique<MetafilePicture>(std::move(p.metafile), size);
        case imaging::Picture::Kind::None:
            break;
    }
    return nullptr;
}

}  // namespace vx::win::objects
