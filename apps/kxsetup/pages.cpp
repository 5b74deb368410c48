#include "pages.h"

#include "resource.h"
#include "win_text.h"

namespace kx {
namespace {

using vx::setup::StepResult;

constexpr wchar_t kAgreement[] =
    L"Vantora! licence agreement\r\n\r\n"
    L"This program is licensed, not sold. You may install and use it on the machines of the "
    L"site that acquired it. You may not sell, rent or pass on copies of it, nor take it apart "
    L"other than as the law allows.\r\n\r\n"
    L"The program is provided as it is, without any warranty. Its makers are not liable for "
    L"any loss that arises from its use, as far as the law allows.\r\n\r\n"
    L"Choosing I Agree means that you accept these terms.";

HINSTANCE instance() {
    return GetModuleHandleW(nullptr);
}

std::wstring item_text(HWND dlg, int id) {
    HWND item = GetDlgItem(dlg, id);
    const int n = GetWindowTextLengthW(item);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(item, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

// --- agreement -------------------------------------------------------------------------------

INT_PTR CALLBACK license_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            MoveWindow(GetDlgItem(dlg, IDC_EDIT_AGREEMENT), 10, 30, 380, 200, FALSE);
            SetDlgItemTextW(dlg, IDC_EDIT_AGREEMENT, kAgreement);
            SetFocus(GetDlgItem(dlg, IDOK));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) EndDialog(dlg, IDOK);
            if (LOWORD(wp) == IDCANCEL && ask_terminate(dlg, false)) EndDialog(dlg, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

// --- destination -----------------------------------------------------------------------------

INT_PTR CALLBACK destination_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* dest = reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            SetDlgItemTextW(dlg, IDC_EDIT_DESTINATION, reinterpret_cast<std::wstring*>(lp)->c_str());
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                const std::wstring folder = item_text(dlg, IDC_EDIT_DESTINATION);
                if (!vx::setup::destination_acceptable(narrow(folder))) {
                    MessageBeep(MB_OK);
                    return TRUE;
                }
                std::wstring path = folder;
                while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
                // Create each missing level; a drive root already exists.
                for (size_t i = 3; i <= path.size(); ++i)
                    if (i == path.size() || path[i] == L'\\')
                        CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
                const DWORD attr = GetFileAttributesW(path.c_str());
                if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
                    MessageBoxW(dlg, (L"The folder \"" + path + L"\" could not be created.").c_str(),
                                kProduct, MB_OK | MB_ICONEXCLAMATION);
                    return TRUE;
                }
                *dest = path;
                EndDialog(dlg, IDOK);
            }
            if (LOWORD(wp) == IDCANCEL && ask_terminate(dlg, true)) EndDialog(dlg, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

// --- progress --------------------------------------------------------------------------------

struct ProgressState : vx::setup::SetupUi {
    HWND dlg = nullptr;
    const std::function<StepResult(vx::setup::SetupUi&)>* work = nullptr;
    StepResult result = StepResult::Cancelled;
    int percent = -1;
    bool cancel = false, running = false;

    bool ok_cancel(const std::string& text) override {
        return MessageBoxW(dlg, widen(text).c_str(), kProduct, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
    }
    void message(const std::string& text) override {
        MessageBoxW(dlg, widen(text).c_str(), kProduct, MB_OK | MB_ICONEXCLAMATION);
    }
    void progress(int p) override {
        percent = p;
        HWND frame = GetDlgItem(dlg, IDC_FRAME_PROGRESS);
        InvalidateRect(frame, nullptr, FALSE);
        UpdateWindow(frame);
    }
    bool cancelled() override {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                // Leave the quit for the outer loop; it must not be swallowed here.
                PostQuitMessage(static_cast<int>(m.wParam));
                cancel = true;
                break;
            }
            if (!IsDialogMessageW(dlg, &m)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
        }
        return cancel;
    }
};

void draw_frame(const DRAWITEMSTRUCT& di, int percent) {
    const RECT rc = di.rcItem;
    const int pct = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    const int split = rc.left + (rc.right - rc.left) * pct / 100;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT done{rc.left, rc.top, split, rc.bottom}, rest{split, rc.top, rc.right, rc.bottom};
    FillRect(di.hDC, &done, red);
    FillRect(di.hDC, &rest, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DeleteObject(red);
    FrameRect(di.hDC, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HFONT font =
        CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ old = SelectObject(di.hDC, font);
    SetBkMode(di.hDC, TRANSPARENT);
    SetTextColor(di.hDC, RGB(0, 0, 0));
    const std::wstring text = std::to_wstring(pct) + L"%";
    RECT box = rc;
    DrawTextW(di.hDC, text.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(di.hDC, old);
    DeleteObject(font);
}

constexpr UINT kStartWork = WM_APP + 1;

INT_PTR CALLBACK progress_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* st = reinterpret_cast<ProgressState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            reinterpret_cast<ProgressState*>(lp)->dlg = dlg;
            PostMessageW(dlg, kStartWork, 0, 0);
            return TRUE;
        case kStartWork:
            if (st && !st->running) {
                st->running = true;
                st->result = (*st->work)(*st);
                st->running = false;
                EndDialog(dlg, IDOK);
            }
            return TRUE;
        case WM_DRAWITEM:
            if (st && wp == IDC_FRAME_PROGRESS)
                draw_frame(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), st->percent);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL && st && !st->cancel && ask_terminate(dlg, true)) st->cancel = true;
            return TRUE;
        case WM_CLOSE:
            return TRUE;  // only Cancel, which asks first, stops the work
    }
    return FALSE;
}

// --- group and interface choices -------------------------------------------------------------

INT_PTR CALLBACK group_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* group = reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            SetDlgItemTextW(dlg, IDC_EDIT_GROUP, reinterpret_cast<std::wstring*>(lp)->c_str());
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                const std::wstring name = item_text(dlg, IDC_EDIT_GROUP);
                if (!name.empty()) *group = name;
                EndDialog(dlg, IDOK);
            }
            if (LOWORD(wp) == IDCANCEL) EndDialog(dlg, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

struct ReplaceChoice {
    bool offered = false, shell = false, taskman = false;
};

INT_PTR CALLBACK replace_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* c = reinterpret_cast<ReplaceChoice*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            // Without a replacement in the payload there is nothing to put in its place.
            EnableWindow(GetDlgItem(dlg, IDC_CHECK_TASKMAN), reinterpret_cast<ReplaceChoice*>(lp)->offered);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                c->shell = IsDlgButtonChecked(dlg, IDC_CHECK_SHELL) == BST_CHECKED;
                c->taskman = c->offered && IsDlgButtonChecked(dlg, IDC_CHECK_TASKMAN) == BST_CHECKED;
                EndDialog(dlg, IDOK);
            }
            if (LOWORD(wp) == IDCANCEL) EndDialog(dlg, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

bool ask_terminate(HWND owner, bool exit_caption) {
    const std::wstring caption = exit_caption ? std::wstring(L"Exit ") + kProduct : std::wstring(kProduct);
    return MessageBoxW(owner, L"Do you really want to terminate the Setup program?", caption.c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool license_page(HWND owner) {
    return DialogBoxParamW(instance(), L"LICENSE", owner, license_proc, 0) == IDOK;
}

bool destination_page(HWND owner, std::wstring& destination) {
    return DialogBoxParamW(instance(), L"MAIN", owner, destination_proc,
                           reinterpret_cast<LPARAM>(&destination)) == IDOK;
}

StepResult progress_page(HWND owner, const wchar_t* resource,
                         const std::function<StepResult(vx::setup::SetupUi&)>& work) {
    ProgressState st;
    st.work = &work;
    if (DialogBoxParamW(instance(), resource, owner, progress_proc, reinterpret_cast<LPARAM>(&st)) != IDOK)
        return StepResult::Failed;
    return st.result;
}

bool group_page(HWND owner, std::wstring& group) {
    return DialogBoxParamW(instance(), L"GROUP", owner, group_proc, reinterpret_cast<LPARAM>(&group)) == IDOK;
}

bool replace_page(HWND owner, bool taskman_offered, bool& shell, bool& taskman) {
    ReplaceChoice c;
    c.offered = taskman_offered;
    if (DialogBoxParamW(instance(), L"REPLACE", owner, replace_proc, reinterpret_cast<LPARAM>(&c)) != IDOK)
        return false;
    shell = c.shell;
    taskman = c.taskman;
    return true;
}

}  // namespace kx
