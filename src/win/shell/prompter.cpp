#include "win/shell/prompter.h"

#include <cstring>
#include <vector>

#include "win/util/text.h"
#include "win/util/window.h"

namespace vx::win::shell {
namespace {

// Core texts break lines with a single CR; message boxes want CR LF.
std::wstring box_text(const std::string& text) {
    std::wstring w;
    for (wchar_t c : widen(text)) {
        w += c;
        if (c == L'\r') w += L'\n';
    }
    // A CR LF pair in the input must not become CR LF LF.
    std::wstring out;
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i] == L'\n' && i >= 2 && w[i - 1] == L'\n' && w[i - 2] == L'\r') continue;
        out += w[i];
    }
    return out;
}

constexpr int kIdEdit = 2001;
constexpr int kIdPrompt = 2002;

// Builds a DLGTEMPLATE with its items in one aligned buffer.
class TemplateBuilder {
public:
    void header(const std::wstring& caption, short cx, short cy, WORD items) {
        // Field by field: the packed layouts of the template structures differ between headers.
        dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        dword(0);
        word(items);
        for (short v : {short(0), short(0), cx, cy}) word(static_cast<WORD>(v));
        word(0);  // no menu
        word(0);  // default class
        text(caption);
        word(8);
        text(L"MS Shell Dlg");
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls,
              const std::wstring& caption) {
        align(4);
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        for (short v : {x, y, cx, cy}) word(static_cast<WORD>(v));
        word(id);
        word(0xFFFF);
        word(cls);
        text(caption);
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(buf_.data()); }

private:
    void raw(const void* p, size_t n) {
        const auto* b = static_cast<const BYTE*>(p);
        buf_.insert(buf_.end(), b, b + n);
    }
    void word(WORD w) { raw(&w, sizeof w); }
    void dword(DWORD d) { raw(&d, sizeof d); }
    void text(const std::wstring& s) { raw(s.c_str(), (s.size() + 1) * sizeof(wchar_t)); }
    void align(size_t n) {
        while (buf_.size() % n) buf_.push_back(0);
    }
    std::vector<BYTE> buf_;
};

class TextDialog final : public Dialog {
public:
    TextDialog(std::string prompt, std::string initial)
        : prompt_(std::move(prompt)), text_(std::move(initial)) {}
    const std::string& text() const { return text_; }

protected:
    bool on_init() override {
        set_item_text(kIdPrompt, prompt_);
        set_item_text(kIdEdit, text_);
        SendMessageW(item(kIdEdit), EM_SETSEL, 0, -1);
        return true;  // the edit is the first tab stop and takes the focus
    }
    bool on_ok() override {
        text_ = item_text(kIdEdit);
        return true;
    }

private:
    std::string prompt_;
    std::string text_;
};

}  // namespace

void Win32Prompter::alert(const std::string& caption, const std::string& text) {
    MessageBoxW(owner_, box_text(text).c_str(), widen(caption).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool Win32Prompter::ask_yes_no(const std::string& caption, const std::string& question) {
    return MessageBoxW(owner_, box_text(question).c_str(), widen(caption).c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Win32Prompter::ask_ok_cancel(const std::string& caption, const std::string& question) {
    return MessageBoxW(owner_, box_text(question).c_str(), widen(caption).c_str(),
                       MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

std::optional<std::string> Win32Prompter::ask_text(const std::string& caption, const std::string& prompt,
                                                   const std::string& initial, bool secret) {
    TemplateBuilder t;
    t.header(widen(caption), 220, 70, 4);
    t.item(SS_LEFT, 7, 7, 206, 18, kIdPrompt, 0x0082, L"");
    t.item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | (secret ? ES_PASSWORD : 0), 7, 28, 206, 12, kIdEdit,
           0x0081, L"");
    t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 49, 50, 14, IDOK, 0x0080, L"OK");
    t.item(BS_PUSHBUTTON | WS_TABSTOP, 163, 49, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    TextDialog dialog(prompt, initial);
    if (dialog.run_modal(t.get(), owner_) != IDOK) return std::nullopt;
    return dialog.text();
}

std::optional<size_t> Win32Prompter::ask_choice(const std::string&, const std::string&,
                                                const std::vector<std::string>&) {
    // No caller in the shell's run mode asks for a choice yet; the real dialog arrives with it.
    return std::nullopt;
}

}  // namespace vx::win::shell
