#include "win/iconlib/icon_form.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "util/file_io.h"
#include "win/dialogs/selector_ids.h"
#include "win/iconlib/icon_form_ids.h"
#include "win/security/dialog_script.h"
#include "win/support/real_input.h"
#include "win/util/text.h"

namespace vx::win::iconlib {
namespace {

namespace core = vx::iconlib;
using security::testing::Scripted;

std::string sample(const char* name) {
    return std::string(VX_SAMPLES_DIR) + "/" + name;
}

// Holders of icon numbers, as buttons and pages are.
struct References final : core::IconReferences {
    std::vector<uint16_t> numbers;
    void renumber(const std::function<uint16_t(uint16_t)>& new_number) override {
        for (auto& n : numbers) n = new_number(n);
    }
};

// A library of `count` entries named E00.ICO, E01.ICO, ... (entry `animated` an animation).
class IconFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        dir =
            std::filesystem::temp_directory_path() / ("vx_iconform_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "src");
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    void fill_library(int count, int animated = -1) {
        const Bytes ico = read_file(sample("icojs_basic.ico"));
        const Bytes ani = read_file(sample("mini_busy.ani"));
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "E%02d.%s", i, i == animated ? "ANI" : "ICO");
            const std::string path = narrow((dir / "src" / name).wstring());
            write_file_atomic(path, i == animated ? ani : ico);
            library.add_file(path, 0, nullptr);
        }
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const auto& r : library.records()) out.push_back(r.name().substr(0, 3));
        return out;
    }
    // A key pressed and released on the grid, as from the keyboard.
    static void key(HWND grid, UINT vk) {
        const HWND dialog = GetParent(grid);
        test::bring_to_front(dialog);
        SetFocus(grid);
        test::press_key(static_cast<WORD>(vk));
        test::settle(std::chrono::milliseconds(100), dialog);
    }
    // The pointer moved there, pressed, moved to `to` and released, as with the mouse.
    static void drag(HWND grid, POINT from, POINT to) {
        const HWND dialog = GetParent(grid);
        test::bring_to_front(dialog);
        test::settle(std::chrono::milliseconds(100), dialog);
        test::drag(grid, from, to);
        test::settle(std::chrono::milliseconds(100), dialog);
    }
    static void hover(HWND grid, POINT at) {
        const HWND dialog = GetParent(grid);
        test::bring_to_front(dialog);
        test::send_mouse(test::to_screen(grid, at.x, at.y), 0);
        test::settle(std::chrono::milliseconds(100), GetParent(grid));
    }

    std::filesystem::path dir;
    AnsiCodePageCodec codec;
    core::IconLibrary library{narrow(std::filesystem::temp_directory_path().wstring()) + "\\vx_iconform_" +
                                  std::to_string(GetCurrentProcessId()),
                              codec};
    IconFormValues values;
};

TEST_F(IconFormTest, OpensOnTheNumberAndKeysMoveTheMarkWithinTheButtons) {
    fill_library(80);
    values.number = 25;
    Scripted<TIconForm> form(library, values);
    form.script = [&](auto& f) {
        EXPECT_EQ(f.position(), 2);
        EXPECT_EQ(f.marked(), 5);
        EXPECT_EQ(f.entry_of(5), 25);
        EXPECT_EQ(f.entry_of(0), 20);
        EXPECT_EQ(f.entry_of(59), 79);
        EXPECT_EQ(f.entry_of(60), -1);
        int low = 0, high = 0;
        GetScrollRange(f.control(IDC_ICON_SCROLL), SB_CTL, &low, &high);
        EXPECT_EQ(high, 7);

        struct Step {
            UINT vk;
            int mark;
        } steps[] = {{VK_LEFT, 4}, {VK_UP, 4}, {VK_DOWN, 14}, {VK_RIGHT, 15}, {VK_DOWN, 25}};
        for (const auto& s : steps) {
            key(f.grid(), s.vk);
            EXPECT_EQ(f.marked(), s.mark);
        }
        f.mark(69);
        key(f.grid(), VK_RIGHT);
        EXPECT_EQ(f.marked(), 69);
        key(f.grid(), VK_DOWN);
        EXPECT_EQ(f.marked(), 69);
        f.mark(0);
        key(f.grid(), VK_LEFT);
        EXPECT_EQ(f.marked(), 0);

        // A click marks the button under the pointer.
        const POINT p = f.button_center(13);
        drag(f.grid(), p, p);
        EXPECT_EQ(f.marked(), 13);
        SendMessageW(f.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0),
                     reinterpret_cast<LPARAM>(f.control(IDC_ICON_SCROLL)));
        EXPECT_EQ(f.position(), 3);
        EXPECT_EQ(f.entry_of(13), 43);
        f.press(IDOK);
    };
    EXPECT_EQ(form.run(nullptr), IDOK);
    EXPECT_EQ(values.number, 43);
}

TEST_F(IconFormTest, DeletingThreeAndFiveThenOkCompactsAndRenumbers) {
    fill_library(8);
    References refs;
    refs.numbers = {0, 1, 2, 4, 6, 7};
    Scripted<TIconForm> form(library, values, &refs);
    form.script = [&](auto& f) {
        f.mark(3);
        key(f.grid(), VK_DELETE);
        EXPECT_TRUE(f.changed());
        EXPECT_EQ(f.entry_of(3), 4);  // the deleted entry leaves no gap
        f.mark(4);
        EXPECT_EQ(f.entry_of(4), 5);
        f.press(IDC_DELETE_ICON);
        EXPECT_EQ(f.entry_of(4), 6);
        f.press(IDOK);
    };
    EXPECT_EQ(form.run(nullptr), IDOK);
    EXPECT_EQ(refs.numbers, (std::vector<uint16_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(names(), (std::vector<std::string>{"E00", "E01", "E02", "E04", "E06", "E07"}));
    EXPECT_EQ(values.number, 4);  // the marked entry 6, renumbered
}

TEST_F(IconFormTest, CancelUndoesTheDeletionsByteForByte) {
    fill_library(8);
    const Bytes index = read_file(library.index_path()), data = read_file(library.data_path());
    values.number = 5;
    Scripted<TIconForm> form(library, values);
    form.script = [&](auto& f) {
        key(f.grid(), VK_DELETE);
        key(f.grid(), VK_DELETE);
        EXPECT_NE(read_file(library.index_path()), index);
        f.press(IDCANCEL);
    };
    EXPECT_EQ(form.run(nullptr), IDCANCEL);
    EXPECT_EQ(read_file(library.index_path()), index);
    EXPECT_EQ(read_file(library.data_path()), data);
    EXPECT_EQ(values.number, 5);
}

TEST_F(IconFormTest, DraggingTwoOntoFiveMovesTheEntryAndItsReferences) {
    fill_library(8);
    References refs;
    refs.numbers = {2, 5, 1, 6};
    const Bytes data = read_file(library.data_path());
    Scripted<TIconForm> form(library, values, &refs);
    form.script = [&](auto& f) {
        const POINT from = f.button_center(2), to = f.button_center(5);
        drag(f.grid(), from, to);
        EXPECT_EQ(f.marked(), 5);  // the mark goes with the entry
        // Onto an empty button past the last: to the end.
        const POINT last = f.button_center(0), empty = f.button_center(20);
        drag(f.grid(), last, empty);
        f.press(IDCANCEL);
    };
    EXPECT_EQ(form.run(nullptr), IDCANCEL);
    EXPECT_EQ(names(), (std::vector<std::string>{"E01", "E03", "E04", "E05", "E02", "E06", "E07", "E00"}));
    // 2 -> 5 then 0 -> 7: the data file is never touched.
    EXPECT_EQ(refs.numbers, (std::vector<uint16_t>{4, 3, 0, 5}));
    EXPECT_EQ(read_file(library.data_path()), data);
}

TEST_F(IconFormTest, AnimatedEntriesPlayUnderThePointerOnlyWhenAsked) {
    fill_library(4, 2);
    Scripted<TIconForm> form(library, values);
    form.script = [&](auto& f) {
        const POINT over = f.button_center(2), still = f.button_center(1);
        hover(f.grid(), over);
        EXPECT_FALSE(f.animating());
        SendMessageW(f.control(IDC_PLAY_ANIMATED), BM_SETCHECK, BST_CHECKED, 0);
        hover(f.grid(), still);
        hover(f.grid(), over);
        EXPECT_TRUE(f.animating());
        hover(f.grid(), still);
        EXPECT_FALSE(f.animating());
        f.press(IDCANCEL);
    };
    EXPECT_EQ(form.run(nullptr), IDCANCEL);
}

TEST_F(IconFormTest, AWindowOverAMissingOrDamagedLibraryShowsNothingAndSurvives) {
    // An entry whose bytes lie past the end of the data file.
    fill_library(2);
    Bytes index = read_file(library.index_path());
    core::IndexRecord bad;
    bad.size = 5000;
    bad.offset = 1 << 20;
    bad.type = core::kTypeIcon;
    bad.set_name("BAD.ICO");
    index.resize(index.size() + core::kRecordSize);
    core::encode_record(bad, index.data() + index.size() - core::kRecordSize);
    write_file_atomic(library.index_path(), index);
    Scripted<TIconForm> form(library, values);
    form.script = [&](auto& f) {
        EXPECT_EQ(f.entry_of(2), 2);
        f.press(IDOK);
    };
    EXPECT_EQ(form.run(nullptr), IDOK);

    AnsiCodePageCodec codec2;
    core::IconLibrary none(narrow((dir / "none").wstring()), codec2);
    IconFormValues v;
    Scripted<TIconForm> empty(none, v);
    empty.script = [&](auto& f) {
        EXPECT_EQ(f.entry_of(0), -1);
        key(f.grid(), VK_DELETE);
        EXPECT_FALSE(f.changed());
        f.press(IDOK);
    };
    EXPECT_EQ(empty.run(nullptr), IDOK);
}

// The icon selector comes up from "Add Icon"; choosing a file there adds it to the library.
HWND g_selector = nullptr;
std::string g_choose;
BOOL CALLBACK find_selector(HWND w, LPARAM) {
    wchar_t title[64]{};
    GetWindowTextW(w, title, 64);
    if (std::wstring(title) == L"Select Icon" && IsWindowVisible(w)) {
        g_selector = w;
        return FALSE;
    }
    return TRUE;
}
int g_attempts = 0;
// First the file is picked in the list and OK pressed; a selector still open after that is
// cancelled, so that a failure shows as a failed check rather than a hang.
void CALLBACK choose_in_selector(HWND, UINT, UINT_PTR, DWORD) {
    g_selector = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_selector, 0);
    if (!g_selector) return;
    if (g_attempts++ > 0) {
        SendMessageW(g_selector, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    const HWND list = GetDlgItem(g_selector, IDC_LIST_FILES);
    const std::wstring name = widen(g_choose);
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    const int at = static_cast<int>(
        SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    if (at < 0) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
    SetFocus(list);
    SendMessageW(g_selector, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(IconFormTest, AddIconGoesThroughTheIconSelector) {
    fill_library(3);
    const std::filesystem::path icons = dir / "icons";
    std::filesystem::create_directories(icons);
    write_file_atomic(narrow((icons / "NEWONE.ICO").wstring()), read_file(sample("icojs_palette.ico")));
    values.icon_dir = narrow(icons.wstring());
    g_choose = "NEWONE.ICO";
    g_attempts = 0;
    Scripted<TIconForm> form(library, values);
    form.script = [&](auto& f) {
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, choose_in_selector);
        f.press(IDC_ADD_ICON);
        KillTimer(nullptr, timer);
        EXPECT_EQ(f.entry_of(3), 3);
        f.press(IDOK);
    };
    EXPECT_EQ(form.run(nullptr), IDOK);
    ASSERT_EQ(library.records().size(), 4u);
    EXPECT_EQ(library.records()[3].name(), "NEWONE.ICO");
}

}  // namespace
}  // namespace vx::win::iconlib
