// The page surface window itself with a page of 500 mixed buttons: a repaint of the whole page,
// and a repaint of one button through its invalid rectangle, as a press or a release asks for.
// Prints milliseconds per repaint. A Windows program of the win64 lane that needs a display
// (under Wine: an Xvfb screen of at least 2000 x 1280, so that every button is on it).
#if defined(_WIN32)
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "../button_page.h"
#include "model/desktop.h"
#include "win/surface/page_objects.h"
#include "win/surface/scroll_box.h"

namespace {

double ms_per(int count, const LARGE_INTEGER& start, const LARGE_INTEGER& end, const LARGE_INTEGER& freq) {
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart) /
           count;
}

void pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

}  // namespace

int main() {
    using namespace vx;
    const int width = 25 * 80, height = 20 * 64;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, width + 4, height + 4, nullptr, nullptr,
                                       instance, nullptr);
    win::surface::TKXScrollBox surface;
    if (!frame || !surface.create(frame, instance, 1)) {
        std::fprintf(stderr, "cannot create the surface\n");
        return 1;
    }
    MoveWindow(surface.hwnd(), 0, 0, width + 4, height + 4, FALSE);

    model::Desktop desktop;
    model::Page& page = desktop.add_page("Page 1");
    for (const model::ButtonData& b : bench::mixed_button_page(500)) desktop.add_object(page, b);
    win::surface::PageObjectEnv env;
    env.invalidate = [&](const RECT& r) { InvalidateRect(surface.hwnd(), &r, FALSE); };
    std::vector<std::unique_ptr<win::surface::PageObject>> objects;
    std::vector<win::surface::HostedObject*> hosted;
    for (model::ObjectEntry* entry : win::surface::stacking_order(nullptr, &page)) {
        objects.push_back(std::make_unique<win::surface::PageObject>(*entry, env));
        hosted.push_back(objects.back().get());
    }
    surface.set_objects(std::move(hosted));
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    UpdateWindow(surface.hwnd());
    pump();

    RECT client;
    GetClientRect(surface.hwnd(), &client);
    if (client.right < width || client.bottom < height)
        std::fprintf(stderr, "warning: the client is %ld x %ld, smaller than the page\n", client.right, client.bottom);

    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    const auto whole = [&] {
        RedrawWindow(surface.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
    };
    whole();  // warm the font and brush caches
    const int frames = 20;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < frames; ++i) whole();
    QueryPerformanceCounter(&end);
    const double whole_ms = ms_per(frames, start, end, freq);

    // One button after another, as the presses of a session come.
    const int repaints = 500;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < repaints; ++i) {
        const RECT r = objects[static_cast<size_t>(i)]->bounds();
        RedrawWindow(surface.hwnd(), &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
    }
    QueryPerformanceCounter(&end);
    const double one_ms = ms_per(repaints, start, end, freq);

    std::printf("page surface, 500 buttons on a %d x %d page: whole page %.2f ms, one button %.3f ms per repaint\n",
                width, height, whole_ms, one_ms);
    DestroyWindow(frame);
    return 0;
}
#endif
