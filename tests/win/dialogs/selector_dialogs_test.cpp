#include "win/dialogs/selector_dialogs.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "security/admin_data.h"
#include "win/dialogs/selector_ids.h"
#include "win/dialogs/win_file_system.h"
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
        for (const char* file : {"\\Docs\\Report.txt", "\\Docs\\Notes.doc", "\\Docs\\Added.txt"})
            DeleteFileW(widen(root + file).c_str());
        for (const char* dir : {"\\New\\Deeper", "\\New", "\\Docs", "\\Secret", ""})
            RemoveDirectoryW(widen(root + dir).c_str());
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

    std::vector<std::string> tree_children(HWND tree, HTREEITEM parent) {
        std::vector<std::string> out;
        for (HTREEITEM i = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); i;
             i = TreeView_GetNextSibling(tree, i)) {
            wchar_t text[MAX_PATH] = {};
            TVITEMW item{};
            item.mask = TVIF_TEXT;
            item.hItem = i;
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            TreeView_GetItem(tree, &item);
            out.push_back(narrow(text));
        }
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

}  // namespace
}  // namespace vx::win
