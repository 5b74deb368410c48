// How fast the shell paints, as a person at the station sees it. Prints:
//   - a full repaint of a 500-object page of every kind (composed into a DIB the size of the
//     page, and the page surface window's whole repaint), beside the floor: the same rectangles
//     painted with one FillRect and one DrawText each into the same DIB;
//   - the steps of dragging a selection of 20 objects over that page in the designer: time per
//     step and how much of the surface each step repaints;
//   - page switches on the demo desktop in the real main window;
//   - GDI and USER object counts after the first repaint, after 10,000 repaints and after 1,000
//     page switches;
//   - with --start: vantorx.exe started on the demo desktop until its first page is painted,
//     beside a bare Win32 window program started the same way.
// A Windows program of the win64 lane that needs a display of at least 2004 x 1284 (under Wine:
// an Xvfb screen that size). Figures are medians of several rounds.
#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../button_page.h"
#include "editor/surface_edit.h"
#include "model/desktop.h"
#include "util/file_io.h"
#include "win/objects/gdi_canvas.h"
#include "win/shell/main_form.h"
#include "win/shell/registry_settings.h"
#include "win/support/dib_surface.h"
#include "win/support/gui_resources.h"
#include "win/surface/design_tool.h"
#include "win/surface/page_objects.h"
#include "win/surface/scroll_box.h"
#include "win/util/text.h"

namespace {

using namespace vx;
using win::narrow;
using win::widen;

constexpr int kWidth = 25 * 80, kHeight = 20 * 64;

double now_ms() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// The median of `rounds` timings of `frames` runs of `run`, in ms per run.
double median_ms(int rounds, int frames, const std::function<void()>& run) {
    std::vector<double> per;
    for (int r = 0; r < rounds; ++r) {
        const double t0 = now_ms();
        for (int i = 0; i < frames; ++i) run();
        per.push_back((now_ms() - t0) / frames);
    }
    std::sort(per.begin(), per.end());
    return per[per.size() / 2];
}

void pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

std::string program_dir() {
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return narrow(p.substr(0, p.find_last_of(L"\\/")));
}

// A folder of the bench's own under the temporary folder, removed with all that the programs
// started in it left there.
struct TempFolder {
    std::string path;
    explicit TempFolder(const char* name) {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        path = narrow(tmp) + name + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(path).c_str(), nullptr);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(widen(path)), ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
};

void copy_into(const std::string& from, const std::string& dir, const std::string& name) {
    write_file_atomic(join_path(dir, name), read_file(from));
}

void print_counts(const char* when) {
    const win::test::GuiCounts c = win::test::gui_counts();
    if (c.counted)
        std::printf("  handles %-28s %5lu GDI, %5lu USER\n", when, c.gdi, c.user);
    else
        std::printf("  handles %-28s not countable here\n", when);
}

// The 500-object page on the page surface, and what a designer drag over it costs.
void page_figures(const std::string& picture) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kWidth + 4, kHeight + 4, nullptr, nullptr,
                                       instance, nullptr);
    win::surface::TKXScrollBox surface;
    if (!frame || !surface.create(frame, instance, 1)) {
        std::fprintf(stderr, "cannot create the surface\n");
        return;
    }
    MoveWindow(surface.hwnd(), 0, 0, kWidth + 4, kHeight + 4, FALSE);

    model::Desktop desktop;
    model::Page& page = desktop.add_page("Page 1");
    for (const model::ObjectData& d : bench::mixed_page(500, picture)) desktop.add_object(page, d);
    win::objects::PictureTable pictures;
    win::surface::PageObjectEnv env;
    env.pictures = &pictures;
    env.invalidate = [&](const RECT& r) { surface.invalidate(r); };
    std::vector<std::unique_ptr<win::surface::PageObject>> objects;
    std::vector<win::surface::HostedObject*> hosted;
    for (model::ObjectEntry* entry : win::surface::stacking_order(nullptr, &page)) {
        objects.push_back(std::make_unique<win::surface::PageObject>(*entry, env));
        hosted.push_back(objects.back().get());
    }
    surface.set_objects(hosted);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    UpdateWindow(surface.hwnd());
    pump();
    RECT client;
    GetClientRect(surface.hwnd(), &client);
    if (client.right < kWidth || client.bottom < kHeight)
        std::fprintf(stderr, "warning: the client is %ld x %ld, smaller than the page\n", client.right, client.bottom);

    // The floor: every object's rectangle filled and captioned, nothing more.
    const win::test::DibSurface dib(kWidth, kHeight, RGB(255, 255, 255));
    const win::unique_hfont font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
    const win::unique_hbrush brush(CreateSolidBrush(RGB(192, 192, 192)));
    std::vector<std::wstring> texts;
    for (int i = 0; i < 500; ++i) texts.push_back(L"Item " + std::to_wstring(i));
    const auto floor_frame = [&] {
        const HGDIOBJ old_font = SelectObject(dib.dc(), font.get());
        SetBkMode(dib.dc(), TRANSPARENT);
        for (size_t i = 0; i < objects.size(); ++i) {
            RECT r = objects[i]->bounds();
            FillRect(dib.dc(), &r, brush.get());
            DrawTextW(dib.dc(), texts[i].c_str(), -1, &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
        }
        SelectObject(dib.dc(), old_font);
        GdiFlush();
    };
    // The page's own paint into the same DIB: the background, then every object in order.
    const auto compose_frame = [&] {
        const RECT all{0, 0, kWidth, kHeight};
        FillRect(dib.dc(), &all, brush.get());
        for (auto& o : objects) o->paint(dib.dc());
        GdiFlush();
    };
    const auto window_frame = [&] {
        RedrawWindow(surface.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
    };
    floor_frame();
    compose_frame();
    window_frame();
    const double floor_ms = median_ms(5, 10, floor_frame);
    const double compose_ms = median_ms(5, 10, compose_frame);
    const double window_ms = median_ms(5, 10, window_frame);
    std::printf("full repaint of a 500-object page (%d x %d):\n", kWidth, kHeight);
    std::printf("  floor (FillRect + DrawText each)  %7.2f ms\n", floor_ms);
    std::printf("  objects painted into the DIB      %7.2f ms  (%.2f x the floor)\n", compose_ms,
                compose_ms / floor_ms);
    std::printf("  the surface window's repaint      %7.2f ms  (%.2f x the floor)\n", window_ms,
                window_ms / floor_ms);

    // A designer drag of 20 objects (a block of 5 x 4 cells) across the page, a step at a time.
    editor::Selection selection;
    editor::GridSettings grid;
    win::surface::DesignToolEvents events;
    events.page = [&]() -> const model::Page* { return &page; };
    events.tool = [] { return editor::Tool::Selector; };
    events.pressed = [](const editor::PressResult&, POINT) {};
    win::surface::DesignTool tool(desktop, selection, grid, events);
    for (const model::ObjectEntry& e : page.objects) {
        const model::Bounds& b = model::bounds_of(e.data);
        if (b.left >= 5 * 80 && b.left < 10 * 80 && b.top >= 5 * 64 && b.top < 9 * 64) selection.add(page, e.id);
    }
    surface.set_tool(&tool);
    tool.selection_changed(surface);
    UpdateWindow(surface.hwnd());
    // Returns each step's time, and the largest share of the surface one step repainted.
    const auto drag = [&](std::vector<double>& steps, double& largest_share) {
        POINT at{5 * 80 + 30, 5 * 64 + 30};
        tool.mouse_down(surface, at, MK_LBUTTON, MK_LBUTTON);
        UpdateWindow(surface.hwnd());
        for (int i = 0; i < 120; ++i) {
            at.x += i < 60 ? 7 : -7;
            at.y += (i < 60 ? 1 : -1) * (i % 2 ? 3 : 4);
            const double t0 = now_ms();
            tool.mouse_move(surface, at, MK_LBUTTON);
            RECT dirty{};
            GetUpdateRect(surface.hwnd(), &dirty, FALSE);
            UpdateWindow(surface.hwnd());
            GdiFlush();
            steps.push_back(now_ms() - t0);
            const double share = static_cast<double>(dirty.right - dirty.left) * (dirty.bottom - dirty.top) /
                                 (static_cast<double>(client.right) * client.bottom);
            largest_share = std::max(largest_share, share);
        }
        // Dropped where it was taken up, so the page stays as it was.
        tool.mouse_up(surface, at, MK_LBUTTON, 0);
        UpdateWindow(surface.hwnd());
    };
    std::vector<double> steps;
    double largest_share = 0;
    drag(steps, largest_share);  // the tool's pens and cursors are made on the first drag
    pump();
    print_counts("after the first repaints");
    steps.clear();
    largest_share = 0;
    drag(steps, largest_share);
    std::sort(steps.begin(), steps.end());
    std::printf("dragging 20 selected objects over the page (%zu steps):\n", steps.size());
    std::printf("  per step: median %.2f ms, slowest %.2f ms; the largest step repainted %.1f%% of the surface\n",
                steps[steps.size() / 2], steps.back(), 100.0 * largest_share);

    // 10,000 repaints: every object in turn through its own rectangle, and the whole page
    // every hundredth time.
    for (int i = 0; i < 10000; ++i) {
        if (i % 100 == 99) {
            window_frame();
            continue;
        }
        const RECT r = objects[static_cast<size_t>(i) % objects.size()]->bounds();
        RedrawWindow(surface.hwnd(), &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    drag(steps, largest_share);
    pump();
    print_counts("after 10,000 repaints");
    surface.set_tool(nullptr);
    DestroyWindow(frame);
}

// Page switches of the demo desktop in the real main window, as a tab click makes them.
void page_switch_figures() {
    const TempFolder folder("vxbench");
    const std::string& dir = folder.path;
    const std::string data = std::string(VX_DATA_DIR) + "/demo/";
    for (const char* name : {"VX.DTP", "LOGO.BMP", "PAPER.PNG"}) copy_into(data + name, dir, name);
    const std::wstring key = L"Software\\Halvane\\VantoraBench" + std::to_wstring(GetCurrentProcessId());
    {
        win::shell::RegistrySettingsStore store{key};
        win::shell::TMainForm form(store);
        form.set_program_dir(dir);
        if (!form.create(GetModuleHandleW(nullptr))) {
            std::fprintf(stderr, "cannot create the main window\n");
            return;
        }
        form.first_show();
        ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
        pump();
        // The tabs a click opens without a password.
        std::vector<int> open;
        const auto tabs = form.station().desktop().tab_pages(false);
        for (size_t i = 0; i < tabs.size(); ++i)
            if (tabs[i]->password.empty()) open.push_back(static_cast<int>(i));
        const int pages = static_cast<int>(open.size());
        int shown = 0;
        const auto switch_page = [&] {
            shown = (shown + 1) % pages;
            form.select_tab(open[static_cast<size_t>(shown)]);
            UpdateWindow(form.hwnd());
            RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            GdiFlush();
        };
        for (int i = 0; i < pages; ++i) switch_page();
        pump();
        print_counts("after the first page views");
        std::vector<double> times;
        for (int i = 0; i < 1000; ++i) {
            const double t0 = now_ms();
            switch_page();
            times.push_back(now_ms() - t0);
            pump();
        }
        pump();
        print_counts("after 1,000 page switches");
        std::sort(times.begin(), times.end());
        std::printf("page switch on the demo desktop (%d pages, 1,000 switches): median %.2f ms, 95th %.2f ms, "
                    "slowest %.2f ms\n",
                    pages, times[times.size() / 2], times[times.size() * 95 / 100], times.back());
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

// Starts `exe` in `dir` and waits until it first waits for input, which a program does once its
// first window has been painted. Milliseconds, or -1.
double start_ms(const std::string& exe, const std::string& dir) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + widen(exe) + L"\"";
    const double t0 = now_ms();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, widen(dir).c_str(), &si, &pi))
        return -1;
    const DWORD waited = WaitForInputIdle(pi.hProcess, 30000);
    const double ms = now_ms() - t0;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return waited == 0 ? ms : -1;
}

void start_figures() {
    const std::string here = program_dir();
    const TempFolder folder("vxstart");
    const std::string& shell_dir = folder.path;
    const std::string apps = here + "/../../apps/vantorx/";
    for (const char* name : {"vantorx.exe", "VXHooks.dll"}) copy_into(apps + name, shell_dir, name);
    const std::string data = std::string(VX_DATA_DIR) + "/demo/";
    for (const char* name : {"VX.DTP", "LOGO.BMP", "PAPER.PNG"}) copy_into(data + name, shell_dir, name);
    const std::string shell = join_path(shell_dir, "vantorx.exe");
    const std::string bare = join_path(here, "vx_bench_bare.exe");
    std::vector<double> shell_ms, bare_ms;
    for (int i = 0; i < 7; ++i) {
        bare_ms.push_back(start_ms(bare, here));
        shell_ms.push_back(start_ms(shell, shell_dir));
    }
    std::sort(shell_ms.begin(), shell_ms.end());
    std::sort(bare_ms.begin(), bare_ms.end());
    const double s = shell_ms[shell_ms.size() / 2], b = bare_ms[bare_ms.size() / 2];
    std::printf("start to the first page painted (median of %zu, side by side):\n", shell_ms.size());
    std::printf("  bare Win32 window program  %7.1f ms\n", b);
    std::printf("  vantorx.exe, demo desktop  %7.1f ms  (%.2f x the bare program)\n", s, s / b);
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    const bool start = argc > 1 && std::strcmp(argv[1], "--start") == 0;
    if (start) {
        start_figures();
        return 0;
    }
    if (!(argc > 1 && std::strcmp(argv[1], "--switch") == 0)) page_figures(std::string(VX_DATA_DIR) + "/demo/LOGO.BMP");
    page_switch_figures();
    return 0;
}
#endif
