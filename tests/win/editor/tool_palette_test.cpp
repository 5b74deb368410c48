// The floating toolbox under a person's mouse and keys.
#include "win/editor/tool_palette.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "win/editor/object_form_ids.h"
#include "win/editor/object_forms.h"
#include "win/editor/person.h"

namespace vx::win::editor {
namespace {

using namespace vx::win::test;
using namespace vx::model;
using Tool = vx::editor::Tool;
namespace bits = vx::editor::attribute_bits;

struct Change {
    ButtonData style;
    uint16_t which;
};

class ToolPaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        VX_NEED_DISPLAY();
        owner = CreateWindowExW(0, L"STATIC", L"Designer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 480,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        palette.tool_chosen = [this](Tool t) { tools.push_back(t); };
        palette.attribute_changed = [this](const ButtonData& s, uint16_t which) {
            changes.push_back({s, which});
        };
    }
    void TearDown() override {
        close_object_form();
        palette.close();
        if (owner) DestroyWindow(owner);
    }
    void show() {
        ASSERT_TRUE(palette.open(owner, [this](std::string_view name) -> std::optional<std::string> {
            const auto it = stored.find(std::string(name));
            return it == stored.end() ? std::nullopt : std::optional<std::string>(it->second);
        }));
        bring_to_front(owner);
        ShowWindow(palette.hwnd(), SW_SHOWNOACTIVATE);
        UpdateWindow(palette.hwnd());
        settle(std::chrono::milliseconds(400));
    }
    void press(int id) {
        const HWND b = palette.button(id);
        RECT r{};
        GetClientRect(b, &r);
        click(b, r.right / 2, r.bottom / 2);
        settle(std::chrono::milliseconds(250));
    }
    SIZE client() const {
        RECT r{};
        GetClientRect(palette.hwnd(), &r);
        return {r.right, r.bottom};
    }
    void shoot(const std::string& name) {
        RECT r{};
        GetWindowRect(palette.hwnd(), &r);
        screenshot(r, name);
    }

    HWND owner = nullptr;
    TToolPalette palette;
    std::map<std::string, std::string> stored;
    std::vector<Tool> tools;
    std::vector<Change> changes;
};

TEST_F(ToolPaletteTest, TheToolButtonsReportTheirTools) {
    show();
    shoot("ToolPaletteLargeExpanded");
    const struct {
        int id;
        Tool tool;
    } cases[] = {{IDC_TOOL_BUTTON, Tool::Button}, {IDC_TOOL_SHAPE, Tool::Shape},
                 {IDC_TOOL_IMAGE, Tool::Image},   {IDC_TOOL_TEXT, Tool::Label},
                 {IDC_TOOL_LINE, Tool::Line},     {IDC_TOOL_SELECTOR, Tool::Selector}};
    for (const auto& c : cases) {
        press(c.id);
        ASSERT_FALSE(tools.empty());
        EXPECT_EQ(tools.back(), c.tool);
        EXPECT_EQ(palette.tool(), c.tool);
        EXPECT_EQ(SendMessageW(palette.button(c.id), BM_GETCHECK, 0, 0), BST_CHECKED);
    }
    EXPECT_EQ(tools.size(), std::size(cases));
    palette.show_tool(Tool::Shape);
    EXPECT_EQ(tools.size(), std::size(cases)) << "the surface setting the tool is not a choice";
    EXPECT_EQ(SendMessageW(palette.button(IDC_TOOL_SHAPE), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ToolPaletteTest, ALineWidthGoesToTheOwnerOrToTheOpenDialogOnly) {
    show();
    palette.width_palette().on_shown = [](TPopUpPalette&) {
        press_key(VK_DOWN);
        press_key(VK_RETURN);
    };
    press(IDC_TOOL_LINE_WIDTH);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].which, bits::kLineWidth);
    EXPECT_EQ(changes[0].style.pen.width, 2);
    EXPECT_EQ(palette.style().pen.width, 2);

    // With a property dialog open the width reaches only its preview.
    ObjectFormRequest r;
    r.owner = owner;
    r.object = ShapeData{};
    ASSERT_TRUE(open_object_form(std::move(r)));
    settle(std::chrono::milliseconds(300));
    palette.width_palette().on_shown = [](TPopUpPalette&) {
        press_key(VK_UP);
        press_key(VK_UP);
        press_key(VK_RETURN);
    };
    press(IDC_TOOL_LINE_WIDTH);
    EXPECT_EQ(changes.size(), 1u);
    const ShapeData preview = std::get<ShapeData>(object_form_preview());
    EXPECT_EQ(preview.pen.width, 0);
    EXPECT_EQ(preview.pen.style, vx::editor::kPenClear) << "None clears the pen";
}

TEST_F(ToolPaletteTest, AClickedObjectGivesItsAttributesAndCancelChangesNothing) {
    show();
    LabelData label;
    label.color = 0x112233;
    label.font = {"Arial", 12, 0x0000FF, 1};
    palette.load_from(label);
    EXPECT_EQ(palette.style().color, 0x112233);
    EXPECT_EQ(palette.style().font, label.font);
    shoot("ToolPaletteLoaded");
    palette.style_palette().on_shown = [](TPopUpPalette&) { press_key(VK_ESCAPE); };
    press(IDC_TOOL_LINE_STYLE);
    EXPECT_TRUE(changes.empty());
}

TEST_F(ToolPaletteTest, ANewFontKeepsTheFontColourAndACancelledFontChangesNothing) {
    show();
    LabelData label;
    label.font = {"Courier", 9, 0x00FF00, 0};
    palette.load_from(label);
    bool answer = true;
    palette.choose_font = [&answer](HWND, FontData& font) {
        font = {"Arial", 14, 0x123456, 1};
        return answer;
    };
    press(IDC_TOOL_FONT);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].which, bits::kFont);
    EXPECT_EQ(changes[0].style.font, (FontData{"Arial", 14, 0x00FF00, 1}))
        << "the colour is the font colour's";
    answer = false;
    press(IDC_TOOL_FONT);
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_EQ(palette.style().font.name, "Arial");
}

TEST_F(ToolPaletteTest, LayoutsAndTheirSizes) {
    show();
    EXPECT_EQ(client().cx, kToolPaletteLargeWidth);
    EXPECT_EQ(client().cy, kToolPaletteExpandedHeight);
    press(IDC_TOOL_ENHANCED);
    EXPECT_FALSE(palette.state().expanded);
    EXPECT_EQ(client().cy, kToolPaletteCollapsedHeight);
    shoot("ToolPaletteLargeCollapsed");
    press(IDC_TOOL_ROLL);
    EXPECT_TRUE(palette.state().rolled_up);
    EXPECT_EQ(client().cy, kToolTitleHeight + 1);
    shoot("ToolPaletteRolledUp");
    press(IDC_TOOL_ROLL);
    palette.set_large(false);
    settle(std::chrono::milliseconds(200));
    EXPECT_EQ(client().cx, kToolPaletteSmallWidth);
    EXPECT_EQ(client().cy, kToolPanelSmallHeight);
    shoot("ToolPaletteSmall");
}

TEST_F(ToolPaletteTest, TheStoredPositionIsKeptOnTheScreenAndWrittenBack) {
    stored["ToolPalWindow"] = "5000,10";
    stored["ToolPalSize"] = "0";
    show();
    RECT r{};
    GetWindowRect(palette.hwnd(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(client().cx, kToolPaletteSmallWidth);
    SetWindowPos(palette.hwnd(), nullptr, 77, 88, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::map<std::string, std::string> written;
    palette.close(
        [&](std::string_view name, const std::string& value) { written[std::string(name)] = value; });
    EXPECT_EQ(written["ToolPalWindow"], "77,88");
    EXPECT_EQ(written["ToolPalSize"], "0");
    EXPECT_EQ(written["ToolPalExpand"], "1");
    EXPECT_EQ(written["ToolPalRolledUp"], "0");
}

}  // namespace
}  // namespace vx::win::editor
