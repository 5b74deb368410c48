#pragma once
// "Desktop Setup": the window options and the shell's own preferences on two tab pages. The
// dialog only moves the values in and out; what OK changes is core's (shell/settings.h) and the
// main window applies it.
#include <windows.h>

#include <functional>
#include <string>

#include "shell/settings.h"
#include "win/util/window.h"
#include "help/topics.h"

namespace vx::win::shell {

struct SetupFormValue {
    // In/out: what the dialog shows, and on OK what the user chose.
    vx::shell::SetupValues values;
    // The TEMP variable's folder: what "Use Windows temp directory" puts in the field.
    std::string windows_temp;
    // Opens a help topic. Unset: the help button does nothing.
    std::function<void(int topic)> show_help;
    // The directory selector, starting at `directory`; true (and the choice in `directory`) on OK.
    std::function<bool(std::string& directory)> browse;
};

class TSetupForm : public Dialog {
public:
    enum Page { kAttributesPage = 0, kDirectoriesPage = 1 };
    // "&Help" on each page, and the pages' own help contexts (F1 or the caption's "?").
    static constexpr int kAttributesHelp = vx::help::kDesktopAttributesTopic;
    static constexpr int kDirectoriesHelp = vx::help::kDirectoriesTopic;
    static constexpr int kAttributesContext = vx::help::kDesktopAttributesContext;
    static constexpr int kDirectoriesContext = vx::help::kDirectoriesContext;

    explicit TSetupForm(SetupFormValue& value) : v_(value) {}
    // IDOK when the values were taken over.
    INT_PTR run(HWND owner);
    Page page() const { return page_; }
    void select_page(Page page);

protected:
    bool on_init() override;
    bool on_ok() override;
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void set_check(int id, bool on) const;
    bool checked(int id) const;
    void update_temp_row() const;
    void help(int topic) const;

    SetupFormValue& v_;
    Page page_ = kAttributesPage;
    // What the field held before "Use Windows temp directory" replaced it, for unticking.
    std::string typed_temp_;
};

}  // namespace vx::win::shell
