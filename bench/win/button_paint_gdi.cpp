// Painting a page of 500 mixed buttons into a memory DC through the GDI canvas, as the page
// surface will: prints milliseconds per frame. A Windows program of the win64 lane
// (bench/win/CMakeLists.txt); natively this file is empty.
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
