#include "win/security/usage_log_viewer.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cmath>
#include <exception>

#include "shell/run_policy.h"
#include "util/datetime.h"
#include "util/file_io.h"
#include "win/dialogs/selector_dialogs.h"
#include "win/security/usage_log_viewer_ids.h"
#include "win/util/handle.h"
#include "win/util/system_locale.h"
#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::security {

using namespace vx::security;

namespace {

constexpr int kColumnCount = 6;
constexpr const wchar_t* kColumnTitles[kColumnCount] = {L"Date", L"Program Name", L"In",
                                                        L"Out",  L"Used",         L"User"};
constexpr int kUserColumnWidth = 100;

std::vector<std::wstring> split_columns(const std::string& row) {
    std::vector<std::wstring> out;
    std::size_t start = 0;
    while (true) {
        const auto bar = row.find('|', start);
        out.push_back(
            widen(std::string_view(row).substr(start, bar == std::string::npos ? bar : bar - start)));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return out;
}

RECT child_rect(HWND dialog, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

INT_PTR UsageLogViewer::run(HINSTANCE instance, HWND owner) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    return run_modal(instance, IDD_USAGE_LOG_VIEWER, owner);
}

HWND UsageLogViewer::create_modeless(HINSTANCE instance, HWND owner) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    return Dialog::create_modeless(instance, MAKEINTRESOURCEW(IDD_USAGE_LOG_VIEWER), owner);
}

bool UsageLogViewer::on_init() {
    const auto& s = value_.settings;
    HWND list = item(IDC_LIST_USAGE_LOG);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int i = 0; i < kColumnCount; ++i) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<wchar_t*>(kColumnTitles[i]);
        col.cx = i < 5 ? s.sections[static_cast<std::size_t>(i)] : kUserColumnWidth;
        col.iSubItem = i;
        ListView_InsertColumn(list, i, &col);
    }

    HWND users = item(IDC_COMBO_USAGE_USER);
    SendMessageW(users, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"ALL"));
    for (const auto& u : value_.users)
        SendMessageW(users, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(u).c_str()));
    SendMessageW(users, CB_SETCURSEL, 0, 0);

    const int radio = s.sort == UsageSort::ByUser      ? IDC_RADIO_USAGE_USER
                      : s.sort == UsageSort::ByProgram ? IDC_RADIO_USAGE_PROGRAM
                                                       : IDC_RADIO_USAGE_DATE;
    CheckRadioButton(hwnd(), IDC_RADIO_USAGE_DATE, IDC_RADIO_USAGE_PROGRAM, radio);

    SYSTEMTIME from = to_systemtime(s.start_date), to = to_systemtime(s.end_date);
    DateTime_SetSystemtime(item(IDC_DATE_USAGE_FROM), GDT_VALID, &from);
    DateTime_SetSystemtime(item(IDC_DATE_USAGE_TO), GDT_VALID, &to);
    set_item_text(IDC_EDIT_USAGE_PROGRAM, s.program_filter);
    if (!value_.view_allowed) ShowWindow(item(IDC_BUTTON_USAGE_VIEW), SW_HIDE);

    add_hints();

    RECT client{};
    GetClientRect(hwnd(), &client);
    base_ = {client.right, client.bottom};
    list_rect_ = child_rect(hwnd(), list);
    for (int id : {IDC_BUTTON_USAGE_VIEW, IDC_BUTTON_USAGE_PRINT})
        bottom_left_.push_back({id, child_rect(hwnd(), item(id))});
    for (int id : {IDOK, IDC_BUTTON_USAGE_HELP}) bottom_right_.push_back({id, child_rect(hwnd(), item(id))});

    if (s.window) {
        const auto& w = *s.window;
        SetWindowPos(hwnd(), nullptr, w.left, w.top, w.width, w.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // A log that cannot be read still opens the viewer, with this run's records alone.
    if (!load(value_.log_path, false)) {
        viewed_path_ = value_.log_path;
        view_ = UsageView{};
        fill_list();
    }
    return true;
}

void UsageLogViewer::add_hints() {
    // Owned by the dialog, so it goes when the dialog goes.
    HWND tips =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, nullptr, nullptr);
    if (!tips) return;
    const std::pair<int, const wchar_t*> hints[] = {
        {IDC_BUTTON_USAGE_APPLY, L"Apply the accompanying text string to the log"},
        {IDC_BUTTON_USAGE_VIEW, L"View another log file (does not change the current log)"},
        {IDC_BUTTON_USAGE_PRINT, L"Prints portions of the log depending on the search criteria"},
    };
    for (const auto& [id, text] : hints) {
        TTTOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every common-controls version
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd();
        ti.uId = reinterpret_cast<UINT_PTR>(item(id));
        ti.lpszText = const_cast<wchar_t*>(text);
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

bool UsageLogViewer::on_ok() {
    keep_settings();
    return true;
}

void UsageLogViewer::on_cancel() {
    keep_settings();
}

void UsageLogViewer::keep_settings() {
    auto& s = value_.settings;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (GetWindowPlacement(hwnd(), &wp)) {
        const RECT& r = wp.rcNormalPosition;
        s.window = WindowBounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    for (int i = 0; i < 5; ++i)
        s.sections[static_cast<std::size_t>(i)] = ListView_GetColumnWidth(item(IDC_LIST_USAGE_LOG), i);
    s.sort = checked_sort();
    s.program_filter = item_text(IDC_EDIT_USAGE_PROGRAM);
    s.start_date = picker_day(IDC_DATE_USAGE_FROM);
    s.end_date = picker_day(IDC_DATE_USAGE_TO);
}

UsageSort UsageLogViewer::checked_sort() const {
    if (IsDlgButtonChecked(hwnd(), IDC_RADIO_USAGE_USER) == BST_CHECKED) return UsageSort::ByUser;
    if (IsDlgButtonChecked(hwnd(), IDC_RADIO_USAGE_PROGRAM) == BST_CHECKED) return UsageSort::ByProgram;
    return UsageSort::ByDate;
}

DateTime UsageLogViewer::picker_day(int id) const {
    SYSTEMTIME st{};
    if (DateTime_GetSystemtime(item(id), &st) != GDT_VALID || !valid_date(st.wYear, st.wMonth, st.wDay))
        return value_.settings.start_date;
    return make_datetime(CivilDate{st.wYear, st.wMonth, st.wDay});
}

UsageQuery UsageLogViewer::query() const {
    UsageQuery q;
    q.first_day = picker_day(IDC_DATE_USAGE_FROM);
    q.last_day = picker_day(IDC_DATE_USAGE_TO);
    q.program_filter = value_.settings.program_filter;
    HWND users = item(IDC_COMBO_USAGE_USER);
    const auto sel = SendMessageW(users, CB_GETCURSEL, 0, 0);
    if (sel > 0 && static_cast<std::size_t>(sel) <= value_.users.size())
        q.user = value_.users[static_cast<std::size_t>(sel - 1)];
    q.sort = checked_sort();
    return q;
}

bool UsageLogViewer::load(const std::string& path, bool other_file) {
    try {
        auto view = load_usage_view(path, *value_.codec, value_.gathered, other_file, query());
        view_ = std::move(view);
        viewed_path_ = path;
        other_file_ = other_file;
    } catch (const std::exception& e) {
        report(e.what());
        return false;
    }
    fill_list();
    return true;
}

void UsageLogViewer::fill_list() {
    total_columns_ = split_columns(usage_total_text(view_.total));
    // The list asks for its texts row by row, so a year's log needs no copy of every text.
    ListView_SetItemCountEx(item(IDC_LIST_USAGE_LOG), static_cast<int>(view_.rows.size() + 1), 0);
    InvalidateRect(item(IDC_LIST_USAGE_LOG), nullptr, TRUE);
}

void UsageLogViewer::report(const std::string& message) {
    if (value_.report_error) {
        value_.report_error(message);
        return;
    }
    MessageBoxW(hwnd(), widen(message).c_str(), widen(kUsageLogTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool UsageLogViewer::on_command(int id, int code, HWND) {
    switch (id) {
        case IDC_COMBO_USAGE_USER:
            if (code == CBN_SELCHANGE) load(viewed_path_, other_file_);
            return true;
        case IDC_RADIO_USAGE_DATE:
        case IDC_RADIO_USAGE_USER:
        case IDC_RADIO_USAGE_PROGRAM:
            if (code == BN_CLICKED) load(viewed_path_, other_file_);
            return true;
        case IDC_BUTTON_USAGE_APPLY:
            value_.settings.program_filter = item_text(IDC_EDIT_USAGE_PROGRAM);
            load(viewed_path_, other_file_);
            return true;
        case IDC_BUTTON_USAGE_VIEW:
            on_view();
            return true;
        case IDC_BUTTON_USAGE_PRINT:
            on_print();
            return true;
        case IDC_BUTTON_USAGE_HELP:
            if (value_.show_help) value_.show_help(kUsageLogHelpTopic);
            return true;
        default:
            return false;
    }
}

void UsageLogViewer::on_view() {
    if (!value_.view_allowed) return;
    if (value_.pass_view_guard && !value_.pass_view_guard()) return;
    const std::string folder = dir_of(value_.log_path);
    const auto chosen = value_.choose_log_file ? value_.choose_log_file(folder)
                                               : choose_log_file_with_selector(hwnd(), folder, value_);
    if (!chosen || chosen->empty()) return;
    load(*chosen, true);
}

void UsageLogViewer::on_print() {
    PRINTDLGW pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = hwnd();
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
    if (!PrintDlgW(&pd)) return;
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    // The printer's DC is ours to delete, also when laying out or printing throws.
    const unique_memory_dc printer(pd.hDC);
    if (!printer) return;
    const HDC dc = printer.get();

    UsagePrintMetrics m;
    m.pixels_per_inch_x = GetDeviceCaps(dc, LOGPIXELSX);
    m.pixels_per_inch_y = GetDeviceCaps(dc, LOGPIXELSY);
    m.page_height = GetDeviceCaps(dc, VERTRES);
    const std::wstring title = widen(kUsageLogTitle);
    SIZE extent{};
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &extent);
    m.line_height = extent.cy;
    for (int i = 0; i < 5; ++i)
        m.column_widths[static_cast<std::size_t>(i)] = ListView_GetColumnWidth(item(IDC_LIST_USAGE_LOG), i);

    const bool printed = print_usage_layout(dc, layout_usage_print(view_, *value_.locale, m));
    if (!printed) report("The usage log could not be printed.");
}

void UsageLogViewer::layout(int width, int height) {
    if (base_.cx == 0) return;  // before the controls exist
    const int dw = width - base_.cx, dh = height - base_.cy;
    auto place = [&](int id, const RECT& r, int dx, int dy, int grow_w, int grow_h) {
        SetWindowPos(item(id), nullptr, r.left + dx, r.top + dy, std::max(0L, r.right - r.left + grow_w),
                     std::max(0L, r.bottom - r.top + grow_h), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_LIST_USAGE_LOG, list_rect_, 0, 0, dw, dh);
    for (const auto& [id, r] : bottom_left_) place(id, r, 0, dh, 0, 0);
    for (const auto& [id, r] : bottom_right_) place(id, r, dw, dh, 0, 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

INT_PTR UsageLogViewer::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            if (wparam != SIZE_MINIMIZED) layout(LOWORD(lparam), HIWORD(lparam));
            return FALSE;
        case WM_GETMINMAXINFO: {
            // Smaller than the template would hide the filters under one another.
            if (base_.cx == 0) return FALSE;
            RECT r{0, 0, base_.cx, base_.cy};
            AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_STYLE)), FALSE,
                               static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_EXSTYLE)));
            auto* mm = reinterpret_cast<MINMAXINFO*>(lparam);
            mm->ptMinTrackSize = {(r.right - r.left) / 2, (r.bottom - r.top) / 2};
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lparam);
            if (hdr->idFrom == IDC_LIST_USAGE_LOG && hdr->code == LVN_GETDISPINFOW) {
                auto* di = reinterpret_cast<NMLVDISPINFOW*>(lparam);
                if (!(di->item.mask & LVIF_TEXT) || !di->item.pszText || di->item.cchTextMax <= 0)
                    return TRUE;
                const auto row = static_cast<std::size_t>(di->item.iItem);
                const auto col = static_cast<std::size_t>(di->item.iSubItem);
                cell_.clear();
                if (row < view_.rows.size()) {
                    const auto cols = usage_row_columns(view_.rows[row], *value_.locale);
                    if (col < cols.size()) cell_ = widen(cols[col]);
                } else if (row == view_.rows.size() && col < total_columns_.size()) {
                    cell_ = total_columns_[col];
                }
                lstrcpynW(di->item.pszText, cell_.c_str(), di->item.cchTextMax);
                return TRUE;
            }
            if ((hdr->idFrom == IDC_DATE_USAGE_FROM || hdr->idFrom == IDC_DATE_USAGE_TO) &&
                hdr->code == DTN_DATETIMECHANGE) {
                load(viewed_path_, other_file_);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return Dialog::handle_message(message, wparam, lparam);
    }
}

std::optional<std::string> choose_log_file_with_selector(HWND owner, const std::string& folder,
                                                         const UsageViewerValue& value) {
    std::string start = folder;
    std::string file;
    // The file is required: "View" has nothing to show without one.
    if (!select_file(owner, kChooseLogPrompt, start, kLogFileMask, value.restricted_dirs, value.drives, true,
                     false, file))
        return std::nullopt;
    vx::shell::RunRestrictions limits;
    limits.forbidden_extensions = value.forbidden_extensions;
    const auto dot = file.find_last_of(".\\");
    const std::string ext =
        dot != std::string::npos && file[dot] == '.' ? file.substr(dot + 1) : std::string{};
    if (limits.extension_forbidden(ext)) return std::nullopt;
    return file;
}

bool print_usage_layout(HDC printer, const UsagePrintLayout& layout) {
    const std::wstring title = widen(kUsageLogTitle);
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    if (StartDocW(printer, &doc) <= 0) return false;
    for (const auto& page : layout.pages) {
        if (StartPage(printer) <= 0) {
            AbortDoc(printer);
            return false;
        }
        for (const auto& t : page) {
            const std::wstring text = widen(t.text);
            TextOutW(printer, t.x, t.y, text.c_str(), static_cast<int>(text.size()));
        }
        if (EndPage(printer) <= 0) {
            AbortDoc(printer);
            return false;
        }
    }
    return EndDoc(printer) > 0;
}

INT_PTR show_usage_log_viewer(HINSTANCE instance, HWND owner, UsageViewerValue& value, SettingsStore& store,
                              DateTime today) {
    try {
        value.settings = read_usage_viewer_settings(store, *value.locale, today);
    } catch (const std::exception& e) {
        // Unreadable settings are not a reason to withhold the log: the defaults stand in.
        log(LogLevel::Warning, std::string("usage log viewer settings: ") + e.what());
        value.settings = UsageViewerSettings{};
        value.settings.start_date = value.settings.end_date = date_only(today);
    }
    UsageLogViewer viewer(value);
    const INT_PTR result = viewer.run(instance, owner);
    if (result == -1) return result;
    try {
        write_usage_viewer_settings(store, *value.locale, value.settings);
    } catch (const std::exception& e) {
        if (value.report_error)
            value.report_error(e.what());
        else
            MessageBoxW(owner, widen(e.what()).c_str(), widen(kUsageLogTitle).c_str(),
                        MB_OK | MB_ICONEXCLAMATION);
    }
    return result;
}

}  // namespace vx::win::security
