// Painting a page of 500 mixed buttons into a memory DC through the GDI canvas, as the page
// surface will: prints milliseconds per frame. A Windows program (run it under Wine); natively
// this file is empty. Until the Windows lane has a target for it, build it against the win64
// libraries:
//   x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -DUNICODE -D_UNICODE -Isrc/core -Isrc
//   bench/win/button_paint_gdi.cpp build/win64/src/win/libvx_win.a build/win64/src/core/libvx_core.a -lgdi32
//   -luser32 -static -o build/win64/button_paint_gdi.exe
#if defined(_WIN32)
#include <windows.h>

#include <cstdio>

#include "../button_page.h"
#include "objects/button_paint.h"
#include "win/objects/gdi_canvas.h"

int main() {
    using namespace vx;
    const auto page = bench::mixed_button_page(500);
    const int width = 25 * 80, height = 20 * 64;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win::unique_memory_dc dc(CreateCompatibleDC(nullptr));
    win::unique_hbitmap dib(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::scoped_select keep(dc.get(), dib.get());
    win::objects::PictureTable pictures;
    pictures.add_icon(1, win::unique_hicon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION))));

    auto frame = [&] {
        for (const auto& b : page) {
            SetViewportOrgEx(dc.get(), b.bounds.left, b.bounds.top, nullptr);
            win::objects::GdiCanvas canvas(dc.get(), &pictures);
            objects::ButtonState s;
            s.icon = b.show_icon ? 1 : port::kNoIcon;
            objects::paint_button(canvas, b, s, {});
        }
        GdiFlush();
    };
    frame();  // warm the font and brush caches
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    const int frames = 20;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < frames; ++i) frame();
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(freq.QuadPart) / frames;
    std::printf("500 buttons into a memory DC: %.2f ms per frame\n", ms);
    return 0;
}
#endif
