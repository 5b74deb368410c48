// The shape, line, label and image editors under a person's mouse and keys.
#include "win/editor/object_forms.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "editor/object_properties.h"
#include "util/file_io.h"
#include "win/editor/object_form_ids.h"
#include "win/editor/person.h"
#include "win/util/text.h"

namespace vx::win::editor {
namespace {

using namespace vx::win::test;
using namespace vx::model;

class ObjectFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        VX_NEED_DISPLAY();
        owner = CreateWindowExW(0, L"STATIC", L"Designer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 480,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        dir =
            std::filesystem::temp_directory_path() / ("vx_objforms_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "program");
        std::filesystem::create_directories(dir / "desk");
    }
    void TearDown() override {
        close_object_form();
        settle(std::chrono::milliseconds(50));
        if (owner) DestroyWindow(owner);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    // Opens the editor on `object`; the results land in the fixture.
    HWND open(ObjectData object) {
        ObjectFormRequest r;
        r.owner = owner;
        r.instance = GetModuleHandleW(nullptr);
        r.object = std::move(object);
        r.page_color = 0x008000;
        r.program_dir = narrow((dir / "program").wstring());
        r.image_dir = narrow((dir / "desk").wstring());
        r.help = [this](int topic) { help.push_back(topic); };
        r.ok = [this](ObjectData d) { result = std::move(d); };
        r.closed = [this] { ++closed; };
        r.choose_text_file = [this](HWND, std::string& start, std::string& file) {
            start = narrow(dir.wstring());
            file = text_file;
            return !file.empty();
        };
        if (!open_object_form(std::move(r))) return nullptr;
        const HWND form = object_form_window();
        bring_to_front(form);
        settle(std::chrono::milliseconds(200), form);
        return form;
    }
    HWND control(int id) const { return GetDlgItem(object_form_window(), id); }
    void click_control(int id) {
        const HWND c = control(id);
        RECT r{};
        GetClientRect(c, &r);
        click(c, r.right / 2, r.bottom / 2);
        settle(std::chrono::milliseconds(200), object_form_window());
    }
    // One press on the style bar's right (or left) arrow.
    void step_style(bool right) {
        const HWND bar = control(IDC_OBJ_STYLE_BAR);
        RECT r{};
        GetClientRect(bar, &r);
        click(bar, right ? r.right - 4 : 4, r.bottom / 2);
        settle(std::chrono::milliseconds(200), object_form_window());
    }
    void type_into(int id, const std::wstring& text) {
        click_control(id);
        // All of what the box holds is selected and typed over.
        press_key(VK_END, {VK_CONTROL});
        press_key(VK_HOME, {VK_CONTROL, VK_SHIFT});
        type_text(text);
        settle(std::chrono::milliseconds(200), object_form_window());
    }
    void shoot(const std::string& name) {
        RECT r{};
        GetWindowRect(object_form_window(), &r);
        screenshot(r, name);
    }

    HWND owner = nullptr;
    std::filesystem::path dir;
    std::vector<int> help;
    std::optional<ObjectData> result;
    int closed = 0;
    std::string text_file;
};

TEST_F(ObjectFormTest, EachKindOpensItsOwnDialogAndCancelHandsBackNothing) {
    const struct {
        ObjectData object;
        const wchar_t* caption;
        int help;
        const char* shot;
    } cases[] = {
        {ShapeData{}, L"Select a Shape...", 330, "ObjectFormShape"},
        {LineData{}, L"Line Style", 320, "ObjectFormLine"},
        {LabelData{}, L"Enter the text below...", 319, "ObjectFormLabel"},
        {ImageData{}, L"Select an Image...", 317, "ObjectFormImage"},
    };
    for (const auto& c : cases) {
        help.clear();
        result.reset();
        closed = 0;
        const HWND form = open(c.object);
        ASSERT_NE(form, nullptr) << narrow(c.caption);
        EXPECT_TRUE(object_form_open());
        wchar_t caption[64] = {};
        GetWindowTextW(form, caption, 64);
        EXPECT_STREQ(caption, c.caption);
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the designer waits while the dialog is open";
        ObjectFormRequest second;
        second.object = ShapeData{};
        EXPECT_FALSE(open_object_form(std::move(second))) << "one at a time";
        shoot(c.shot);
        click_control(IDHELP);
        EXPECT_EQ(help, std::vector<int>{c.help});
        click_control(IDCANCEL);
        EXPECT_FALSE(object_form_open());
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(result.has_value());
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    ObjectFormRequest button;
    button.object = ButtonData{};
    EXPECT_FALSE(open_object_form(std::move(button))) << "buttons have a dialog of their own";
}

TEST_F(ObjectFormTest, TheStyleBarDrivesThePreviewAndTheGradientGroup) {
    const struct {
        ObjectData object;
        int start;
        bool right;
        int after;
        bool gradient_before, gradient_after;
    } cases[] = {
        {[] {
             ShapeData s;
             s.shape = 12;
             return ObjectData(s);
         }(),
         12, true, 13, false, true},
        {[] {
             ShapeData s;
             s.shape = 24;
             return ObjectData(s);
         }(),
         24, true, 25, true, false},
        {[] {
             ShapeData s;
             s.shape = 1;
             return ObjectData(s);
         }(),
         1, false, 1, false, false},  // the bar stops at its end
        {[] {
             LabelData l;
             l.shape = 9;
             return ObjectData(l);
         }(),
         9, false, 8, true, false},
        {[] {
             ImageData i;
             i.shape = 18;
             return ObjectData(i);
         }(),
         18, true, 19, true, false},
        {[] {
             LineData l;
             l.align = 4;
             return ObjectData(l);
         }(),
         4, true, 5, false, false},
    };
    auto style_of = [](const ObjectData& d) {
        return std::visit(
            [](const auto& o) {
                if constexpr (std::is_same_v<std::decay_t<decltype(o)>, LineData>)
                    return o.align;
                else if constexpr (std::is_same_v<std::decay_t<decltype(o)>, ButtonData>)
                    return o.btn_style;
                else
                    return o.shape;
            },
            d);
    };
    for (const auto& c : cases) {
        ASSERT_NE(open(c.object), nullptr);
        EXPECT_EQ(IsWindowVisible(control(IDC_OBJ_GRADIENT)) != FALSE, c.gradient_before) << c.start;
        step_style(c.right);
        EXPECT_EQ(style_of(object_form_preview()), c.after) << c.start;
        EXPECT_EQ(static_cast<int>(SendMessageW(control(IDC_OBJ_STYLE_BAR), SBM_GETPOS, 0, 0)), c.after);
        EXPECT_EQ(IsWindowVisible(control(IDC_OBJ_GRADIENT)) != FALSE, c.gradient_after) << c.start;
        if (c.start == 12) shoot("ObjectFormShapeGradient");
        close_object_form();
        settle(std::chrono::milliseconds(50));
    }
}

TEST_F(ObjectFormTest, OkHandsBackTheEditedShapeAndBadBoundsFallBack) {
    ShapeData shape;
    shape.bounds = {40, 50, 60, 70};
    shape.shape = 3;
    shape.tag = 7;
    ASSERT_NE(open(shape), nullptr);
    step_style(true);
    type_into(IDC_OBJ_X, L"15");
    click_control(IDOK);
    ASSERT_TRUE(result.has_value());
    const ShapeData& edited = std::get<ShapeData>(*result);
    EXPECT_EQ(edited.shape, 4);
    EXPECT_EQ(edited.bounds, (Bounds{15, 50, 60, 70}));
    EXPECT_EQ(edited.tag, 7);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(IsWindowEnabled(owner));

    result.reset();
    ASSERT_NE(open(shape), nullptr);
    type_into(IDC_OBJ_W, L"4x");
    click_control(IDOK);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(std::get<ShapeData>(*result).bounds, vx::editor::kFallbackBounds);
}

TEST_F(ObjectFormTest, ThePaletteColourGoesToTheColourTheRadioButtonsChoose) {
    ShapeData shape;
    ASSERT_NE(open(shape), nullptr);
    ButtonData style;
    style.color = 0x00FFFF;
    click_control(IDC_OBJ_BOTTOM_COLOR);
    object_form_take_attributes(style, vx::editor::attribute_bits::kFillColor);
    EXPECT_EQ(std::get<ShapeData>(object_form_preview()).color, shape.color);
    EXPECT_EQ(std::get<ShapeData>(object_form_preview()).color2, 0x00FFFF);
    click_control(IDC_OBJ_TOP_COLOR);
    style.color = 0x0000FF;
    object_form_take_attributes(style, vx::editor::attribute_bits::kFillColor);
    EXPECT_EQ(std::get<ShapeData>(object_form_preview()).color, 0x0000FF);
    click_control(IDOK);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(std::get<ShapeData>(*result).color2, 0x00FFFF);
}

TEST_F(ObjectFormTest, TheLabelTakesTheMemoLinesAFileAndItsAlignment) {
    LabelData label;
    label.text = "old\r\n";
    label.text_lines = 1;
    ASSERT_NE(open(label), nullptr);
    type_into(IDC_LABEL_MEMO, L"Hello");
    press_key(VK_RETURN);
    type_text(L"World");
    settle(std::chrono::milliseconds(200), object_form_window());
    click_control(IDC_LABEL_CENTER);
    click_control(IDC_LABEL_TOGGLE);
    EXPECT_FALSE(IsWindowVisible(control(IDC_LABEL_MEMO)));
    EXPECT_TRUE(IsWindowVisible(control(IDC_OBJ_PREVIEW)));
    shoot("ObjectFormLabelPreview");
    click_control(IDOK);
    ASSERT_TRUE(result.has_value());
    const LabelData& edited = std::get<LabelData>(*result);
    EXPECT_EQ(edited.text, "Hello\r\nWorld\r\n");
    EXPECT_EQ(edited.text_lines, 2);
    EXPECT_EQ(edited.alignment, 2);

    result.reset();
    text_file = narrow((dir / "note.txt").wstring());
    write_file_atomic(text_file, std::string_view("one\r\ntwo\r\nthree\r\n"));
    ASSERT_NE(open(label), nullptr);
    click_control(IDC_LABEL_TOGGLE);
    click_control(IDC_LABEL_TEXT_FILE);
    EXPECT_TRUE(IsWindowVisible(control(IDC_LABEL_MEMO))) << "a loaded file is shown for editing";
    click_control(IDOK);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(std::get<LabelData>(*result).text_lines, 3);
}

TEST_F(ObjectFormTest, TheImageFindsATypedNameBesideTheDesktopAndItsLayoutsExcludeEachOther) {
    // A one-pixel bitmap file.
    const unsigned char bmp[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0,   0, 1, 0,
                                 0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,  0, 0,   0, 0, 0,
                                 0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 255, 0};
    write_file_atomic(narrow((dir / "desk" / "only.bmp").wstring()), bmp, sizeof bmp);
    ImageData image;
    image.tile = true;
    ASSERT_NE(open(image), nullptr);
    type_into(IDC_IMAGE_FILE, L"only.bmp");
    click_control(IDC_IMAGE_CENTER);
    EXPECT_EQ(IsDlgButtonChecked(object_form_window(), IDC_IMAGE_TILE), BST_UNCHECKED);
    click_control(IDC_IMAGE_STRETCH);
    EXPECT_EQ(IsDlgButtonChecked(object_form_window(), IDC_IMAGE_CENTER), BST_UNCHECKED);
    shoot("ObjectFormImageFound");
    click_control(IDOK);
    ASSERT_TRUE(result.has_value());
    const ImageData& edited = std::get<ImageData>(*result);
    EXPECT_EQ(edited.image_name, "only.bmp");
    EXPECT_EQ(edited.picture_path, narrow((dir / "desk" / "only.bmp").wstring()));
    EXPECT_TRUE(edited.stretch && !edited.center && !edited.tile);
}

}  // namespace
}  // namespace vx::win::editor
