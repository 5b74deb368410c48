#include "win/shell/query_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/security/dialog_script.h"
#include "win/shell/launch_ids.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

using security::testing::Scripted;

int width(const RECT& r) {
    return r.right - r.left;
}
int height(const RECT& r) {
    return r.bottom - r.top;
}
bool inside(const RECT& inner, SIZE client) {
    return inner.left >= 0 && inner.top >= 0 && inner.right <= client.cx && inner.bottom <= client.cy;
}
bool overlap(const RECT& a, const RECT& b) {
    RECT x;
    return IntersectRect(&x, &a, &b) != FALSE;
}

TEST(QueryLayout, BalloonGrowsWithThePromptAndEverythingFitsWithoutOverlap) {
    const QueryLayout small = layout_query(QueryKind::Text, SIZE{60, 13}, {});
    const QueryLayout tall = layout_query(QueryKind::Text, SIZE{300, 65}, {});
    EXPECT_LT(width(small.balloon), width(tall.balloon));
    EXPECT_LT(height(small.balloon), height(tall.balloon));
    EXPECT_LT(small.client.cy, tall.client.cy);
    EXPECT_EQ(width(tall.text), 300);
    // A prompt wider than the limit is wrapped by the caller's measurement, never wider.
    EXPECT_EQ(width(layout_query(QueryKind::YesNo, SIZE{2000, 13}, {}).text), QueryLayout::kMaxTextWidth);

    for (const QueryLayout& l : {small, tall}) {
        ASSERT_EQ(l.buttons.size(), 2u);
        EXPECT_TRUE(inside(l.balloon, l.client));
        EXPECT_TRUE(inside(l.edit, l.client));
        EXPECT_GE(l.edit.top, l.balloon.bottom);
        for (const RECT& b : l.buttons) {
            EXPECT_TRUE(inside(b, l.client));
            EXPECT_GE(b.top, l.edit.bottom);
        }
        EXPECT_FALSE(overlap(l.buttons[0], l.buttons[1]));
    }
}

TEST(QueryLayout, ChoicesAreTheirTextPlusFourteenAndWrapIntoRows) {
    const std::vector<int> texts(12, 80);
    const QueryLayout l = layout_query(QueryKind::Choice, SIZE{100, 13}, texts);
    ASSERT_EQ(l.choices.size(), 12u);
    ASSERT_EQ(l.buttons.size(), 1u);  // Cancel alone
    EXPECT_TRUE(IsRectEmpty(&l.edit));
    int rows = 1;
    for (size_t i = 0; i < l.choices.size(); ++i) {
        EXPECT_EQ(width(l.choices[i]), 80 + 14);
        EXPECT_EQ(height(l.choices[i]), 28);
        EXPECT_TRUE(inside(l.choices[i], l.client));
        EXPECT_FALSE(overlap(l.choices[i], l.buttons[0]));
        if (i > 0 && l.choices[i].top > l.choices[i - 1].top) ++rows;
        for (size_t j = 0; j < i; ++j) EXPECT_FALSE(overlap(l.choices[i], l.choices[j])) << i << " " << j;
    }
    EXPECT_GT(rows, 1);
    // At most thirty.
    EXPECT_EQ(layout_query(QueryKind::Choice, SIZE{100, 13}, std::vector<int>(40, 20)).choices.size(), 30u);
    // The message of the wait window stands alone.
    const QueryLayout wait = layout_query(QueryKind::Wait, SIZE{100, 13}, {});
    EXPECT_TRUE(wait.buttons.empty());
    EXPECT_TRUE(inside(wait.balloon, wait.client));
}

struct Outcome {
    INT_PTR result = 0;
    std::string ok_text, cancel_text, edit_text;
    bool edit_visible = false, ok_visible = false;
    std::vector<std::string> choice_labels;
    RECT window{};
};

Outcome run_scripted(QueryRequest& request, const std::function<void(Scripted<TQueryForm>&)>& act) {
    Outcome o;
    Scripted<TQueryForm> form(request);
    form.script = [&](Scripted<TQueryForm>& f) {
        o.ok_text = f.text(IDOK);
        o.cancel_text = f.text(IDCANCEL);
        o.edit_text = f.text(IDC_QUERY_EDIT);
        o.edit_visible = f.visible(IDC_QUERY_EDIT);
        o.ok_visible = f.visible(IDOK);
        for (int id = IDC_QUERY_CHOICE; id <= IDC_QUERY_CHOICE_LAST && f.control(id); ++id)
            o.choice_labels.push_back(f.text(id));
        GetWindowRect(f.hwnd(), &o.window);
        act(f);
    };
    o.result = form.run(nullptr);
    return o;
}

TEST(QueryForm, TextFieldStartsWithTheDefaultAndGivesWhatWasTyped) {
    QueryRequest r;
    r.kind = QueryKind::Text;
    r.prompt = "PLEASE ENTER~THE DESIRED TEXT:";
    r.initial = "REPORT.TXT";
    const Outcome o = run_scripted(r, [](auto& f) {
        f.type(IDC_QUERY_EDIT, "marks 2026");
        f.press(IDOK);
    });
    EXPECT_EQ(o.result, IDOK);
    EXPECT_EQ(o.edit_text, "REPORT.TXT");
    EXPECT_TRUE(o.edit_visible);
    EXPECT_EQ(r.answer, "marks 2026");

    QueryRequest cancelled = r;
    cancelled.answer.clear();
    EXPECT_EQ(run_scripted(cancelled, [](auto& f) { f.press(IDCANCEL); }).result, IDCANCEL);
    EXPECT_TRUE(cancelled.answer.empty());
}

TEST(QueryForm, ChoiceButtonsShowEachTextAndTheChosenOneAnswers) {
    QueryRequest r;
    r.kind = QueryKind::Choice;
    r.prompt = "CHOOSE ONE:";
    r.choices = {"CHOICE 1", "R&D", "A|B"};
    const Outcome o = run_scripted(r, [](auto& f) { f.press(IDC_QUERY_CHOICE + 1); });
    EXPECT_EQ(o.result, IDOK);
    EXPECT_EQ(o.choice_labels, (std::vector<std::string>{"CHOICE 1", "R&&D", "A|B"}));
    EXPECT_FALSE(o.ok_visible);
    EXPECT_FALSE(o.edit_visible);
    ASSERT_TRUE(r.chosen.has_value());
    EXPECT_EQ(*r.chosen, 1u);
    EXPECT_EQ(r.answer, "R&D");

    // Enter on the window (not on a choice) answers nothing; Cancel cancels.
    QueryRequest again = r;
    again.chosen.reset();
    const Outcome c = run_scripted(again, [](auto& f) {
        f.press(IDOK);
        f.press(IDCANCEL);
    });
    EXPECT_EQ(c.result, IDCANCEL);
    EXPECT_FALSE(again.chosen.has_value());
}

TEST(QueryForm, QuestionsNameTheirButtonsAndALongerPromptMakesABiggerWindow) {
    QueryRequest yes_no;
    yes_no.kind = QueryKind::YesNo;
    yes_no.prompt = "DO YOU WANT TO CONTINUE?";
    const Outcome a = run_scripted(yes_no, [](auto& f) { f.press(IDOK); });
    EXPECT_EQ(a.result, IDOK);
    EXPECT_EQ(a.ok_text, "&Yes");
    EXPECT_EQ(a.cancel_text, "&No");

    QueryRequest ok_cancel;
    ok_cancel.kind = QueryKind::OkCancel;
    ok_cancel.prompt = "CONTINUE?~" + std::string(300, 'W') + "~THIRD LINE~FOURTH LINE";
    const Outcome b = run_scripted(ok_cancel, [](auto& f) { f.press(IDCANCEL); });
    EXPECT_EQ(b.result, IDCANCEL);
    EXPECT_EQ(b.ok_text, "Ok");
    EXPECT_EQ(b.cancel_text, "Cancel");
    EXPECT_GT(b.window.bottom - b.window.top, a.window.bottom - a.window.top);
    EXPECT_GT(b.window.right - b.window.left, a.window.right - a.window.left);
}

// Answers the next query window of this thread from inside its modal loop.
struct AutoAnswer {
    static inline int press = 0;
    static inline std::string type;
    static inline std::string seen_caption;
    static inline bool owner_enabled_while_shown = true;
    static inline HWND owner = nullptr;

    static BOOL CALLBACK find(HWND w, LPARAM out) {
        wchar_t cls[32] = {};
        GetClassNameW(w, cls, 32);
        if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w)) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), find, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        KillTimer(nullptr, id);
        wchar_t caption[128] = {};
        GetWindowTextW(dialog, caption, 128);
        seen_caption = narrow(caption);
        if (owner) owner_enabled_while_shown = IsWindowEnabled(owner) != FALSE;
        if (!type.empty()) SetDlgItemTextW(dialog, IDC_QUERY_EDIT, widen(type).c_str());
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), 0);
    }
    static void arm(int id, std::string text = {}) {
        press = id;
        type = std::move(text);
        seen_caption.clear();
        SetTimer(nullptr, 0, 30, tick);
    }
};

TEST(QueryPrompter, AsksThroughTheQueryWindowOwnedByTheMainWindow) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(main, nullptr);
    int owner_asked = 0;
    QueryPrompter prompter([&] {
        ++owner_asked;
        return main;
    });

    AutoAnswer::owner = main;
    AutoAnswer::arm(IDCANCEL);
    EXPECT_FALSE(prompter.ask_yes_no("Vantora!", "DO YOU WANT TO CONTINUE?"));
    EXPECT_EQ(AutoAnswer::seen_caption, "Vantora!");
    EXPECT_FALSE(AutoAnswer::owner_enabled_while_shown);  // modal to the main window
    AutoAnswer::arm(IDOK);
    EXPECT_TRUE(prompter.ask_yes_no("Vantora!", "DO YOU WANT TO CONTINUE?"));
    AutoAnswer::arm(IDOK);
    EXPECT_TRUE(prompter.ask_ok_cancel("Vantora!", "CONTINUE?"));

    AutoAnswer::arm(IDOK, "SMITH");
    EXPECT_EQ(prompter.ask_text("Vantora!", "NAME:", "X", false), std::optional<std::string>("SMITH"));
    AutoAnswer::arm(IDCANCEL);
    EXPECT_EQ(prompter.ask_text("Vantora!", "NAME:", "X", false), std::nullopt);

    AutoAnswer::arm(IDC_QUERY_CHOICE + 2);
    EXPECT_EQ(prompter.ask_choice("Vantora!", "CHOOSE ONE:", {"A", "B", "C"}), std::optional<size_t>(2));
    AutoAnswer::arm(IDCANCEL);
    EXPECT_EQ(prompter.ask_choice("Vantora!", "CHOOSE ONE:", {"A", "B"}), std::nullopt);
    // No choices: nothing to show, nothing chosen.
    EXPECT_EQ(prompter.ask_choice("Vantora!", "CHOOSE ONE:", {}), std::nullopt);
    EXPECT_GT(owner_asked, 0);
    DestroyWindow(main);
}

TEST(QueryPrompter, WaitDisablesTheMainWindowForTheDelayAndLetsMessagesRun) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(main, nullptr);
    QueryPrompter prompter([&] { return main; });

    static bool enabled_during = true, timer_ran = false, wait_shown = false;
    enabled_during = true;
    timer_ran = false;
    wait_shown = false;
    static HWND main_seen = nullptr;
    main_seen = main;
    // A named CALLBACK: on i686 TIMERPROC is __stdcall, which a lambda cannot convert to.
    struct Probe {
        static void CALLBACK run(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            timer_ran = true;
            enabled_during = IsWindowEnabled(main_seen) != FALSE;
            HWND dialog = nullptr;
            EnumThreadWindows(GetCurrentThreadId(), AutoAnswer::find, reinterpret_cast<LPARAM>(&dialog));
            wait_shown = dialog && !(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU);
        }
    };
    SetTimer(nullptr, 0, 50, Probe::run);
    const DWORD start = GetTickCount();
    prompter.show_wait("PLEASE WAIT...", 300);
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 280u);
    EXPECT_TRUE(timer_ran);
    EXPECT_FALSE(enabled_during);
    EXPECT_TRUE(wait_shown);
    EXPECT_TRUE(IsWindowEnabled(main));
    HWND left = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), AutoAnswer::find, reinterpret_cast<LPARAM>(&left));
    EXPECT_EQ(left, nullptr);
    // A negative delay waits for nothing.
    prompter.show_wait("X", -5);
    EXPECT_TRUE(IsWindowEnabled(main));
    DestroyWindow(main);
}

}  // namespace
}  // namespace vx::win::shell
