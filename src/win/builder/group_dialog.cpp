#include "win/builder/group_dialog.h"

#include "win/builder/builder_ids.h"
#include "win/util/text.h"
#include "win/util/window.h"

namespace vx::win::builder {
namespace {

class TAddGroupForm final : public Dialog {
public:
    TAddGroupForm(const std::vector<vx::builder::GroupListEntry>& entries, std::function<void(int)> help)
        : entries_(entries), help_(std::move(help)) {}

    std::optional<size_t> chosen;

protected:
    bool on_init() override {
        const HWND list = item(IDC_LIST_GROUPS);
        // The list measures its rows before the dialog is bound to this object.
        SendMessageW(list, LB_SETITEMHEIGHT, 0, kGroupRowHeight);
        // In the order the core sorted them; each row keeps its entry's index.
        for (size_t i = 0; i < entries_.size(); ++i) {
            const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0,
                                            reinterpret_cast<LPARAM>(widen(entries_[i].text).c_str()));
            if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
        }
        if (!entries_.empty()) SendMessageW(list, LB_SETCURSEL, 0, 0);
        return true;
    }
    bool on_ok() override {
        const LRESULT at = SendDlgItemMessageW(hwnd(), IDC_LIST_GROUPS, LB_GETCURSEL, 0, 0);
        if (at < 0) return true;
        const auto index = static_cast<size_t>(
            SendDlgItemMessageW(hwnd(), IDC_LIST_GROUPS, LB_GETITEMDATA, static_cast<WPARAM>(at), 0));
        if (index < entries_.size()) chosen = index;
        return true;
    }
    bool on_command(int id, int code, HWND) override {
        if (id == IDHELP) {
            if (help_) help_(kAddProgramGroupHelpTopic);
            return true;
        }
        // A double click is OK.
        if (id == IDC_LIST_GROUPS && code == LBN_DBLCLK) {
            PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
            return true;
        }
        return false;
    }
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        switch (message) {
            case WM_HELP:
                // F1 asks for the form's own context, "&Help" for the topic.
                if (help_) help_(kAddProgramGroupHelpContext);
                return TRUE;
            case WM_MEASUREITEM: {
                auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
                if (m->CtlID != IDC_LIST_GROUPS) break;
                m->itemHeight = kGroupRowHeight;
                return TRUE;
            }
            case WM_DRAWITEM: {
                auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
                if (d->CtlID != IDC_LIST_GROUPS) break;
                draw_row(*d);
                return TRUE;
            }
        }
        return Dialog::handle_message(message, wparam, lparam);
    }

private:
    void draw_row(const DRAWITEMSTRUCT& d) const {
        const bool selected = (d.itemState & ODS_SELECTED) != 0;
        FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        if (d.itemID != static_cast<UINT>(-1) && d.itemData < entries_.size()) {
            const std::string& text = entries_[d.itemData].text;
            // Only the name shows; the path and the count stay behind the bar.
            const std::wstring name = widen(text.substr(0, text.find('|')));
            SetBkMode(d.hDC, TRANSPARENT);
            SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT r = d.rcItem;
            r.left += 2;
            DrawTextW(d.hDC, name.c_str(), static_cast<int>(name.size()), &r,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if (d.itemState & ODS_FOCUS) DrawFocusRect(d.hDC, &d.rcItem);
    }

    const std::vector<vx::builder::GroupListEntry>& entries_;
    std::function<void(int)> help_;
};

}  // namespace

std::optional<size_t> show_add_program_group(HWND owner,
                                             const std::vector<vx::builder::GroupListEntry>& entries,
                                             std::function<void(int topic)> help) {
    TAddGroupForm form(entries, std::move(help));
    if (form.run_modal(GetModuleHandleW(nullptr), IDD_ADD_PROGRAM_GROUP, owner) != IDOK) return std::nullopt;
    return form.chosen;
}

}  // namespace vx::win::builder
