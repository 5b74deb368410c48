#pragma once
// The program's own help window: the topics compiled into the program (core/help), shown in a
// rich edit control with the title in bold, headings, bullets and links between topics, and
// "&Back" and "&Contents" buttons. Nothing in it leads to a file, a printer or an address: the
// only links are topic numbers, the controls have no context menu, and the text is read-only.
// When no rich edit control can be made, the topic's plain text is shown in an edit control,
// with the same two buttons.
//
// One window at a time, reused: each topic opened replaces the one shown, which Back returns
// to. It is owned by the window that opens it, which keeps it above that window; a modal
// dialog disables only its own owner, so the help accepts input while a dialog is up.
#include <windows.h>

#include <string>
#include <vector>

#include "win/util/modeless.h"
#include "win/util/window.h"

namespace vx::win::help {

enum : int {
    IDC_EDIT_HELP_TEXT = 8001,
    IDC_BUTTON_HELP_BACK = 8002,
    IDC_BUTTON_HELP_CONTENTS = 8003,
};

class THelpWindow final : public Window {
public:
    static constexpr const wchar_t* kClassName = L"TVantoraHelp";
    static constexpr const wchar_t* kCaption = L"Vantora! Help";

    // `rich_text` false shows plain text from the start (the path taken when no rich edit
    // control can be made).
    explicit THelpWindow(bool rich_text = true) : want_rich_(rich_text) {}
    ~THelpWindow() override;

    // Shows `topic` (a number without a topic shows the contents), making the window when there
    // is none, and brings it to the front. False only when the window could not be made.
    bool show(HWND owner, int topic);
    void back();
    void contents();

    // The topic shown (a form's context is shown as its form's topic); 0 before the first.
    int topic() const { return shown_; }
    bool can_go_back() const { return !history_.empty(); }
    // Whether the topic is shown in a rich edit control (else in a plain edit control).
    bool rich() const { return rich_; }
    HWND text_control() const { return text_; }
    // The shown links: where each lies in the control's text and the topic it leads to.
    struct Link {
        LONG first, last;  // character positions, last excluded
        int topic;
    };
    const std::vector<Link>& links() const { return links_; }

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool on_create(const CREATESTRUCTW&) override;
    bool on_command(int id, int code, HWND control) override;
    void on_size(UINT kind, int width, int height) override;
    void on_destroy() override;

private:
    static constexpr UINT kGoMessage = WM_APP + 1;
    void go(int topic);
    void display(int topic);
    void make_text_control();

    bool want_rich_;
    bool rich_ = false;
    HWND text_ = nullptr;
    HWND back_button_ = nullptr;
    HWND contents_button_ = nullptr;
    int shown_ = 0;
    std::vector<int> history_;
    std::vector<Link> links_;
    ModelessRegistration keys_;
};

}  // namespace vx::win::help
