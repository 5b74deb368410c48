#pragma once
// The query window of the command macros: the prompt in a speech balloon beside a picture,
// sized to the prompt, with a text field, a row of choice buttons or plain answer buttons.
// QueryPrompter hands it to core as the Prompter of the launcher.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "port/prompter.h"
#include "win/security/security_dialogs.h"
#include "win/util/window.h"

namespace vx::win::shell {

enum class QueryKind {
    YesNo,     // "&Yes" / "&No"
    OkCancel,  // "Ok" / "Cancel"
    Text,      // a text field, "OK" / "Cancel"
    Choice,    // one button per choice, then "Cancel"
    Wait,      // the message alone, no border icons, no buttons
};

struct QueryRequest {
    QueryKind kind = QueryKind::YesNo;
    std::string caption = "Vantora!";
    std::string prompt;  // "~" and CR LF both break lines
    std::string initial;
    std::vector<std::string> choices;
    // Out: IDOK / IDCANCEL from run(); the text of the field or the chosen button.
    std::string answer;
    std::optional<size_t> chosen;
};

// Where everything goes, in client pixels. Computed from the measured sizes so it can be
// checked without a window.
struct QueryLayout {
    static constexpr int kMargin = 10;
    static constexpr int kPicture = 32;
    static constexpr int kTail = 16;  // room for the balloon's tail
    static constexpr int kPad = 8;    // text inside the balloon
    static constexpr int kGap = 8;
    static constexpr int kChoiceExtra = 14;  // a choice button is its text plus this
    static constexpr int kChoiceHeight = 28;
    static constexpr int kButtonWidth = 75;
    static constexpr int kButtonHeight = 23;
    static constexpr int kEditHeight = 21;
    static constexpr int kMaxTextWidth = 360;
    static constexpr size_t kMaxChoices = 30;

    RECT balloon{};
    RECT text{};
    RECT edit{};                // empty when the kind has no field
    std::vector<RECT> choices;  // Choice: one per choice, in order, wrapping into rows
    std::vector<RECT> buttons;  // the answer buttons (OK/Yes, Cancel/No), or Cancel alone
    SIZE client{};
};

// `text` is the prompt's measured size at kMaxTextWidth; `choice_text` each choice's width.
QueryLayout layout_query(QueryKind kind, SIZE text, const std::vector<int>& choice_text);

// `TQueryForm`.
class TQueryForm : public Dialog {
public:
    explicit TQueryForm(QueryRequest& request) : r_(request) {}
    ~TQueryForm() override;
    // IDOK when answered positively (Yes, Ok, OK, a choice), IDCANCEL otherwise.
    INT_PTR run(HWND owner);
    // The Wait kind: shows itself without blocking; the caller pumps messages and destroys it.
    HWND show_modeless(HWND owner);
    const QueryLayout& layout() const { return layout_; }

protected:
    bool on_init() override;
    bool on_ok() override;
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void arrange();
    void paint(HDC dc);

    QueryRequest& r_;
    QueryLayout layout_;
    std::wstring prompt_;
    HFONT font_ = nullptr;
};

// The shell's prompter for the launcher: the questions, texts and choices of the macros in the
// query window; alerts and secret texts (passwords) go to the shell's ordinary dialogs.
class QueryPrompter final : public Prompter {
public:
    explicit QueryPrompter(std::function<HWND()> owner) : owner_(std::move(owner)) {}

    void alert(const std::string& caption, const std::string& text) override;
    bool ask_yes_no(const std::string& caption, const std::string& question) override;
    bool ask_ok_cancel(const std::string& caption, const std::string& question) override;
    std::optional<std::string> ask_text(const std::string& caption, const std::string& prompt,
                                        const std::string& initial, bool secret) override;
    std::optional<size_t> ask_choice(const std::string& caption, const std::string& prompt,
                                     const std::vector<std::string>& choices) override;
    // Disables the owner, shows the message, lets window messages run for `delay_ms`, and
    // enables the owner again.
    void show_wait(const std::string& message, int delay_ms) override;

private:
    HWND owner() const { return owner_ ? owner_() : nullptr; }
    std::function<HWND()> owner_;
};

}  // namespace vx::win::shell
