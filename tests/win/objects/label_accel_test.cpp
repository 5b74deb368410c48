#include <gtest/gtest.h>
#include <windows.h>

#include "objects/shape_paint.h"
#include "win/objects/gdi_canvas.h"
#include "win/objects/kx_shapes.h"
#include "win/support/dib_surface.h"

namespace vx::win::objects {
namespace {

// A visible window with two edits; the label names the second as its focus control.
class LabelFocusControl : public ::testing::Test {
protected:
    HWND frame = nullptr;
    HWND first = nullptr;
    HWND second = nullptr;
    TKXLabel label;

    void SetUp() override {
        frame = CreateWindowExW(0, L"STATIC", L"accel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 120,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(frame, nullptr);
        first = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, frame, nullptr,
                                nullptr, nullptr);
        second = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 40, 100, 20, frame, nullptr,
                                 nullptr, nullptr);
        ASSERT_TRUE(first && second);
        SetFocus(first);
        model::LabelData d;
        d.text = "&Name:";
        label.Assign(d);
        label.SetShowAccelChar(true);
        label.SetFocusControl(second);
    }
    void TearDown() override {
        if (frame) DestroyWindow(frame);
    }
};

TEST_F(LabelFocusControl, ItsLetterInEitherCaseFocusesTheControl) {
    for (wchar_t key : {L'n', L'N'}) {
        SetFocus(first);
        EXPECT_TRUE(label.DialogChar(key)) << static_cast<char>(key);
        EXPECT_EQ(GetFocus(), second) << static_cast<char>(key);
    }
}

TEST_F(LabelFocusControl, LeavesTheFocusAndTheKeyAloneOtherwise) {
    const auto refuses = [&](const char* why) {
        SetFocus(first);
        EXPECT_FALSE(label.DialogChar(L'n')) << why;
        EXPECT_EQ(GetFocus(), first) << why;
    };
    EXPECT_FALSE(label.DialogChar(L'a')) << "another letter";
    EXPECT_EQ(GetFocus(), first);

    label.SetShowAccelChar(false);
    refuses("ShowAccelChar off, as a new label has it");
    label.SetShowAccelChar(true);

    EnableWindow(second, FALSE);
    refuses("the control is disabled");
    EnableWindow(second, TRUE);

    ShowWindow(second, SW_HIDE);
    refuses("the control is hidden");
    ShowWindow(second, SW_SHOW);

    model::LabelData d = label.data();
    d.text = "Tom && Jerry";
    label.Assign(d);
    EXPECT_FALSE(label.DialogChar(L'&')) << "a literal & is no accelerator";
    d.text = "&Name:";
    label.Assign(d);

    label.SetFocusControl(nullptr);
    refuses("no focus control, as every label loaded from a desktop file");

    label.SetFocusControl(second);
    DestroyWindow(second);
    second = nullptr;
    refuses("the control is gone");
}

// The paint underlines the accelerator whatever ShowAccelChar says, and "&&" shows one "&".
TEST(GdiLabelAccel, PaintUnderlinesTheLetterAndShowsADoubledAmpersandOnce) {
    const auto ink = [](const char* text, bool show_accel) {
        model::LabelData d;
        d.bounds = {0, 0, 120, 40};
        d.shape = 0;  // no frame: only the text is black
        d.color = RGB(255, 255, 255);
        d.font.color = 0x000000;
        d.text = text;
        TKXLabel l(d);
        l.SetShowAccelChar(show_accel);
        test::DibSurface s(120, 40, RGB(255, 255, 255));
        {
            GdiCanvas c(s.dc());
            l.Paint(c, nullptr);
        }
        return s.ink(RGB(255, 255, 255), RECT{0, 0, 120, 40});
    };
    const int plain = ink("W", false);
    ASSERT_GT(plain, 0);
    EXPECT_GT(ink("&W", false), plain) << "underlined";
    EXPECT_EQ(ink("&W", true), ink("&W", false));

    // "&&" draws as the same "&" that a text without prefix processing shows.
    test::DibSurface s(120, 40, RGB(255, 255, 255));
    {
        GdiCanvas c(s.dc());
        c.set_font(port::Font{model::FontData{}.name, model::FontData{}.size, 0});
        c.set_text_color(0x000000);
        port::TextFormat f;
        f.prefix = false;
        // Where the label's text rectangle starts with no frame: pen width + 5.
        c.draw_text(port::Rect{6, 6, 114, 34}, "A&B", f);
    }
    EXPECT_EQ(ink("A&&B", false), s.ink(RGB(255, 255, 255), RECT{0, 0, 120, 40}));
}

}  // namespace
}  // namespace vx::win::objects
