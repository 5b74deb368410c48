#pragma once
// A 32-bit top-down DIB section in a memory DC, filled with one colour, whose pixels the GDI
// tests read back as COLORREF values, count in a rectangle, or save as a BMP for people to look at.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "win/util/handle.h"

namespace vx::win::test {

class DibSurface {
public:
    DibSurface(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_.reset(CreateCompatibleDC(nullptr));
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        previous_ = SelectObject(dc_.get(), bitmap_.get());
        unique_hbrush brush(CreateSolidBrush(fill));
        const RECT all{0, 0, width, height};
        FillRect(dc_.get(), &all, brush.get());
    }
    ~DibSurface() { SelectObject(dc_.get(), previous_); }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const {
        GdiFlush();
        const uint32_t p = static_cast<const uint32_t*>(bits_)[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int count(COLORREF c, RECT r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += at(x, y) == c;
        return n;
    }
    // Pixels in `r` that are not `background`: what text left there, however the machine's font
    // renders it (a smoothed glyph has grey edges; an exact colour count would depend on it).
    int ink(COLORREF background, RECT r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += at(x, y) != background;
        return n;
    }
    // Writes a 24-bit BMP that `convert` turns into a PNG.
    bool save_bmp(const std::string& path) const {
        const int stride = (width_ * 3 + 3) & ~3;
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER head{};
        head.biSize = sizeof head;
        head.biWidth = width_;
        head.biHeight = height_;
        head.biPlanes = 1;
        head.biBitCount = 24;
        head.biSizeImage = static_cast<DWORD>(stride * height_);
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof head;
        file.bfSize = file.bfOffBits + head.biSizeImage;
        std::vector<unsigned char> data(head.biSizeImage);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const COLORREF c = at(x, y);
                unsigned char* px = &data[static_cast<size_t>((height_ - 1 - y) * stride + x * 3)];
                px[0] = GetBValue(c);
                px[1] = GetGValue(c);
                px[2] = GetRValue(c);
            }
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&head, sizeof head, 1, f);
        std::fwrite(data.data(), 1, data.size(), f);
        return std::fclose(f) == 0;
    }

private:
    int width_, height_;
    unique_memory_dc dc_;
    unique_hbitmap bitmap_;
    void* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace vx::win::test
