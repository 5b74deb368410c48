// The pop-up palettes under a person's mouse and keys: a test window stands in for the tool
// palette or a property dialog and pops each palette up below its button.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "editor/palette_geometry.h"
#include "win/editor/color_palette.h"
#include "win/editor/fill_palette.h"
#include "win/editor/line_palettes.h"
#include "win/editor/palette_ids.h"
#include "win/editor/person.h"
#include "win/editor/sample_palette.h"

namespace vx::win::editor {
namespace {

using namespace vx::win::test;
using vx::editor::Cell;

// The window that opens the palettes: it counts the presses that reach it, which a palette's
// loop must keep from it.
class Caller final : public Window {
public:
    bool open() {
        WNDCLASSEXW wc{};
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = L"VxPaletteCaller";
        if (!register_class(wc)) return false;
        if (!create(0, L"VxPaletteCaller", L"Caller", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 440, 420))
            return false;
        button = CreateWindowW(L"BUTTON", L"Colour", WS_CHILD | WS_VISIBLE, 20, 20, 100, 24, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        return button != nullptr && bring_to_front(hwnd());
    }
    // Somewhere on the caller well away from any palette.
    POINT elsewhere() const { return on_screen(hwnd(), {400, 380}); }
    RECT button_rect() const { return screen_rect(button); }

    HWND button = nullptr;
    int presses = 0;

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == WM_LBUTTONDOWN) ++presses;
        return Window::handle_message(message, wparam, lparam);
    }
};

class PopupPaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        VX_NEED_DISPLAY();
        ASSERT_TRUE(caller.open()) << "the caller window did not come to the front";
    }

    // Pops `palette` up through `call` while the person does `steps`, which get the palette's
    // client origin on the screen. True when the palette closed by the person's input.
    template <class P, class Call>
    auto with_person(P& palette, std::function<void(POINT origin)> steps, Call call) {
        std::optional<Person> person;
        palette.on_shown = [&](TPopUpPalette& shown) {
            shown_at = on_screen(shown.hwnd(), {0, 0});
            GetWindowRect(shown.hwnd(), &shown_rect);
            foreground_when_shown = GetForegroundWindow();
            const POINT origin = shown_at;
            const HWND window = shown.hwnd();
            person.emplace([steps, origin] { steps(origin); },
                           [window] { PostMessageW(window, WM_CANCELMODE, 0, 0); });
        };
        auto result = call();
        palette.on_shown = nullptr;
        closed_by_person = person && person->finish();
        return result;
    }

    // A screenshot at the moment the highlight is white (`lit`) or black.
    void shot(const TPopUpPalette& palette, const std::string& name, bool lit) {
        wait_until([&] { return on_test([&] { return palette.highlight_shown(); }) == lit; });
        screenshot(shown_rect, name);
    }

    POINT at(POINT origin, POINT client) const { return {origin.x + client.x, origin.y + client.y}; }
    static POINT middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    Caller caller;
    OnThread on_test;
    POINT shown_at{};
    RECT shown_rect{};
    HWND foreground_when_shown = nullptr;
    bool closed_by_person = false;
};

TEST_F(PopupPaletteTest, ColourPaletteAppearsBelowTheButtonWithoutTakingTheActivation) {
    TColorPalette palette(16);
    const auto chosen = with_person(
        palette,
        [&](POINT o) {
            const auto g = *on_test([&] { return palette.grid(); });
            click_at(at(o, middle(g.rect({1, 2}))));
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), port::palette_index(0)); });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(chosen, port::palette_index(6)) << "column 1, row 2 of the 16-colour grid";
    const RECT b = caller.button_rect();
    EXPECT_EQ(shown_rect.left, b.left);
    EXPECT_EQ(shown_rect.top, b.bottom);
    EXPECT_EQ(shown_rect.right - shown_rect.left, 4 * 40 + 8);
    EXPECT_EQ(shown_rect.bottom - shown_rect.top, 4 * 40 + 8);
    EXPECT_EQ(foreground_when_shown, caller.hwnd());
    EXPECT_EQ(GetForegroundWindow(), caller.hwnd());
    EXPECT_FALSE(IsWindowVisible(palette.hwnd())) << "hidden again";
}

TEST_F(PopupPaletteTest, AClickElsewhereCancelsAndReachesNothing) {
    TColorPalette palette(256);
    palette.set_palette(rainbow());
    const POINT elsewhere = caller.elsewhere();
    const auto chosen = with_person(
        palette, [elsewhere](POINT) { click_at(elsewhere); },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), port::palette_index(17)); });
    EXPECT_TRUE(closed_by_person);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(palette.color(), port::palette_index(17));
    EXPECT_EQ(caller.presses, 0) << "the press that closed the palette went nowhere else";

    // Without a palette up, the same click reaches the window.
    click_at(elsewhere);
    for (int i = 0; i < 50 && caller.presses == 0; ++i) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        pause(20);
    }
    EXPECT_EQ(caller.presses, 1);
}

TEST_F(PopupPaletteTest, ArrowKeysMoveTheHighlightWithinTheGridAndEnterChooses) {
    TColorPalette palette(16);
    std::vector<Cell> seen;
    const auto chosen = with_person(
        palette,
        [&](POINT) {
            const auto cell = [&] { return on_test([&] { return palette.grid()->cell; }); };
            seen.push_back(cell());
            for (WORD vk : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN}) {
                tap(vk);
                seen.push_back(cell());
            }
            tap(VK_RETURN);
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), port::palette_index(0)); });
    EXPECT_TRUE(closed_by_person);
    const std::vector<Cell> expected = {{0, 0}, {0, 0}, {0, 0}, {1, 0}, {1, 1}, {1, 2}};
    EXPECT_EQ(seen, expected) << "the keys went to the caller's window and reached the palette";
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, port::palette_index(6)) << "column 1, row 2 of the 4 x 4 grid";
}

TEST_F(PopupPaletteTest, EscapeCancelsAndTheValueBeforeTheKeysComesBack) {
    TColorPalette palette(256);
    const auto chosen = with_person(
        palette,
        [](POINT) {
            tap(VK_RIGHT);
            tap(VK_DOWN);
            tap(VK_ESCAPE);
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), port::palette_index(40)); });
    EXPECT_TRUE(closed_by_person);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(palette.color(), port::palette_index(40));
}

TEST_F(PopupPaletteTest, PressingTracksTheCellUnderThePointerAndReleasingChooses) {
    TColorPalette palette(256);
    palette.set_palette(rainbow());
    std::vector<Cell> tracked;
    std::set<COLORREF> frame_while_pressed;
    const auto chosen = with_person(
        palette,
        [&](POINT o) {
            const auto g = *on_test([&] { return palette.grid(); });
            press_at(at(o, middle(g.rect({0, 0}))));
            for (Cell c : {Cell{2, 2}, Cell{3, 4}, Cell{3, 5}}) {
                move_to(at(o, middle(g.rect(c))));
                tracked.push_back(on_test([&] { return palette.grid()->cell; }));
            }
            // The highlight does not blink while the button is held.
            const RECT h = g.rect({3, 5});
            for (int i = 0; i < 16; ++i) {
                frame_while_pressed.insert(screen_pixel(at(o, {h.left - 1, h.top - 1})));
                pause(50);
            }
            release_at(at(o, middle(g.rect({3, 5}))));
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), port::palette_index(0)); });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(tracked, (std::vector<Cell>{{2, 2}, {3, 4}, {3, 5}}));
    EXPECT_EQ(frame_while_pressed, std::set<COLORREF>{RGB(255, 255, 255)});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, port::palette_index(3 * 16 + 5));
}

TEST_F(PopupPaletteTest, TheGridShowsThePaletteAndTheHighlightBlinks) {
    // The colour count is the palette's own setting, so each display's grid shows on this one.
    struct Case {
        int64_t colors;
        int cell;
    } cases[] = {{16, 40}, {256, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colors);
        TColorPalette palette(c.colors);
        palette.set_palette(rainbow());
        std::set<COLORREF> frame_colours;
        COLORREF cell_5 = 0;
        with_person(
            palette,
            [&](POINT o) {
                const auto g = *on_test([&] { return palette.grid(); });
                cell_5 = screen_pixel(at(o, middle(g.rect(g.grid.cell_of(5)))));
                // The frame lies over the cell's edge: its top-left pixel.
                const RECT h = g.rect(g.cell);
                for (int i = 0; i < 24; ++i) {
                    frame_colours.insert(screen_pixel(at(o, {h.left - 1, h.top - 1})));
                    pause(50);
                }
                shot(palette, "ColorPalette." + std::to_string(c.colors), false);
                tap(VK_ESCAPE);
            },
            [&] { return palette.choose(caller.hwnd(), caller.button_rect(), port::palette_index(9)); });
        EXPECT_TRUE(closed_by_person);
        const auto e = rainbow()[5];
        EXPECT_EQ(cell_5, RGB(e.red, e.green, e.blue)) << "cell n shows palette entry n";
        EXPECT_TRUE(frame_colours.count(RGB(255, 255, 255)) && frame_colours.count(RGB(0, 0, 0)))
            << "the highlight frame goes from white to black and back";
        EXPECT_EQ(shown_rect.right - shown_rect.left, c.cell * (c.colors == 16 ? 4 : 16) + 8);
    }
}

TEST_F(PopupPaletteTest, TrueColourTakesTheSpectrumColourIntoTheBarsAndOkChoosesIt) {
    TColorPalette palette(vx::editor::kTrueColor);
    port::Color sample_after_pick = 0;
    int bars_at_start[3] = {};
    const auto chosen = with_person(
        palette,
        [&](POINT o) {
            on_test([&] {
                for (int i = 0; i < 3; ++i)
                    bars_at_start[i] = static_cast<int>(
                        SendMessageW(palette.control(IDC_PALETTE_RED_BAR + i), TBM_GETPOS, 0, 0));
            });
            screenshot(shown_rect, "ColorPalette.TrueColour");
            const RECT s = on_test([&] { return palette.spectrum_rect(); });
            // Pure green: a third of the way along the hues, halfway down.
            press_at(at(o, {s.left + 10, s.top + 10}));
            release_at(at(o, {s.left + 60, s.top + 47}));
            sample_after_pick = on_test([&] { return palette.sample(); });
            shot(palette, "ColorPalette.TrueColourPicked", true);
            // A typed value changes its bar and the sample.
            click_at(center_of(palette.control(IDC_PALETTE_BLUE_EDIT)));
            tap(VK_END);
            for (int i = 0; i < 3; ++i) tap(VK_BACK);
            type_slowly(L"200");
            click_at(center_of(palette.control(IDC_PALETTE_OK)));
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), port::rgb(10, 20, 30)); });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(bars_at_start[0], 10) << "the bars start on the colour chosen before";
    EXPECT_EQ(bars_at_start[1], 20);
    EXPECT_EQ(bars_at_start[2], 30);
    EXPECT_EQ(sample_after_pick, vx::editor::spectrum_color(60, 47, {192, 96}));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, port::rgb(port::red_of(sample_after_pick), port::green_of(sample_after_pick), 200));
    EXPECT_EQ(caller.presses, 0);
}

TEST_F(PopupPaletteTest, FillPaletteChoosesDownTheColumnsAndTheCheckBoxChoosesToo) {
    TFillPalette palette;
    const auto chosen = with_person(
        palette,
        [&](POINT o) {
            shot(palette, "FillPalette", true);
            const GridTracker g = on_test([&] { return palette.grid(); });
            click_at(at(o, middle(g.rect({1, 2}))));
        },
        [&] {
            return palette.choose(caller.hwnd(), caller.button_rect(), {3, false});
        });
    EXPECT_TRUE(closed_by_person);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, (FillChoice{9, false})) << "column 1, row 2 is pattern 9";

    // Ticking the box closes the palette with the highlighted pattern, here the current one.
    const auto ticked = with_person(
        palette,
        [&](POINT) {
            tap(VK_DOWN);
            click_at(center_of(palette.check_box()));
        },
        [&] {
            return palette.choose(caller.hwnd(), caller.button_rect(), {9, false});
        });
    EXPECT_TRUE(closed_by_person);
    ASSERT_TRUE(ticked);
    EXPECT_EQ(*ticked, (FillChoice{10, true}));

    const auto cancelled = with_person(
        palette,
        [&](POINT) {
            tap(VK_RIGHT);
            tap(VK_ESCAPE);
        },
        [&] {
            return palette.choose(caller.hwnd(), caller.button_rect(), {10, true});
        });
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(palette.value(), (FillChoice{10, true}));
}

TEST_F(PopupPaletteTest, LineWidthMarkFollowsThePointerAndTheKeys) {
    TLineWidthPalette palette;
    EXPECT_TRUE(palette.set_width(3));
    EXPECT_FALSE(palette.set_width(4));
    EXPECT_EQ(palette.width(), 3) << "a width the palette does not show keeps the old one";

    std::vector<int> marks;
    const auto by_keys = with_person(
        palette,
        [&](POINT) {
            shot(palette, "LineWidthPalette", false);
            marks.push_back(on_test([&] { return palette.marked(); }));
            tap(VK_DOWN);
            tap(VK_DOWN);
            marks.push_back(on_test([&] { return palette.marked(); }));
            tap(VK_RETURN);
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), 3); });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(marks, (std::vector<int>{3, 5}));
    EXPECT_EQ(by_keys, 7) << "row 5 shows width 7";

    const auto by_mouse = with_person(
        palette,
        [&](POINT o) {
            move_to(at(o, middle(palette.row_rect(8))));
            marks.push_back(on_test([&] { return palette.marked(); }));
            click_at(at(o, middle(palette.row_rect(0))));
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), 9); });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(marks.back(), 8) << "hovering moves the mark";
    EXPECT_EQ(by_mouse, 0) << "row 0 is \"None\"";
}

TEST_F(PopupPaletteTest, LineStyleChoosesItsRowAndEscapeKeepsTheStyle) {
    TLineStylePalette palette;
    const auto chosen = with_person(
        palette,
        [&](POINT o) {
            shot(palette, "LineStylePalette", false);
            click_at(at(o, middle(palette.row_rect(3))));
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), 0); });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(chosen, 3) << "dash-dot";
    const auto cancelled = with_person(
        palette,
        [](POINT) {
            tap(VK_DOWN);
            tap(VK_ESCAPE);
        },
        [&] { return palette.choose(caller.hwnd(), caller.button_rect(), 3); });
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(palette.style(), 3);
    EXPECT_FALSE(palette.set_style(5));
}

TEST_F(PopupPaletteTest, KeptOnTheScreenNearItsEdgesAndNeverSmallerThan25Pixels) {
    TLineWidthPalette palette;
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const RECT corner{sw - 30, sh - 30, sw - 2, sh - 2};
    RECT squeezed{};
    with_person(
        palette,
        [&](POINT) {
            SetWindowPos(palette.hwnd(), nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            GetWindowRect(palette.hwnd(), &squeezed);
            tap(VK_ESCAPE);
        },
        [&] { return palette.popup_below(corner, caller.hwnd()); });
    EXPECT_EQ(shown_rect.right, sw);
    EXPECT_EQ(shown_rect.bottom, sh);
    EXPECT_EQ(squeezed.right - squeezed.left, 25);
    EXPECT_EQ(squeezed.bottom - squeezed.top, 25);
}

// What ends the loop besides the person: the program ending and another program coming to the
// front. These tests are about the messages themselves.
TEST_F(PopupPaletteTest, TheProgramEndingOrLosingTheFrontCancels) {
    TColorPalette palette(16);
    palette.on_shown = [](TPopUpPalette& p) {
        PostQuitMessage(3);
        (void)p;
    };
    EXPECT_EQ(palette.popup(200, 200, caller.hwnd()), TPopUpPalette::kCancelled);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is passed on";
    EXPECT_EQ(quit.wParam, 3u);

    palette.on_shown = [](TPopUpPalette& p) { SendMessageW(p.hwnd(), WM_ACTIVATEAPP, FALSE, 0); };
    EXPECT_EQ(palette.popup(200, 200, caller.hwnd()), TPopUpPalette::kCancelled);
    palette.on_shown = nullptr;
}

}  // namespace
}  // namespace vx::win::editor
