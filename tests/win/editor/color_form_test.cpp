// "Set Palette" under a person's mouse and keys, with the selectors and message boxes answered
// by the test.
#include "win/editor/color_form.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <vector>

#include "model/palette_file.h"
#include "util/file_io.h"
#include "win/editor/palette_ids.h"
#include "win/editor/person.h"
#include "win/editor/sample_palette.h"
#include "win/util/text.h"

namespace vx::win::editor {
namespace {

using namespace vx::win::test;

// The form with a person at it: `steps` run on the person's thread once the dialog is up.
class DrivenForm final : public TColorForm {
public:
    using TColorForm::TColorForm;
    std::function<void()> steps;
    std::optional<Person> person;

protected:
    bool on_init() override {
        if (!TColorForm::on_init()) return false;
        const HWND window = hwnd();
        person.emplace(steps, [window] { PostMessageW(window, WM_COMMAND, IDCANCEL, 0); });
        return true;
    }
};

struct Box {
    std::string text, caption;
};

class ColorFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        VX_NEED_DISPLAY();
        dir = std::filesystem::temp_directory_path() /
              ("vx_colorform_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        values.palette = rainbow();
        values.palette_dir = narrow(dir.wstring());
        form.message_box = [this](HWND, const std::string& text, const std::string& caption, UINT) {
            boxes.push_back({text, caption});
            return answer.load();
        };
        form.preview = [this](const model::Palette& p) { previews.push_back(p); };
        form.show_help = [this](int context) { help.push_back(context); };
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string path(const char* name) const { return narrow((dir / name).wstring()); }

    // Runs the dialog with the person's steps; the dialog's result.
    INT_PTR run(std::function<void()> steps) {
        form.steps = std::move(steps);
        const INT_PTR result = form.run(nullptr);
        closed_by_person = form.person && form.person->finish();
        form.person.reset();
        return result;
    }

    HWND control(int id) const { return GetDlgItem(form.hwnd(), id); }
    void click(int id) { click_at(center_of(control(id))); }
    void click_entry(int entry) { click_at(on_screen(form.grid(), form.cell_center(entry))); }
    model::PaletteEntry entry(int n) {
        return on_test([&] { return form.editor().palette()[static_cast<size_t>(n)]; });
    }

    ColorFormValues values;
    DrivenForm form{values};
    OnThread on_test;
    std::filesystem::path dir;
    std::vector<Box> boxes;
    std::vector<model::Palette> previews;
    std::vector<int> help;
    std::atomic<int> answer{IDOK};
    bool closed_by_person = false;
};

TEST_F(ColorFormTest, ACellShowsItsColourAndTheBarsChangeTheEntry) {
    int red = -1, green = -1, blue = -1, bright = -1, selected = -1;
    std::string shown;
    const INT_PTR result = run([&] {
        RECT r{};
        GetWindowRect(form.hwnd(), &r);
        screenshot(r, "SetPalette");
        click_entry(37);  // column 2, row 5
        on_test([&] {
            selected = form.editor().selected();
            red = form.bar(IDC_COLOR_RED_BAR);
            green = form.bar(IDC_COLOR_GREEN_BAR);
            blue = form.bar(IDC_COLOR_BLUE_BAR);
            bright = form.bar(IDC_COLOR_BRIGHT_BAR);
        });
        wchar_t text[16] = {};
        GetWindowTextW(control(IDC_COLOR_GREEN_EDIT), text, 16);
        shown = narrow(text);
        // Alt+R puts the focus on the red bar; each arrow key is one step and ends a scroll.
        tap('R', {VK_MENU});
        tap(VK_RIGHT);
        tap('N', {VK_MENU});
        tap(VK_RIGHT);
        tap(VK_RIGHT);
        tap(VK_RETURN);
    });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(selected, 37);
    EXPECT_EQ(red, 37);
    EXPECT_EQ(green, 218);
    EXPECT_EQ(blue, 3);
    EXPECT_EQ(bright, 218) << "the largest of the three";
    EXPECT_EQ(shown, "218");
    // One step of red, then two of brightness, which move all three.
    EXPECT_EQ(values.palette[37], (model::PaletteEntry{40, 220, 5, 0}));
    EXPECT_EQ(values.palette[36], rainbow()[36]);
    ASSERT_FALSE(previews.empty());
    EXPECT_EQ(previews.back(), values.palette) << "every change is shown on the screen at once";
}

TEST_F(ColorFormTest, ResetsTheWindowsColoursHelpAndCancel) {
    model::PaletteEntry after_green{}, after_reset{}, windows_9{}, after_untick{}, changed_200{}, reset_200{};
    int selected_after_arrow = -1;
    const INT_PTR result = run([&] {
        click_entry(5);
        tap('G', {VK_MENU});
        tap(VK_RIGHT);
        wait_until([&] { return entry(5) != rainbow()[5]; });
        after_green = entry(5);
        click(IDC_COLOR_RESET_COLOR);
        wait_until([&] { return entry(5) == rainbow()[5]; });
        after_reset = entry(5);
        click(IDC_COLOR_WINDOWS16);
        wait_until([&] { return entry(9) != rainbow()[9]; });
        windows_9 = entry(9);
        click(IDC_COLOR_WINDOWS16);
        wait_until([&] { return entry(9) == rainbow()[9]; });
        after_untick = entry(9);
        click_entry(200);
        tap('B', {VK_MENU});
        tap(VK_LEFT);
        wait_until([&] { return entry(200) != rainbow()[200]; });
        changed_200 = entry(200);
        click(IDC_COLOR_RESET_PALETTE);
        wait_until([&] { return entry(200) == rainbow()[200]; });
        reset_200 = entry(200);
        click_entry(201);
        tap(VK_RIGHT);  // the focus is in the grid: the selection moves one column on
        wait_until([&] { return on_test([&] { return form.editor().selected(); }) == 217; });
        selected_after_arrow = on_test([&] { return form.editor().selected(); });
        tap('B', {VK_MENU});
        tap(VK_LEFT);
        tap(VK_F1);
        click(IDHELP);
        click(IDCANCEL);
    });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(after_green, (model::PaletteEntry{5, 251, 35, 0}));
    EXPECT_EQ(after_reset, rainbow()[5]);
    EXPECT_EQ(windows_9, (model::PaletteEntry{255, 0, 0, 0})) << "the tenth Windows colour is red";
    EXPECT_EQ(after_untick, rainbow()[9]);
    EXPECT_EQ(changed_200, (model::PaletteEntry{200, 55, 119, 0}));
    EXPECT_EQ(reset_200, rainbow()[200]) << "Reset Palette";
    EXPECT_EQ(selected_after_arrow, 201 + 16);
    EXPECT_EQ(help, (std::vector<int>{312, 312}));
    EXPECT_EQ(values.palette, rainbow()) << "Cancel hands back nothing";
    ASSERT_FALSE(previews.empty());
    EXPECT_EQ(previews.back(), rainbow()) << "and the screen shows the palette it began with";
}

TEST_F(ColorFormTest, LoadsPaletteFilesAndPicturePalettesAndSaysWhatWentWrong) {
    write_file_atomic(path("bad.pal"),
                      std::string_view("JASC-PAL\r\n0100\r\n4\r\n0 0 0\r\n1 2 3\r\n1 x 2\r\n"));
    write_file_atomic(path("riff.pal"), std::string_view("RIFF....PAL data"));
    std::vector<std::string> files = {std::string(VX_SAMPLES_DIR) + "\\porytiles_general_01.pal",
                                      path("bad.pal"), path("riff.pal"), path("photo.jpg"), path("art.bmp")};
    std::vector<std::string> start_dirs;
    size_t next = 0;
    form.choose_load_file = [&](HWND, std::string& start, std::string& file) {
        start_dirs.push_back(start);
        start = narrow(dir.wstring()) + "\\sub";
        file = files.at(next++);
        return true;
    };
    form.picture_colors = [&](const std::string& file, std::string* error) -> std::vector<imaging::Rgb> {
        if (file.ends_with("photo.jpg")) {
            *error = "cannot read the palette of " + file + ": picture without a palette";
            return {};
        }
        return {{1, 1, 1}, {9, 8, 7}};
    };
    std::vector<model::Palette> after;
    const INT_PTR result = run([&] {
        for (size_t i = 0; i < files.size(); ++i) {
            tap('L', {VK_MENU});
            after.push_back(on_test([&] { return form.editor().palette(); }));
        }
        click(IDOK);
    });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(after.size(), 5u);
    // The sample's sixteen colours over entries 0 to 15, 0 black, the rest untouched.
    EXPECT_EQ(after[0][0], model::PaletteEntry{});
    EXPECT_EQ(after[0][15], (model::PaletteEntry{115, 197, 164, 0}));
    EXPECT_EQ(after[0][16], rainbow()[16]);
    // A bad line: what came before it stays, and the person is told where.
    EXPECT_EQ(after[1][1], (model::PaletteEntry{1, 2, 3, 0}));
    EXPECT_EQ(after[1][2], after[0][2]);
    // Not a palette file, and a picture without a palette: nothing changes.
    EXPECT_EQ(after[2], after[1]);
    EXPECT_EQ(after[3], after[1]);
    // A picture's colours from entry 0 on.
    EXPECT_EQ(after[4][0], (model::PaletteEntry{1, 1, 1, 0}));
    EXPECT_EQ(after[4][1], (model::PaletteEntry{9, 8, 7, 0}));
    EXPECT_EQ(after[4][2], after[1][2]);
    EXPECT_EQ(values.palette, after[4]);

    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, "Load Palette");
    EXPECT_NE(boxes[0].text.find("line 6"), std::string::npos) << boxes[0].text;
    EXPECT_NE(boxes[1].text.find("is not a palette file"), std::string::npos) << boxes[1].text;
    EXPECT_NE(boxes[2].text.find("picture without a palette"), std::string::npos) << boxes[2].text;
    EXPECT_EQ(start_dirs.front(), narrow(dir.wstring()));
    EXPECT_EQ(start_dirs.back(), narrow(dir.wstring()) + "\\sub") << "each load starts where the last ended";
    EXPECT_EQ(values.palette_dir, narrow(dir.wstring()) + "\\sub");
}

TEST_F(ColorFormTest, SavingOverAFileAsksFirstAndOnlyYesWrites) {
    write_file_atomic(path("OLD.PAL"), std::string_view("kept"));
    std::vector<std::string> proposed;
    std::vector<std::string> chosen = {path("OLD.PAL"), path("OLD.PAL"), path("MINE")};
    size_t next = 0;
    form.choose_save_file = [&](HWND, std::string&, std::string& file) {
        proposed.push_back(file);
        file = chosen.at(next++);
        return true;
    };
    std::string after_no;
    const INT_PTR result = run([&] {
        answer = IDNO;
        // "Re&set Color" shares the letter, so the button is clicked.
        click(IDC_COLOR_SAVE);
        after_no = read_text_file(path("OLD.PAL"));
        answer = IDYES;
        click(IDC_COLOR_SAVE);
        click(IDC_COLOR_SAVE);
        click(IDCANCEL);
    });
    EXPECT_TRUE(closed_by_person);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(proposed, (std::vector<std::string>(3, "UNTITLED.PAL")));
    EXPECT_EQ(after_no, "kept") << "answering no writes nothing";
    EXPECT_EQ(read_text_file(path("OLD.PAL")), model::write_jasc_pal(rainbow()));
    EXPECT_EQ(read_text_file(path("MINE.PAL")), model::write_jasc_pal(rainbow()))
        << "named as a palette file";
    ASSERT_EQ(boxes.size(), 2u) << "MINE.PAL did not exist: no question";
    EXPECT_EQ(boxes[0].caption, "Save Palette");
    EXPECT_EQ(boxes[0].text, path("OLD.PAL") + " already exists, Overwrite?");
}

}  // namespace
}  // namespace vx::win::editor
