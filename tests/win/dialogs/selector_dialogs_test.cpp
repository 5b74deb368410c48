#include "win/dialogs/selector_dialogs.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <shellapi.h>

#include <map>
#include <memory>
#include <vector>

#include "security/admin_data.h"
#include "win/dialogs/selector_ids.h"
#include "win/dialogs/win_file_system.h"
#include "win/support/dib_surface.h"
#include "win/support/real_input.h"
#include "win/util/text.h"

namespace vx::win {
namespace {

struct MemoryStore : SettingsStore {
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::optional<std::string> read(const std::string& section, const std::string& name) override {
        const auto it = values.find({section, name});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void write(const std::string& section, const std::string& name, const std::string& value) override {
        values[{section, name}] = value;
    }
};

struct Box {
    std::string text, caption;
};

void pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

std::string window_text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

// Where a control of the dialog sits, in the dialog's client coordinates.
RECT child_rect(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A small tree in the temporary directory: Docs\Report.txt, Docs\Notes.doc and Secret\.
class SelectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const auto real = fs.real_path(narrow(temp));
        ASSERT_TRUE(real);
        root = *dialogs::canonical_path(*real) + "\\vxsel" + std::to_string(GetCurrentProcessId());
        for (const char* dir : {"", "\\Docs", "\\Secret"})
            CreateDirectoryW(widen(root + dir).c_str(), nullptr);
        for (const char* file : {"\\Docs\\Report.txt", "\\Docs\\Notes.doc"}) {
            const HANDLE h =
                CreateFileW(widen(root + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(h);
        }
        values.start_dir = root + "\\Docs";
        values.restricted = root + "\\Secret|";
        values.drives.fill(0);
        values.drives['Z' - 'A'] = 5;
    }
    void TearDown() override {
        for (const char* file :
             {"\\Docs\\Report.txt", "\\Docs\\Notes.doc", "\\Docs\\Added.txt", "\\Docs\\Pic.bmp",
              "\\Docs\\Tune.wav", "\\Docs\\Data.bin", "\\Docs\\Basic.ico", "\\Docs\\Busy.ani"})
            DeleteFileW(widen(root + file).c_str());
        for (const char* dir :
             {"\\New\\Deeper", "\\New", "\\Docs\\Inner", "\\Other", "\\Docs", "\\Secret", ""})
            RemoveDirectoryW(widen(root + dir).c_str());
    }

    void write(const std::string& name, const std::string& bytes) {
        const HANDLE h = CreateFileW(widen(root + "\\Docs\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    void copy_sample(const char* sample, const std::string& name) {
        CopyFileW(widen(std::string(VX_SAMPLES_DIR) + "\\" + sample).c_str(),
                  widen(root + "\\Docs\\" + name).c_str(), FALSE);
    }
    // Highlights `name` in the list as a click would.
    template <class D>
    void highlight(D& dialog, HWND window, const std::string& name) {
        const HWND files = GetDlgItem(window, IDC_LIST_FILES);
        ListView_SetItemState(files, -1, 0, LVIS_SELECTED);
        const int at = dialog.browser().find_entry(name);
        ASSERT_GE(at, 0) << name;
        ListView_SetItemState(files, at, LVIS_SELECTED, LVIS_SELECTED);
    }

    template <class D>
    HWND open(D& dialog, int resource) {
        dialog.message_box = [this](HWND, const std::string& text, const std::string& caption, UINT) {
            boxes.push_back({text, caption});
            return answer;
        };
        const HWND window =
            dialog.create_modeless(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), nullptr);
        if (window) ShowWindow(window, SW_SHOW);
        pump();
        return window;
    }

    void type_location(HWND dialog, const std::string& text) {
        SetDlgItemTextW(dialog, IDC_EDIT_LOCATION, widen(text).c_str());
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_EDIT_LOCATION, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_EDIT_LOCATION)));
        pump();
    }

    static std::string item_text(HWND tree, HTREEITEM i) {
        wchar_t text[MAX_PATH] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = i;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        TreeView_GetItem(tree, &item);
        return narrow(text);
    }
    std::vector<std::string> tree_children(HWND tree, HTREEITEM parent) {
        std::vector<std::string> out;
        for (HTREEITEM i = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); i;
             i = TreeView_GetNextSibling(tree, i))
            out.push_back(item_text(tree, i));
        return out;
    }

    WinFileSystem fs;
    MemoryStore store;
    SelectorValues values;
    std::string root;
    std::vector<Box> boxes;
    int answer = IDOK;
};

TEST_F(SelectorTest, OffersOnlyAllowedDrivesAndDirectories) {
    store.values[{"File Browser", "FileMask0"}] = "Pictures|*.BMP";
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(security::same_without_case(dialog.browser().current(), root + "\\Docs"));
    const HWND tree = GetDlgItem(window, IDC_TREE_DIRS);
    const auto drives = tree_children(tree, nullptr);
    EXPECT_NE(std::find(drives.begin(), drives.end(), "C:"), drives.end());
    EXPECT_EQ(std::find(drives.begin(), drives.end(), "Z:"), drives.end());
    // The tree is open down to Docs; its parent lists Docs but not the restricted Secret.
    const HTREEITEM docs = TreeView_GetSelection(tree);
    const auto siblings = tree_children(tree, TreeView_GetParent(tree, docs));
    EXPECT_EQ(siblings.size(), 1u);
    EXPECT_TRUE(security::same_without_case(siblings.front(), "Docs"));
    wchar_t first[128] = {};
    SendDlgItemMessageW(window, IDC_LIST_FILTER, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(narrow(first), "Default (*.*)|*.*");
    SendDlgItemMessageW(window, IDC_LIST_FILTER, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(narrow(first), "Pictures|*.BMP");
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_LIST_FILTER, LB_GETCOUNT, 0, 0), 2)
        << "stored entries replace the fixed";
    DestroyWindow(window);
    EXPECT_TRUE(store.values.count({"File Browser", "WindowPos"})) << "settings written when destroyed";
}

TEST_F(SelectorTest, TypedFileMovesToItsFolderAndBecomesTheFilterText) {
    values.start_dir = root;
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    type_location(window, root + "/docs/report.TXT");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(security::same_without_case(dialog.browser().current(), root + "\\Docs"));
    EXPECT_EQ(window_text(GetDlgItem(window, IDC_EDIT_FILTER)), "Report.txt");
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(window, IDC_LIST_FILES)), 1);

    // OK with that name closes with its full path.
    SetFocus(GetDlgItem(window, IDOK));
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(security::same_without_case(values.file_name, root + "\\Docs\\Report.txt"));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SelectorTest, SavingProposesANameAndMayNameANewFileInAnAllowedDirectory) {
    write("Old.pal", "JASC-PAL");
    values.mask = "*.PAL";
    values.file_name = "UNTITLED.PAL";
    values.new_file = true;
    values.file_required = true;
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window_text(GetDlgItem(window, IDC_EDIT_FILTER)), "UNTITLED.PAL");
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(window, IDC_LIST_FILES)), 1) << "the list still shows *.PAL";
    SetFocus(GetDlgItem(window, IDOK));
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(security::same_without_case(values.file_name, root + "\\Docs\\UNTITLED.PAL"))
        << values.file_name;
    EXPECT_FALSE(IsWindow(window));
    DeleteFileW(widen(root + "\\Docs\\Old.pal").c_str());

    // A new name is no way around the restrictions, nor into a directory that is not there.
    for (const std::string& typed : {root + "\\Secret\\NEW.PAL", root + "\\Missing\\NEW.PAL"}) {
        values.file_name = "UNTITLED.PAL";
        TFileSelectorDialog again(store, fs, values);
        const HWND w = open(again, IDD_FILE_SELECTOR);
        ASSERT_NE(w, nullptr);
        SetDlgItemTextW(w, IDC_EDIT_FILTER, widen(typed).c_str());
        SetFocus(GetDlgItem(w, IDOK));
        SendMessageW(w, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindow(w)) << typed << ": a file is required and none that may be named is";
        DestroyWindow(w);
    }
}

TEST_F(SelectorTest, RestrictedAndUncLocationsAreRefused) {
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    const std::string before = dialog.browser().current();
    for (const std::string& typed :
         {root + "\\Secret", root + "\\Docs\\..\\SECRET.", std::string("\\\\server\\share"),
          std::string("Z:\\"), root + "\\Missing"}) {
        boxes.clear();
        type_location(window, typed);
        ASSERT_EQ(boxes.size(), 1u) << typed;
        EXPECT_EQ(boxes[0].caption, "Invalid Location");
        EXPECT_EQ(boxes[0].text, dialogs::invalid_location_message(typed));
        EXPECT_EQ(dialog.browser().current(), before) << typed;
        EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_EDIT_LOCATION)) << typed;
    }
    DestroyWindow(window);
}

// A folder that is another folder under a second name, as a substituted drive or a volume
// mounted in a folder is: the system says where it really lies.
struct SecondName : dialogs::FileSystem {
    dialogs::FileSystem& system;
    std::string alias, target;
    SecondName(dialogs::FileSystem& s, std::string a, std::string t)
        : system(s), alias(std::move(a)), target(std::move(t)) {}
    Kind kind(const std::string& path) override { return system.kind(path); }
    std::optional<std::string> real_path(const std::string& path) override {
        const std::string upper = security::ansi_upper(path), name = security::ansi_upper(alias);
        if (upper == name || upper.rfind(name + "\\", 0) == 0) return system.real_path(target + path.substr(alias.size()));
        return system.real_path(path);
    }
    bool is_drive(char letter) override { return system.is_drive(letter); }
};

TEST_F(SelectorTest, AFolderSeenUnderAnotherNameIsJudgedWhereItReallyLies) {
    // Mirror stands for the test folder itself: its Secret is the restricted Secret.
    for (const char* d : {"\\Mirror", "\\Mirror\\Secret", "\\Mirror\\Docs"})
        CreateDirectoryW(widen(root + d).c_str(), nullptr);
    struct Cleanup {
        std::string root;
        ~Cleanup() {
            for (const char* d : {"\\Mirror\\Secret", "\\Mirror\\Docs", "\\Mirror"})
                RemoveDirectoryW(widen(root + d).c_str());
        }
    } cleanup{root};
    SecondName system(fs, root + "\\Mirror", root);
    TFileSelectorDialog dialog(store, system, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    const HWND tree = GetDlgItem(window, IDC_TREE_DIRS);
    const HTREEITEM top = TreeView_GetParent(tree, TreeView_GetSelection(tree));
    HTREEITEM mirror = nullptr;
    for (HTREEITEM i = TreeView_GetChild(tree, top); i && !mirror; i = TreeView_GetNextSibling(tree, i))
        if (security::same_without_case(item_text(tree, i), "Mirror")) mirror = i;
    ASSERT_NE(mirror, nullptr);
    TreeView_Expand(tree, mirror, TVE_EXPAND);
    pump();
    const auto shown = tree_children(tree, mirror);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(security::same_without_case(shown.front(), "Docs"));

    type_location(window, root + "\\Mirror\\Secret");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Invalid Location");
    DestroyWindow(window);
}

TEST_F(SelectorTest, OkAndCancelFollowTheFocus) {
    values.file_required = true;
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    const HWND filters = GetDlgItem(window, IDC_LIST_FILTER);
    const HWND files = GetDlgItem(window, IDC_LIST_FILES);

    SetFocus(filters);
    SendMessageW(filters, LB_SETCURSEL, 3, 0);  // "Documents|*.DOC *.TXT *.WRI"
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(window_text(GetDlgItem(window, IDC_EDIT_FILTER)), "*.DOC *.TXT *.WRI");
    EXPECT_EQ(ListView_GetItemCount(files), 2);

    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    pump();
    ASSERT_TRUE(IsWindow(window)) << "Cancel in the filter list only moves the focus";
    EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_EDIT_FILTER));

    SetFocus(GetDlgItem(window, IDOK));
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(IsWindow(window)) << "a file is required and none is named";

    const int notes = dialog.browser().find_entry("Notes.doc");
    ASSERT_GE(notes, 0);
    SetFocus(files);
    ListView_SetItemState(files, notes, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(security::same_without_case(values.file_name, root + "\\Docs\\Notes.doc"));
}

TEST_F(SelectorTest, ListFollowsChangesInTheShownDirectory) {
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    const HWND files = GetDlgItem(window, IDC_LIST_FILES);
    ASSERT_EQ(ListView_GetItemCount(files), 2);
    const std::wstring added = widen(root + "\\Docs\\Added.txt");
    // Twice: the dialog must watch again after the first change.
    for (int expected : {3, 2}) {
        if (expected == 3)
            CloseHandle(CreateFileW(added.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        else
            DeleteFileW(added.c_str());
        for (int i = 0; i < 100 && ListView_GetItemCount(files) != expected; ++i) pump();
        EXPECT_EQ(ListView_GetItemCount(files), expected);
    }
    DestroyWindow(window);
}

TEST_F(SelectorTest, IconAddModeAddsEveryIconOfEveryChosenFile) {
    std::vector<std::pair<std::string, int>> added;
    TIconSelectorDialog::IconAdder adder{
        [](const std::string& path) { return path.ends_with("Report.txt") ? 2 : 0; },
        [&](const std::string& path, int index) { added.emplace_back(path, index); }};
    TIconSelectorDialog dialog(store, fs, values, true, adder);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    const HWND files = GetDlgItem(window, IDC_LIST_FILES);
    ASSERT_EQ(ListView_GetItemCount(files), 2);
    for (int i = 0; i < 2; ++i) ListView_SetItemState(files, i, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(GetDlgItem(window, IDOK));
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.added(), 2);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].second, 0);
    EXPECT_EQ(added[1].second, 1);
}

TEST_F(SelectorTest, TextPreviewOfTheHighlightedFile) {
    const HANDLE h = CreateFileW(widen(root + "\\Docs\\Report.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, "one\ttwo\n", 8, &written, nullptr);
    CloseHandle(h);
    store.values[{"File Browser", "Preview"}] = "1";
    store.values[{"File Viewer", "TabSize"}] = "4";
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    const HWND preview = GetDlgItem(window, IDC_EDIT_PREVIEW);
    EXPECT_TRUE(IsWindowVisible(preview));
    const int report = dialog.browser().find_entry("Report.txt");
    ListView_SetItemState(GetDlgItem(window, IDC_LIST_FILES), report, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(window_text(preview), "one two\r\n");

    CheckDlgButton(window, IDC_CHECK_PREVIEW, BST_UNCHECKED);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_CHECK_PREVIEW, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_CHECK_PREVIEW)));
    EXPECT_FALSE(IsWindowVisible(preview));
    DestroyWindow(window);
    EXPECT_EQ((store.values[{"File Browser", "Preview"}]), "0");
}

// Little-endian fields for the made-up files below.
std::string le(uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return out;
}

// A 2 x 2 24-bit bitmap and a tenth of a second of silence.
std::string tiny_bmp() {
    const std::string pixels(16, '\x40');  // two rows of 6 bytes, each padded to 8
    return "BM" + le(54 + 16, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(2, 4) + le(2, 4) + le(1, 2) +
           le(24, 2) + le(0, 4) + le(16, 4) + le(2835, 4) + le(2835, 4) + le(0, 4) + le(0, 4) + pixels;
}
std::string tiny_wav() {
    const std::string samples(800, '\x80');
    return "RIFF" + le(36 + 800, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) +
           le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(800, 4) + samples;
}

TEST_F(SelectorTest, PreviewsPicturesMediaAndBinaryFiles) {
    write("Pic.bmp", tiny_bmp());
    write("Tune.wav", tiny_wav());
    write("Data.bin", std::string("MZ\x90\0\x03\0\0\0", 8));
    store.values[{"File Browser", "Preview"}] = "1";
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);

    highlight(dialog, window, "Pic.bmp");
    EXPECT_EQ(dialog.preview_kind(), dialogs::PreviewKind::kPicture);
    EXPECT_TRUE(dialog.has_picture());
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_PREVIEW_PICTURE)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_EDIT_PREVIEW)));
    UpdateWindow(window);  // draws the picture; must not fault

    // Whether the machine can play it or not, the file is named and nothing waits for it.
    highlight(dialog, window, "Tune.wav");
    EXPECT_EQ(dialog.preview_kind(), dialogs::PreviewKind::kMedia);
    EXPECT_FALSE(dialog.has_picture());
    EXPECT_TRUE(dialog.media_line().starts_with("Tune.wav")) << dialog.media_line();
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_BUTTON_PLAY)));
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(window, IDC_BUTTON_PLAY)) != FALSE, dialog.media_ready());
    if (dialog.media_ready()) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_PLAY, BN_CLICKED), 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_PLAY, BN_CLICKED), 0);
        EXPECT_EQ(window_text(GetDlgItem(window, IDC_BUTTON_PLAY)), "&Play");
    }

    highlight(dialog, window, "Data.bin");
    EXPECT_EQ(dialog.preview_kind(), dialogs::PreviewKind::kText);
    EXPECT_FALSE(dialog.media_ready()) << "leaving a media file closes it";
    EXPECT_TRUE(window_text(GetDlgItem(window, IDC_EDIT_PREVIEW)).starts_with("00000000  4D 5A 90 00"));
    DestroyWindow(window);
}

TEST_F(SelectorTest, IconSelectorPreviewsTheIconsOfAFile) {
    copy_sample("icojs_basic.ico", "Basic.ico");
    copy_sample("mini_busy.ani", "Busy.ani");
    store.values[{"File Browser", "Preview"}] = "1";
    TIconSelectorDialog dialog(store, fs, values, false, {});
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    highlight(dialog, window, "Basic.ico");
    EXPECT_EQ(dialog.preview_kind(), dialogs::PreviewKind::kIcons);
    EXPECT_GE(dialog.icon_count(), 1);
    UpdateWindow(window);
    highlight(dialog, window, "Busy.ani");
    EXPECT_EQ(dialog.icon_count(), 1);
    highlight(dialog, window, "Report.txt");
    EXPECT_EQ(dialog.preview_kind(), dialogs::PreviewKind::kNone) << "the icon selector shows no text";
    EXPECT_EQ(window_text(GetDlgItem(window, IDC_EDIT_PREVIEW)), "");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_PREVIEW_PICTURE)));
    DestroyWindow(window);
}

TEST_F(SelectorTest, SplitterIsDraggedTurnedAndKept) {
    store.values[{"File Browser", "SplitDir"}] = "Horz";
    store.values[{"File Browser", "SplitPos"}] = "100";
    TFileSelectorDialog dialog(store, fs, values);
    const HWND window = open(dialog, IDD_FILE_SELECTOR);
    ASSERT_NE(window, nullptr);
    const auto rect_of = [&](int id) { return child_rect(window, id); };
    RECT tree = rect_of(IDC_TREE_DIRS), list = rect_of(IDC_LIST_FILES);
    EXPECT_EQ(tree.bottom - tree.top, 100);
    EXPECT_LT(tree.bottom, list.top) << "tree above the list";

    ASSERT_TRUE(test::bring_to_front(window));
    // With the mouse, as a person drags it; the pointer stops at the screen's edge.
    const auto drag = [&](POINT from, POINT to) {
        test::drag(window, from, to);
        test::settle(std::chrono::milliseconds(200), window);
    };
    const RECT bar = dialog.splitter_rect();
    const LONG x = (bar.left + bar.right) / 2, y = (bar.top + bar.bottom) / 2;
    drag({x, y}, {x, y + 30});
    EXPECT_EQ(dialog.split_pos(), 130);
    tree = rect_of(IDC_TREE_DIRS);
    EXPECT_EQ(tree.bottom - tree.top, 130);
    // Dragged past the end: the list keeps some room.
    drag({x, y + 30}, {x, 5000});
    list = rect_of(IDC_LIST_FILES);
    EXPECT_GE(list.bottom - list.top, 40);
    const int kept = dialog.split_pos();
    EXPECT_EQ(kept, rect_of(IDC_TREE_DIRS).bottom - rect_of(IDC_TREE_DIRS).top);

    Sleep(GetDoubleClickTime() + 50);
    const RECT bar2 = dialog.splitter_rect();
    const LONG x2 = (bar2.left + bar2.right) / 2, y2 = (bar2.top + bar2.bottom) / 2;
    test::click(window, x2, y2);
    test::click(window, x2, y2);
    test::settle(std::chrono::milliseconds(200), window);
    EXPECT_FALSE(dialog.split_horizontal()) << "two presses turn it";
    tree = rect_of(IDC_TREE_DIRS);
    list = rect_of(IDC_LIST_FILES);
    EXPECT_LT(tree.right, list.left) << "tree beside the list";
    DestroyWindow(window);
    EXPECT_EQ((store.values[{"File Browser", "SplitDir"}]), "Vert");
    EXPECT_EQ((store.values[{"File Browser", "SplitPos"}]), std::to_string(kept));
}

// Counts this thread's visible top-level windows: a menu or another program's window would add one.
BOOL CALLBACK count_visible(HWND window, LPARAM counter) {
    if (IsWindowVisible(window)) ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

int visible_windows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), count_visible, reinterpret_cast<LPARAM>(&count));
    return count;
}

void right_click(HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    test::bring_to_front(GetAncestor(control, GA_ROOT));
    test::click(control, r.right / 2, 8, true);
    test::settle(std::chrono::milliseconds(300), GetAncestor(control, GA_ROOT));
}

TEST_F(SelectorTest, NoMenusAndOnlyOurOwnHelpInEverySelector) {
    TFileSelectorDialog file(store, fs, values);
    TImageSelectorDialog image(store, fs, values);
    TIconSelectorDialog icon(store, fs, values, false, {});
    TDirSelectorDialog directory(store, fs, values, false);
    const std::pair<BrowserDialog*, int> dialogs[] = {{&file, IDD_FILE_SELECTOR},
                                                      {&image, IDD_FILE_SELECTOR},
                                                      {&icon, IDD_FILE_SELECTOR},
                                                      {&directory, IDD_DIR_SELECTOR}};
    for (const auto& [dialog, resource] : dialogs) {
        boxes.clear();
        const HWND window = open(*dialog, resource);
        ASSERT_NE(window, nullptr);
        const int before = visible_windows();
        for (int id : {IDC_LIST_FILES, IDC_TREE_DIRS}) {
            const HWND control = GetDlgItem(window, id);
            if (!control) continue;
            right_click(control);
            SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(10, 10));
        }
        EXPECT_EQ(visible_windows(), before) << resource;
        EXPECT_TRUE(boxes.empty()) << resource;

        HELPINFO help{sizeof help, HELPINFO_WINDOW, IDC_TREE_DIRS, GetDlgItem(window, IDC_TREE_DIRS),
                      0,           {0, 0}};
        SendMessageW(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_HELP, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_BUTTON_HELP)));
        ASSERT_EQ(boxes.size(), 2u) << resource;
        for (const auto& box : boxes) EXPECT_EQ(box.caption, "Help");
        EXPECT_EQ(visible_windows(), before) << resource;
        DestroyWindow(window);
    }
}

TEST_F(SelectorTest, DirectorySelectorAsksBeforeCreating) {
    TDirSelectorDialog dialog(store, fs, values, true);
    const HWND window = open(dialog, IDD_DIR_SELECTOR);
    ASSERT_NE(window, nullptr);
    const std::string wanted = root + "\\New\\Deeper";

    answer = IDNO;
    type_location(window, wanted);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Vantora!");
    EXPECT_EQ(boxes[0].text, dialogs::create_directory_question(wanted));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_EDIT_LOCATION));
    EXPECT_EQ(GetFileAttributesW(widen(wanted).c_str()), INVALID_FILE_ATTRIBUTES);

    answer = IDYES;
    type_location(window, wanted);
    EXPECT_NE(GetFileAttributesW(widen(wanted).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(IsWindow(window)) << "created: closed with OK";
    EXPECT_EQ(values.start_dir, wanted);
}

TEST_F(SelectorTest, DirectorySelectorWithoutCreationRefusesMissing) {
    TDirSelectorDialog dialog(store, fs, values, false);
    const HWND window = open(dialog, IDD_DIR_SELECTOR);
    ASSERT_NE(window, nullptr);
    type_location(window, root + "\\New");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Invalid Location");
    DestroyWindow(window);
}

// ---- the stored view settings

// The control as it paints itself, custom draw included.
std::unique_ptr<test::DibSurface> render(HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    auto surface = std::make_unique<test::DibSurface>(r.right, r.bottom, RGB(0, 0, 0));
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface->dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    return surface;
}

// Pixels of `r` that lean clearly to one primary colour: a glyph in it, smoothed or not, leaves
// them; the system's black, grey and white text does not.
int tinted(const test::DibSurface& s, RECT r, COLORREF primary) {
    int n = 0;
    for (LONG y = std::max(0L, r.top); y < std::min<LONG>(s.height(), r.bottom); ++y)
        for (LONG x = std::max(0L, r.left); x < std::min<LONG>(s.width(), r.right); ++x) {
            const COLORREF c = s.at(x, y);
            const int channels[] = {GetRValue(c), GetGValue(c), GetBValue(c)};
            const int wanted[] = {GetRValue(primary), GetGValue(primary), GetBValue(primary)};
            bool leans = true;
            for (int i = 0; i < 3; ++i) leans = leans && (wanted[i] ? channels[i] >= 120 : channels[i] <= 90);
            n += leans;
        }
    return n;
}

LOGFONTW font_of(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

int points_to_height(int points) {
    const HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return height;
}

TEST_F(SelectorTest, StoredFontAndTextColoursReachTheTreeAndTheList) {
    constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0);
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "stored" : "designed");
        store.values.clear();
        if (stored) {
            store.values[{"File Browser", "FontName"}] = "Courier New";
            store.values[{"File Browser", "FontSize"}] = "14";
            store.values[{"File Browser", "FontStyle"}] = "3";  // bold, italic
            store.values[{"File Browser", "NormalText"}] = std::to_string(kRed);
            store.values[{"File Browser", "SelectedText"}] = std::to_string(kGreen);
        }
        TFileSelectorDialog dialog(store, fs, values);
        const HWND window = open(dialog, IDD_FILE_SELECTOR);
        ASSERT_NE(window, nullptr);
        const HWND tree = GetDlgItem(window, IDC_TREE_DIRS), files = GetDlgItem(window, IDC_LIST_FILES);
        for (const HWND control : {tree, files}) {
            const LOGFONTW font = font_of(control);
            EXPECT_EQ(std::wstring(font.lfFaceName) == L"Courier New", stored);
            EXPECT_EQ(font.lfHeight == points_to_height(14), stored);
            EXPECT_EQ(font.lfWeight == FW_BOLD && font.lfItalic, stored);
        }

        const int notes = dialog.browser().find_entry("Notes.doc"),
                  report = dialog.browser().find_entry("Report.txt");
        ASSERT_GE(notes, 0);
        SetFocus(files);
        ListView_SetItemState(files, notes, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        RECT normal_row{}, selected_row{};
        ListView_GetItemRect(files, report, &normal_row, LVIR_LABEL);
        ListView_GetItemRect(files, notes, &selected_row, LVIR_LABEL);
        const auto list = render(files);
        EXPECT_EQ(tinted(*list, normal_row, kRed) > 0, stored);
        EXPECT_EQ(tinted(*list, selected_row, kGreen) > 0, stored);
        EXPECT_EQ(tinted(*list, normal_row, kGreen), 0);
        EXPECT_EQ(tinted(*list, selected_row, kRed), 0);

        // The tree: the shown directory is selected, its parent is not.
        const HTREEITEM docs = TreeView_GetSelection(tree);
        RECT docs_label{}, parent_label{};
        TreeView_GetItemRect(tree, docs, &docs_label, TRUE);
        TreeView_GetItemRect(tree, TreeView_GetParent(tree, docs), &parent_label, TRUE);
        const auto branches = render(tree);
        EXPECT_EQ(tinted(*branches, docs_label, kGreen) > 0, stored);
        EXPECT_EQ(tinted(*branches, parent_label, kRed) > 0, stored);
        DestroyWindow(window);
    }
}

TEST_F(SelectorTest, DirectorySelectorTakesItsOwnSectionsFont) {
    store.values[{"Dir Browser", "FontName"}] = "Courier New";
    store.values[{"Dir Browser", "FontSize"}] = "16";
    store.values[{"File Browser", "FontName"}] = "Tahoma";
    TDirSelectorDialog dialog(store, fs, values, false);
    const HWND window = open(dialog, IDD_DIR_SELECTOR);
    ASSERT_NE(window, nullptr);
    const LOGFONTW font = font_of(GetDlgItem(window, IDC_TREE_DIRS));
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Courier New");
    EXPECT_EQ(font.lfHeight, points_to_height(16));
    DestroyWindow(window);
}

TEST_F(SelectorTest, InvertedListComesBeforeTheTreeAndTheSplitterStillSizesTheTree) {
    struct Case {
        dialogs::SelectorKind kind;
        const char* flag;
        const char* split;
        bool inverted;
    } cases[] = {
        {dialogs::SelectorKind::kFile, "InvertFileList", "Vert", true},
        {dialogs::SelectorKind::kFile, "InvertFileList", "Horz", true},
        {dialogs::SelectorKind::kIcon, "InvertFileList", "Vert", true},
        // The image selector keeps a flag of its own.
        {dialogs::SelectorKind::kImage, "InvertFileList", "Vert", false},
        {dialogs::SelectorKind::kImage, "InvertTreeFileList1", "Vert", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.flag) + " " + c.split);
        store.values.clear();
        store.values[{"File Browser", c.flag}] = "1";
        store.values[{"File Browser", "SplitDir"}] = c.split;
        store.values[{"File Browser", "SplitPos"}] = "100";
        std::unique_ptr<FileSelectorBase> dialog;
        if (c.kind == dialogs::SelectorKind::kFile)
            dialog = std::make_unique<TFileSelectorDialog>(store, fs, values);
        if (c.kind == dialogs::SelectorKind::kImage)
            dialog = std::make_unique<TImageSelectorDialog>(store, fs, values);
        if (c.kind == dialogs::SelectorKind::kIcon)
            dialog = std::make_unique<TIconSelectorDialog>(store, fs, values, false,
                                                           TIconSelectorDialog::IconAdder{});
        const HWND window = open(*dialog, IDD_FILE_SELECTOR);
        ASSERT_NE(window, nullptr);
        const auto rect_of = [&](int id) { return child_rect(window, id); };
        const bool horizontal = std::string(c.split) == "Horz";
        const auto extent = [&](const RECT& r) { return horizontal ? r.bottom - r.top : r.right - r.left; };
        RECT tree = rect_of(IDC_TREE_DIRS), list = rect_of(IDC_LIST_FILES);
        EXPECT_EQ(extent(tree), 100);
        const bool list_first = horizontal ? list.bottom <= tree.top : list.right <= tree.left;
        EXPECT_EQ(list_first, c.inverted);

        // Dragging the splitter towards the list grows the tree, on whichever side it is.
        const RECT bar = dialog->splitter_rect();
        const LONG x = (bar.left + bar.right) / 2, y = (bar.top + bar.bottom) / 2;
        const LONG toward_list = c.inverted ? -30 : 30;
        const LONG to_x = horizontal ? x : x + toward_list, to_y = horizontal ? y + toward_list : y;
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to_x, to_y));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(to_x, to_y));
        tree = rect_of(IDC_TREE_DIRS);
        EXPECT_EQ(extent(tree), 130);
        EXPECT_EQ(dialog->split_pos(), 130);
        DestroyWindow(window);
        EXPECT_EQ((store.values[{"File Browser", "SplitPos"}]), "130");
        Sleep(GetDoubleClickTime() + 20);  // the next press must not count as the second of two
    }
}

TEST_F(SelectorTest, DetailWidthSizesTheNameColumnAndTheUsersWidthIsKept) {
    struct Case {
        std::optional<std::string> stored;
        int set_by_user;  // 0: untouched
        int shown;
        const char* kept;
    } cases[] = {
        {"260", 0, 260, "260"},
        {"260", 300, 260, "300"},
        {std::nullopt, 0, 180, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or("none"));
        store.values.clear();
        if (c.stored) store.values[{"File Browser", "DetailWidth"}] = *c.stored;
        store.values[{"File Browser", "ShowFileDetails"}] = "1";
        TFileSelectorDialog dialog(store, fs, values);
        const HWND window = open(dialog, IDD_FILE_SELECTOR);
        ASSERT_NE(window, nullptr);
        const HWND files = GetDlgItem(window, IDC_LIST_FILES);
        EXPECT_EQ(ListView_GetColumnWidth(files, 0), c.shown);
        if (c.set_by_user) ListView_SetColumnWidth(files, 0, c.set_by_user);
        DestroyWindow(window);
        EXPECT_EQ((store.values[{"File Browser", "DetailWidth"}]), c.kept);
    }
}

TEST_F(SelectorTest, GenericIconGivesEveryFileAndEveryFolderOneIcon) {
    CreateDirectoryW(widen(root + "\\Docs\\Inner").c_str(), nullptr);
    const auto system_icon = [](const std::wstring& path, DWORD attributes, UINT extra) {
        SHFILEINFOW info{};
        SHGetFileInfoW(path.c_str(), attributes, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra);
        return info.iIcon;
    };
    const int generic_file = system_icon(L"file", FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES);
    const int generic_folder = system_icon(L"folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_USEFILEATTRIBUTES);
    for (const bool generic : {true, false}) {
        SCOPED_TRACE(generic ? "generic" : "own icons");
        store.values.clear();
        store.values[{"File Browser", "GenericIcon"}] = generic ? "1" : "0";
        TFileSelectorDialog dialog(store, fs, values);
        const HWND window = open(dialog, IDD_FILE_SELECTOR);
        ASSERT_NE(window, nullptr);
        const HWND files = GetDlgItem(window, IDC_LIST_FILES);
        EXPECT_NE(ListView_GetImageList(files, LVSIL_SMALL), nullptr);
        for (const char* name : {"Inner", "Notes.doc", "Report.txt"}) {
            const int at = dialog.browser().find_entry(name);
            ASSERT_GE(at, 0) << name;
            LVITEMW item{};
            item.mask = LVIF_IMAGE;
            item.iItem = at;
            ListView_GetItem(files, &item);
            const bool folder = std::string(name) == "Inner";
            const int expected = generic ? (folder ? generic_folder : generic_file)
                                         : system_icon(widen(root + "\\Docs\\" + name), 0, 0);
            EXPECT_EQ(item.iImage, expected) << name;
        }
        DestroyWindow(window);
    }
}

TEST_F(SelectorTest, SelTreeViewOpensTheChosenBranchAndClosesTheOneLeft) {
    CreateDirectoryW(widen(root + "\\Docs\\Inner").c_str(), nullptr);
    CreateDirectoryW(widen(root + "\\Other").c_str(), nullptr);
    for (const bool single : {false, true}) {
        SCOPED_TRACE(single ? "SelTreeView" : "plain");
        store.values.clear();
        store.values[{"File Browser", "SelTreeView"}] = single ? "1" : "0";
        store.values[{"Dir Browser", "SelTreeView"}] = single ? "1" : "0";
        TFileSelectorDialog file(store, fs, values);
        TDirSelectorDialog directory(store, fs, values, false);
        const std::pair<BrowserDialog*, int> dialogs[] = {{&file, IDD_FILE_SELECTOR},
                                                          {&directory, IDD_DIR_SELECTOR}};
        for (const auto& [dialog, resource] : dialogs) {
            const HWND window = open(*dialog, resource);
            ASSERT_NE(window, nullptr);
            const HWND tree = GetDlgItem(window, IDC_TREE_DIRS);
            EXPECT_EQ((GetWindowLongW(tree, GWL_STYLE) & TVS_SINGLEEXPAND) != 0, single);
            type_location(window, root + "\\Docs\\Inner");
            const HTREEITEM docs = TreeView_GetParent(tree, TreeView_GetSelection(tree));
            ASSERT_NE(docs, nullptr);
            type_location(window, root + "\\Other");
            EXPECT_TRUE(security::same_without_case(dialog->browser().current(), root + "\\Other"));
            const bool docs_open = (TreeView_GetItemState(tree, docs, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
            EXPECT_EQ(docs_open, !single);
            DestroyWindow(window);
        }
    }
}

TEST_F(SelectorTest, WithoutAFileRequiredOkTakesTheProposedNameOrNone) {
    values.file_required = false;
    struct Case {
        const char* proposed;
        const char* chosen;  // below Docs
    } cases[] = {{"Report.txt", "\\Docs\\Report.txt"}, {"", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.proposed);
        values.file_name = c.proposed;
        TFileSelectorDialog dialog(store, fs, values);
        const HWND window = open(dialog, IDD_FILE_SELECTOR);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window_text(GetDlgItem(window, IDC_EDIT_FILTER)), *c.proposed ? c.proposed : "*.*");
        SetFocus(GetDlgItem(window, IDOK));
        SendMessageW(window, WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_TRUE(security::same_without_case(values.file_name, *c.chosen ? root + c.chosen : ""));
        EXPECT_TRUE(security::same_without_case(values.start_dir, root + "\\Docs"));
        values.start_dir = root + "\\Docs";
    }
}

}  // namespace
}  // namespace vx::win
