#include "win/security/usage_log_viewer.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "security/usage_log.h"
#include "util/file_io.h"
#include "win/dialogs/selector_ids.h"
#include "win/security/usage_log_session.h"
#include "win/security/usage_log_viewer_ids.h"
#include "win/shell/registry_settings.h"
#include "win/util/text.h"

namespace vx::win::security {
namespace {

using namespace vx::security;

const Windows1252Codec kCodec;
const UsEnglishLocale kLocale;
const DateTime kDay = make_datetime({2026, 3, 5});

DateTime at(int day, int h, int m) {
    return make_datetime({2026, 3, day}, {h, m, 0});
}

UsageRecord rec(std::string program, std::string user, DateTime start, double used_minutes,
                bool running = false) {
    UsageRecord r;
    r.program = std::move(program);
    r.user = std::move(user);
    r.start_time = start;
    r.used_mark = start + used_minutes / 1440.0;
    r.end_time = running ? start : start + 1.0 / 24;
    r.last_seen = r.end_time;
    return r;
}

class UsageLogViewerTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    std::string log;
    std::vector<UsageRecord> gathered{rec("Notes", "", at(5, 11, 0), 0.5, true)};
    UsageViewerValue value;
    std::vector<std::string> errors;

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("vx_usage_viewer_" + std::to_string(GetCurrentProcessId()));
        // A run that was killed leaves its log behind; appending to it would double the rows.
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        std::filesystem::create_directories(dir);
        log = (dir / "VX.LOG").string();
        const std::vector<UsageRecord> stored{
            rec("Sheet", "bob", at(5, 10, 0), 25),  rec("Letter - Word", "ann", at(5, 9, 0), 35),
            rec("Paint", "ann", at(4, 8, 0), 90),   rec("Late", "bob", at(5, 23, 59), 0.2),
            rec("Tomorrow", "ann", at(6, 0, 0), 5),
        };
        append_usage_log(log, stored, kCodec);

        value.log_path = log;
        value.gathered = gathered;
        value.users = {"ann", "bob"};
        value.codec = &kCodec;
        value.locale = &kLocale;
        value.settings.start_date = make_datetime({2026, 3, 4});
        value.settings.end_date = kDay;
        value.report_error = [this](const std::string& m) { errors.push_back(m); };
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    static std::vector<std::vector<std::string>> list_rows(HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_LIST_USAGE_LOG);
        std::vector<std::vector<std::string>> rows;
        const int n = ListView_GetItemCount(list);
        for (int i = 0; i < n; ++i) {
            std::vector<std::string> cols;
            for (int c = 0; c < 6; ++c) {
                wchar_t buf[512] = {};
                ListView_GetItemText(list, i, c, buf, 512);
                cols.push_back(narrow(buf));
            }
            rows.push_back(std::move(cols));
        }
        return rows;
    }

    // What the core query gives for the same choices, as the list must show it.
    std::vector<std::vector<std::string>> core_rows(const UsageQuery& q, bool other = false) const {
        const auto view = load_usage_view(log, kCodec, gathered, other, q);
        std::vector<std::vector<std::string>> rows;
        for (const auto& r : view.rows) rows.push_back(usage_row_columns(r, kLocale));
        rows.push_back({"Total", " ", " ", " ", usage_total_text(view.total).substr(12), ""});
        return rows;
    }

    static void click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
};

std::string narrow_window_text(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return narrow(buffer);
}

std::vector<std::string> programs(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r[1]);
    return out;
}

TEST_F(UsageLogViewerTest, ShowsTheCoreRowsAndFollowsSortUserAndProgramFilter) {
    UsageLogViewer viewer(value);
    HWND dialog = viewer.create_modeless(GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);

    UsageQuery q;
    q.first_day = make_datetime({2026, 3, 4});
    q.last_day = kDay;
    auto rows = list_rows(dialog);
    EXPECT_EQ(rows, core_rows(q));
    // The stored records by start time, 23:59 of the last day included, the open one of this run last.
    EXPECT_EQ(programs(rows),
              (std::vector<std::string>{"Paint", "Letter - Word", "Sheet", "Notes", "Late", " "}));
    EXPECT_EQ(rows[3][3], "Running");
    EXPECT_EQ(rows[3][4], " < 1 min");
    EXPECT_EQ(rows[3][5], "");
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"Total", " ", " ", " ", "2 hr 30 min", ""}));
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, IDC_BUTTON_USAGE_VIEW), GWL_STYLE) & WS_VISIBLE, 0)
        << "View needs guard 11";

    // A new first day reloads as soon as the picker says it changed.
    SYSTEMTIME from{};
    from.wYear = 2026, from.wMonth = 3, from.wDay = 5;
    DateTime_SetSystemtime(GetDlgItem(dialog, IDC_DATE_USAGE_FROM), GDT_VALID, &from);
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = GetDlgItem(dialog, IDC_DATE_USAGE_FROM);
    change.nmhdr.idFrom = IDC_DATE_USAGE_FROM;
    change.nmhdr.code = static_cast<UINT>(DTN_DATETIMECHANGE);
    change.st = from;
    SendMessageW(dialog, WM_NOTIFY, IDC_DATE_USAGE_FROM, reinterpret_cast<LPARAM>(&change));
    q.first_day = kDay;
    EXPECT_EQ(list_rows(dialog), core_rows(q));
    EXPECT_EQ(programs(list_rows(dialog)).front(), "Letter - Word");

    click(dialog, IDC_RADIO_USAGE_PROGRAM);
    q.sort = UsageSort::ByProgram;
    EXPECT_EQ(list_rows(dialog), core_rows(q));
    EXPECT_EQ(programs(list_rows(dialog)).front(), "Late");

    SendDlgItemMessageW(dialog, IDC_COMBO_USAGE_USER, CB_SETCURSEL, 1, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_COMBO_USAGE_USER, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_COMBO_USAGE_USER)));
    q.user = "ann";
    EXPECT_EQ(programs(list_rows(dialog)), (std::vector<std::string>{"Letter - Word", " "}));

    // The filter text alone changes nothing until it is applied.
    SetDlgItemTextW(dialog, IDC_EDIT_USAGE_PROGRAM, L"*word");
    EXPECT_EQ(list_rows(dialog).size(), 2u);
    click(dialog, IDC_BUTTON_USAGE_APPLY);
    rows = list_rows(dialog);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1], "Letter - Word");
    EXPECT_EQ(rows[1][4], "0 hr 35 min");
    SetDlgItemTextW(dialog, IDC_EDIT_USAGE_PROGRAM, L"word");
    click(dialog, IDC_BUTTON_USAGE_APPLY);
    EXPECT_EQ(list_rows(dialog).size(), 1u) << "without the star the filter is a prefix";

    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(value.settings.start_date, kDay);
    EXPECT_EQ(value.settings.sort, UsageSort::ByProgram);
    EXPECT_EQ(value.settings.program_filter, "word");
    EXPECT_TRUE(value.settings.window.has_value());
    EXPECT_TRUE(errors.empty());
}

TEST_F(UsageLogViewerTest, ViewShowsAnotherFileWithoutThisRunAndKeepsTheListWhenItCannotBeRead) {
    const std::string other = (dir / "VXMar.Log").string();
    append_usage_log(other, std::vector<UsageRecord>{rec("Old", "ann", at(5, 8, 0), 10)}, kCodec);
    value.view_allowed = true;
    int prompts = 0;
    bool pass = false;
    std::string asked_in;
    std::string answer = other;
    value.pass_view_guard = [&] { return ++prompts, pass; };
    value.choose_log_file = [&](const std::string& folder) -> std::optional<std::string> {
        asked_in = folder;
        return answer;
    };
    UsageLogViewer viewer(value);
    HWND dialog = viewer.create_modeless(GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    const auto before = list_rows(dialog);

    click(dialog, IDC_BUTTON_USAGE_VIEW);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(list_rows(dialog), before) << "a refused password views nothing";

    pass = true;
    click(dialog, IDC_BUTTON_USAGE_VIEW);
    EXPECT_EQ(asked_in, dir_of(log));
    EXPECT_EQ(programs(list_rows(dialog)), (std::vector<std::string>{"Old", " "}));
    EXPECT_EQ(viewer.viewed_path(), other);

    // A log another program holds shut cannot be read: the user is told, the list stays.
    HANDLE held = CreateFileW(widen(log).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    answer = log;
    click(dialog, IDC_BUTTON_USAGE_VIEW);
    CloseHandle(held);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(viewer.viewed_path(), other);
    EXPECT_EQ(programs(list_rows(dialog)), (std::vector<std::string>{"Old", " "}));
    DestroyWindow(dialog);
}

// "View" without a chooser of the caller's: the program's file selector, driven as a user would.
struct LogPick {
    std::string answer;  // typed into the file name box; empty: Cancel
    std::string caption, location, filter;
    int asked = 0;
};
LogPick* g_pick = nullptr;

void CALLBACK answer_log_selector(HWND, UINT, UINT_PTR, DWORD) {
    HWND selector = FindWindowW(nullptr, widen(kChooseLogPrompt).c_str());
    if (!selector || !g_pick) return;
    ++g_pick->asked;
    g_pick->caption = narrow_window_text(selector);
    g_pick->location = narrow_window_text(GetDlgItem(selector, IDC_EDIT_LOCATION));
    g_pick->filter = narrow_window_text(GetDlgItem(selector, IDC_EDIT_FILTER));
    if (g_pick->answer.empty()) {
        SetFocus(GetDlgItem(selector, IDCANCEL));
        SendMessageW(selector, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SetDlgItemTextW(selector, IDC_EDIT_FILTER, widen(g_pick->answer).c_str());
    SetFocus(GetDlgItem(selector, IDOK));
    SendMessageW(selector, WM_COMMAND, IDOK, 0);
}

TEST_F(UsageLogViewerTest, ViewAsksWithTheFileSelectorAndHonoursForbiddenExtensions) {
    const std::string other = (dir / "VXMar.Log").string();
    append_usage_log(other, std::vector<UsageRecord>{rec("Old", "ann", at(5, 8, 0), 10)}, kCodec);
    value.view_allowed = true;
    value.drives.fill(0);
    value.forbidden_extensions = "EXE|";
    UsageLogViewer viewer(value);
    HWND dialog = viewer.create_modeless(GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    const auto before = list_rows(dialog);

    LogPick pick;
    g_pick = &pick;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, answer_log_selector);
    // Cancelled: the list stays.
    click(dialog, IDC_BUTTON_USAGE_VIEW);
    EXPECT_EQ(pick.asked, 1);
    EXPECT_EQ(pick.caption, kChooseLogPrompt);
    EXPECT_EQ(pick.filter, kLogFileMask);
    EXPECT_EQ(fold_case(pick.location), fold_case(dir_of(log)));
    EXPECT_EQ(list_rows(dialog), before);

    pick.answer = "VXMar.Log";
    click(dialog, IDC_BUTTON_USAGE_VIEW);
    EXPECT_EQ(pick.asked, 2);
    EXPECT_EQ(fold_case(viewer.viewed_path()), fold_case(other));
    EXPECT_EQ(programs(list_rows(dialog)), (std::vector<std::string>{"Old", " "}));

    // A user who may not open ".Log" files gets nothing from choosing one.
    value.forbidden_extensions = "EXE|LOG|";
    pick.answer = "VX.LOG";
    click(dialog, IDC_BUTTON_USAGE_VIEW);
    EXPECT_EQ(pick.asked, 3);
    EXPECT_EQ(fold_case(viewer.viewed_path()), fold_case(other));
    KillTimer(nullptr, timer);
    g_pick = nullptr;
    DestroyWindow(dialog);
    EXPECT_TRUE(errors.empty());
}

TEST_F(UsageLogViewerTest, ReadsAndWritesTheVXLogSectionAroundAModalRun) {
    const std::wstring key = L"Software\\Halvane\\VantoraTest\\" + std::to_wstring(GetCurrentProcessId());
    shell::RegistrySettingsStore store{key};
    store.write("VXLog", "SortBy", "3");
    store.write("VXLog", "ProgramName", "*e");
    store.write("VXLog", "StartDate", "3/4/2026");
    store.write("VXLog", "EndDate", "3/5/2026");
    store.write("VXLog", "Sections", "60,140,70,70,90");

    // The modal loop dispatches this thread's timer; it reads the list and presses OK.
    static std::vector<std::vector<std::string>> seen;
    seen.clear();
    // A named CALLBACK: on i686 TIMERPROC is __stdcall, which a lambda cannot convert to.
    struct Reader {
        static void CALLBACK run(HWND, UINT, UINT_PTR, DWORD) {
            HWND dialog = FindWindowW(nullptr, L"Vantora! Usage Log");
            if (!dialog || !seen.empty()) return;
            seen = list_rows(dialog);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Reader::run);
    const INT_PTR result =
        show_usage_log_viewer(GetModuleHandleW(nullptr), nullptr, value, store, at(9, 12, 0));
    KillTimer(nullptr, timer);
    EXPECT_EQ(result, IDOK);

    // By user (nobody's first), only programs holding an "e", from the stored dates.
    EXPECT_EQ(programs(seen), (std::vector<std::string>{"Notes", "Letter - Word", "Sheet", "Late", " "}));
    EXPECT_EQ(store.read("VXLog", "SortBy"), "3");
    EXPECT_EQ(store.read("VXLog", "ProgramName"), "*e");
    EXPECT_EQ(store.read("VXLog", "StartDate"), "3/4/2026");
    EXPECT_EQ(store.read("VXLog", "EndDate"), "3/5/2026");
    EXPECT_EQ(store.read("VXLog", "Sections"), "60,140,70,70,90");
    const auto window = store.read("VXLog", "Window");
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(std::count(window->begin(), window->end(), ','), 3);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    EXPECT_TRUE(errors.empty());
}

// For looking at the window: VX_SHOW_USAGE_VIEWER=milliseconds keeps it on screen that long.
TEST_F(UsageLogViewerTest, StaysOnScreenWhenAskedTo) {
    const char* hold = std::getenv("VX_SHOW_USAGE_VIEWER");
    if (!hold) GTEST_SKIP() << "set VX_SHOW_USAGE_VIEWER to look at the window";
    value.view_allowed = true;
    UsageLogViewer viewer(value);
    HWND dialog = viewer.create_modeless(GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(hold));
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
    DestroyWindow(dialog);
}

TEST(UsageLogSession, FlushAppendsTheRunAndReportsAFailureButStillEmptiesTheList) {
    struct Clock final : vx::Clock {
        DateTime now() const override { return make_datetime({2026, 3, 5}, {9, 0, 0}); }
    } clock;
    struct OneWindow final : ProcessApi {
        bool start_process(const StartRequest&, std::string&) override { return false; }
        bool shell_open(const std::string&, const std::string&, ShowState, std::string&) override {
            return false;
        }
        std::string find_executable(const std::string&) override { return {}; }
        std::vector<WindowId> top_level_windows() override { return {7}; }
        WindowId foreground_window() override { return 7; }
        WindowId owner_of(WindowId) override { return 0; }
        std::string window_title(WindowId) override { return "Editor"; }
        std::uint32_t window_thread(WindowId) override { return 42; }
        bool window_exists(WindowId) override { return true; }
        void activate(WindowId) override {}
    } windows;

    const auto dir = std::filesystem::temp_directory_path() /
                     ("vx_usage_session_" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    UsageLogSession session(windows, clock, kCodec, (dir / "VX.LOG").string());
    std::vector<std::string> reports;
    session.set_reporter([&](const std::string& m) { reports.push_back(m); });

    session.tick("");
    ASSERT_EQ(session.gathered().size(), 1u);
    EXPECT_EQ(session.gathered()[0].user, "");
    EXPECT_TRUE(session.flush(nullptr));
    EXPECT_TRUE(session.gathered().empty());
    EXPECT_EQ(read_usage_log(session.log_path(), kCodec).size(), 1u);

    // A folder stands where the log should be.
    session.set_log_path(dir.string());
    session.tick("ann");
    EXPECT_FALSE(session.flush(nullptr));
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_TRUE(session.gathered().empty());
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

}  // namespace
}  // namespace vx::win::security
