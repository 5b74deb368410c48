// A page repaint copies the faces it has learnt; what it shows must be, pixel for pixel, what
// painting every object again would show, wherever the page is scrolled and clipped to, and
// whatever changed since the face was learnt.
#include "win/surface/face_cache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/desktop.h"
#include "objects/button_paint.h"
#include "win/support/dib_surface.h"
#include "win/surface/page_objects.h"

namespace vx::win::surface {
namespace {

constexpr int kWidth = 520, kHeight = 300;

// Every button style, shapes plain, patterned and see-through, a clear button whose caption
// lies on the page, labels, a line, an icon, and a see-through shape over a button.
void fill_page(model::Desktop& desktop, model::Page& page) {
    for (int i = 0; i < 30; ++i) {
        model::ButtonData b;
        b.btn_style = i;
        b.bounds = {3 + (i % 10) * 51, 5 + (i / 10) * 49, 47, 45};
        b.caption = "B" + std::to_string(i) + (i % 3 ? "~&Go" : "");
        b.color = i % 2 ? 0xFF0000 : 0x40A040;
        b.color2 = 0x00FFFF;
        b.pattern = static_cast<uint8_t>(i % 4 == 1 ? 2 + i : 0);
        b.transparent = i % 8 == 5;
        b.pen.width = 1 + i % 3;
        b.show_icon = i % 7 == 0;
        b.icon = 0;
        desktop.add_object(page, b);
    }
    for (int i = 0; i < 8; ++i) {
        model::ShapeData s;
        s.shape = i * 3;
        s.bounds = {5 + i * 63, 160, 59, 41};
        s.pattern = static_cast<uint8_t>(i % 2 ? 3 + i : 0);
        s.transparent = i % 4 == 3;
        desktop.add_object(page, s);
    }
    model::LabelData label;
    label.bounds = {7, 212, 120, 36};
    label.text = "A label\r\nof two lines\r\n";
    label.text_lines = 2;
    desktop.add_object(page, label);
    model::LineData line;
    line.bounds = {140, 210, 90, 40};
    line.pen.width = 3;
    desktop.add_object(page, line);
    model::ShapeData over;  // over the first button, letting it show through its pattern
    over.bounds = {20, 15, 60, 30};
    over.pattern = 5;
    over.transparent = true;
    desktop.add_object(page, over);
}

// A page background with a stripe per row, so that a pixel the page shows through cannot pass
// for one the object painted.
void paint_background(HDC dc) {
    for (int y = 0; y < kHeight; ++y) {
        const win::unique_hbrush brush(CreateSolidBrush(RGB(y * 7 % 256, 255 - y % 256, (y * 13) % 256)));
        const RECT row{0, y, kWidth, y + 1};
        FillRect(dc, &row, brush.get());
    }
}

struct View {
    POINT scroll{0, 0};
    RECT clip{0, 0, kWidth, kHeight};
};

void paint_page(HDC dc, std::vector<std::unique_ptr<PageObject>>& objects, const View& view) {
    paint_background(dc);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, view.clip.left, view.clip.top, view.clip.right, view.clip.bottom);
    SetViewportOrgEx(dc, -view.scroll.x, -view.scroll.y, nullptr);
    for (auto& o : objects) o->paint(dc);
    RestoreDC(dc, saved);
}

// Pixels that differ, as "x,y" of the first few.
std::string differences(const test::DibSurface& a, const test::DibSurface& b) {
    std::string out;
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (a.at(x, y) != b.at(x, y) && n++ < 5) out += std::to_string(x) + "," + std::to_string(y) + " ";
    return n ? std::to_string(n) + " pixels differ, first at " + out : "";
}

class FaceCacheTest : public ::testing::Test {
protected:
    model::Desktop desktop;
    model::Page& page = desktop.add_page("Page 1");
    objects::PictureTable pictures;
    PageObjectEnv env;
    std::vector<std::unique_ptr<PageObject>> kept;

    void SetUp() override {
        fill_page(desktop, page);
        pictures.add_icon(0, win::unique_hicon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION))));
        env.pictures = &pictures;
        kept = wrap();
    }
    std::vector<std::unique_ptr<PageObject>> wrap() {
        std::vector<std::unique_ptr<PageObject>> out;
        for (model::ObjectEntry* e : stacking_order(nullptr, &page)) out.push_back(std::make_unique<PageObject>(*e, env));
        return out;
    }
    // The kept objects painted as a page several times over, each time beside objects made
    // afresh (which paint directly) in the same view.
    void expect_same_as_fresh_paint(const View& view, int rounds, const std::function<void(int)>& before = {}) {
        for (int round = 0; round < rounds; ++round) {
            if (before) before(round);
            test::DibSurface through_cache(kWidth, kHeight, 0), direct(kWidth, kHeight, 0);
            paint_page(through_cache.dc(), kept, view);
            auto fresh = wrap();
            paint_page(direct.dc(), fresh, view);
            EXPECT_EQ(differences(through_cache, direct), "")
                << "round " << round << ", scrolled " << view.scroll.x << "," << view.scroll.y;
        }
    }
};

TEST_F(FaceCacheTest, RepaintsShowWhatPaintingEveryObjectShowsWhereverThePageIsScrolledAndClipped) {
    const View views[] = {
        {{0, 0}, {0, 0, kWidth, kHeight}},
        {{3, 5}, {0, 0, kWidth, kHeight}},          // patterns line up with the page, not the face
        {{0, 0}, {11, 9, 200, 131}},               // a damaged rectangle cutting objects
        {{-2, 1}, {40, 30, kWidth - 7, kHeight}},  // both
    };
    for (const View& view : views) expect_same_as_fresh_paint(view, 4);
}

TEST_F(FaceCacheTest, AFaceIsPaintedAgainWhenWhatItShowsChanges) {
    auto& first = std::get<model::ButtonData>(page.objects.back().data);  // the oldest: button 0
    expect_same_as_fresh_paint(View{}, 8, [&](int round) {
        switch (round) {
            case 3:  // the entry's own fields
                first.color = 0x0000FF;
                first.caption = "Changed";
                break;
            case 5: {  // the picture a number names
                pictures.add_icon(0, win::unique_hicon(CopyIcon(LoadIconW(nullptr, IDI_WARNING))));
                break;
            }
            case 6:  // moved
                first.bounds.left += 1;
                break;
            default:
                break;
        }
    });
}

TEST_F(FaceCacheTest, FacesKeptBeforeTheSystemColoursChangedAreDrawnAgain) {
    auto& first = std::get<model::ButtonData>(page.objects.back().data);
    first.btn_style = vx::objects::kxRectangle;
    first.pattern = 0;
    first.color = first.color2 = static_cast<model::Color>(0x80000000u | COLOR_BTNFACE);
    const int which = COLOR_BTNFACE;
    struct Restore {
        COLORREF was = GetSysColor(COLOR_BTNFACE);
        ~Restore() {
            const int index = COLOR_BTNFACE;
            SetSysColors(1, &index, &was);
        }
    } restore;
    expect_same_as_fresh_paint(View{}, 6, [&](int round) {
        if (round != 3) return;
        const COLORREF other = restore.was == RGB(1, 2, 3) ? RGB(4, 5, 6) : RGB(1, 2, 3);
        if (!SetSysColors(1, &which, &other) || GetSysColor(COLOR_BTNFACE) != other)
            GTEST_SKIP() << "the system colours cannot be changed here";
        forget_kept_faces();  // what the main window does on WM_SYSCOLORCHANGE
    });
}

TEST(FaceCache, LearnsOnlyFacesThatDoNotDependOnThePageUnderThem) {
    struct Case {
        const char* what;
        std::function<void(HDC)> paint;
        bool kept;
    };
    const Case cases[] = {
        {"an opaque fill", [](HDC dc) {
             const RECT r{0, 0, 10, 10};
             FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
         },
         true},
        {"a fill of part of the face", [](HDC dc) {
             const RECT r{2, 2, 5, 9};
             FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
         },
         true},
        {"an inverted rectangle", [](HDC dc) {
             const RECT r{0, 0, 4, 4};
             InvertRect(dc, &r);
         },
         false},
    };
    for (const Case& c : cases) {
        FaceCache face;
        EXPECT_EQ(face.learn(SIZE{10, 10}, POINT{0, 0}, POINT{0, 0}, c.paint), c.kept) << c.what;
        EXPECT_EQ(face.empty(), !c.kept) << c.what;
    }
    FaceCache huge;
    EXPECT_FALSE(huge.learn(SIZE{2000, 2000}, POINT{0, 0}, POINT{0, 0}, [](HDC) {}))
        << "a face too large to keep";
}

TEST(FaceCache, CopiesOnlyIntoDibSectionsClippedToOneRectangle) {
    test::DibSurface dib(40, 30, RGB(1, 2, 3));
    const auto pixels = dib_pixels(dib.dc());
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(pixels->clip.right, 40);
    EXPECT_EQ(pixels->clip.bottom, 30);
    const int saved = SaveDC(dib.dc());
    const win::unique_hrgn two(CreateRectRgn(0, 0, 5, 5));
    const win::unique_hrgn other(CreateRectRgn(10, 10, 20, 20));
    CombineRgn(two.get(), two.get(), other.get(), RGN_OR);
    SelectClipRgn(dib.dc(), two.get());
    EXPECT_FALSE(dib_pixels(dib.dc()).has_value()) << "a clip of two rectangles";
    RestoreDC(dib.dc(), saved);
    const HDC screen = GetDC(nullptr);
    EXPECT_FALSE(dib_pixels(screen).has_value()) << "a window's own DC";
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace vx::win::surface
