#include "win/objects/kx_shapes.h"

#include <algorithm>
#include <vector>

namespace vx::win::objects {

void TKXLabel::SetAutoSize(bool value, port::Canvas& measure) {
    auto_size_ = value;
    if (!value) return;
    const model::Bounds b = vx::objects::label_auto_size(measure, data_);
    if (b.left == data_.bounds.left && b.width == data_.bounds.width && b.height == data_.bounds.height)
        return;
    data_.bounds = b;
    refresh();
}

bool TKXLabel::DialogChar(wchar_t key) {
    if (!show_accel_char_ || !focus_control_) return false;
    if (!vx::objects::label_accel_matches(data_.text, static_cast<char32_t>(key))) return false;
    // The control may have been destroyed since it was named.
    if (!IsWindow(focus_control_) || !IsWindowVisible(focus_control_) || !IsWindowEnabled(focus_control_))
        return false;
    SetFocus(focus_control_);
    return true;
}

BitmapPicture::BitmapPicture(unique_hbitmap bitmap) : bitmap_(std::move(bitmap)) {
    BITMAP info{};
    if (bitmap_.get() && GetObjectW(bitmap_.get(), sizeof info, &info)) size_ = {info.bmWidth, info.bmHeight};
}

namespace {

void blit(port::Canvas& c, HBITMAP bitmap, port::Size size, const port::Rect& target) {
    auto* gdi = dynamic_cast<GdiCanvas*>(&c);
    if (!gdi || !bitmap) return;
    unique_memory_dc source(CreateCompatibleDC(gdi->dc()));
    if (!source.get()) return;
    const HGDIOBJ old = SelectObject(source.get(), bitmap);
    SetStretchBltMode(gdi->dc(), COLORONCOLOR);
    StretchBlt(gdi->dc(), target.left, target.top, target.width(), target.height(), source.get(), 0, 0,
               size.width, size.height, SRCCOPY);
    SelectObject(source.get(), old);
}

}  // namespace

void BitmapPicture::draw(port::Canvas& c, const port::Rect& target) {
    blit(c, bitmap_.get(), size_, target);
}

bool BitmapPicture::make_keyed(port::Color color, const port::Palette*) {
    keyed_.reset();
    if (!bitmap_.get() || size_.width <= 0 || size_.height <= 0) return false;
    // Work on 32-bit pixels: the replacement is exact whatever the picture's depth.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size_.width;
    info.bmiHeader.biHeight = -size_.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(size_.width) * static_cast<size_t>(size_.height));
    unique_memory_dc screen(CreateCompatibleDC(nullptr));
    if (!screen.get() || GetDIBits(screen.get(), bitmap_.get(), 0, static_cast<UINT>(size_.height),
                                   pixels.data(), &info, DIB_RGB_COLORS) == 0)
        return false;
    const uint32_t key = pixels[0] & 0xFFFFFF;
    const uint32_t with = static_cast<uint32_t>(port::blue_of(color)) | (port::green_of(color) << 8) |
                          (port::red_of(color) << 16);
    for (auto& p : pixels)
        if ((p & 0xFFFFFF) == key) p = with;
    void* bits = nullptr;
    unique_hbitmap keyed(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!keyed.get() || !bits) return false;
    std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
    keyed_ = std::move(keyed);
    return true;
}

void BitmapPicture::draw_keyed(port::Canvas& c, port::Point at) {
    blit(c, keyed_.get(), size_, port::Rect{at.x, at.y, at.x + size_.width, at.y + size_.height});
}

void TKXImage::SetPicture(std::unique_ptr<vx::objects::ImagePicture> picture) {
    picture_ = std::move(picture);
    const vx::objects::PictureChange change =
        vx::objects::image_picture_changed(data_, auto_size_, picture_.get());
    data_.bounds = change.bounds;
    opaque_ = change.opaque;
    refresh();
}

}  // namespace vx::win::objects
