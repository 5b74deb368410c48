#pragma once
// The usage log viewer "Vantora! Usage Log": the records of the log and of this run, filtered,
// sorted and totalled by the core query, shown in a list, printed, and its settings kept in the
// "VXLog" section.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/location.h"
#include "port/locale.h"
#include "port/settings_store.h"
#include "port/text_codec.h"
#include "security/usage_log_print.h"
#include "security/usage_log_view.h"
#include "win/util/window.h"
#include "help/topics.h"

namespace vx::win::security {

// What the viewer is opened with. `settings` comes back as the window was left.
struct UsageViewerValue {
    vx::security::UsageViewerSettings settings;
    std::string log_path;                                 // the current usage log
    // This run's records, not yet flushed: a copy, since the main window's timer goes on
    // gathering (and flushing) while the viewer is open.
    std::vector<vx::security::UsageRecord> gathered;
    std::vector<std::string> users;                       // the administration file's, in list order
    // "View" is offered: command guard 11's visible flag is set or the user passes its level.
    bool view_allowed = false;
    const TextCodec* codec = nullptr;  // required
    const Locale* locale = nullptr;    // required

    // Guard 11's password prompt; absent: no prompt.
    std::function<bool()> pass_view_guard;
    // The file selector: "Which log file do you wish to View?", mask "*.Log", starting in the
    // given folder. nullopt when the user cancels. Absent: the program's own file selector over
    // the viewer, limited by the three lists below.
    std::function<std::optional<std::string>(const std::string& folder)> choose_log_file;
    // The current user's limits for that selector: drive levels (0 = offered), restricted
    // directories ("C:\DIR|...") and forbidden extensions ("EXE|BAT|").
    dialogs::DriveTable drives{};
    std::string restricted_dirs;
    std::string forbidden_extensions;
    std::function<void(int topic)> show_help;
    // Absent: a message box over the viewer.
    std::function<void(const std::string& message)> report_error;
};

inline constexpr int kUsageLogHelpTopic = vx::help::kUsageLogTopic;
inline constexpr const char* kChooseLogPrompt = "Which log file do you wish to View?";
inline constexpr const char* kLogFileMask = "*.Log";

class UsageLogViewer final : public Dialog {
public:
    explicit UsageLogViewer(UsageViewerValue& value) : value_(value) {}

    // Registers the common controls the template uses, then runs the dialog modally.
    INT_PTR run(HINSTANCE instance, HWND owner);
    HWND create_modeless(HINSTANCE instance, HWND owner);

    const vx::security::UsageView& view() const noexcept { return view_; }
    const std::string& viewed_path() const noexcept { return viewed_path_; }

protected:
    bool on_init() override;
    bool on_ok() override;
    void on_cancel() override;
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    vx::security::UsageQuery query() const;
    // Loads `path` into the list; false (the list unchanged, the user told) when it cannot be read.
    bool load(const std::string& path, bool other_file);
    void fill_list();
    void add_hints();
    void on_view();
    void on_print();
    void keep_settings();
    void layout(int width, int height);
    void report(const std::string& message);
    vx::security::UsageSort checked_sort() const;
    DateTime picker_day(int id) const;

    UsageViewerValue& value_;
    vx::security::UsageView view_;
    std::string viewed_path_;
    bool other_file_ = false;
    std::vector<std::wstring> total_columns_;
    std::wstring cell_;  // the text last handed to the list, alive until it asks again

    // The client size the template gave and where the controls that follow resizing sat then.
    SIZE base_{};
    RECT list_rect_{};
    std::vector<std::pair<int, RECT>> bottom_left_, bottom_right_;
};

// Reads the settings, runs the viewer modally, and writes them back when it closes. A failure
// to write is reported through value.report_error (or a message box).
INT_PTR show_usage_log_viewer(HINSTANCE instance, HWND owner, UsageViewerValue& value, SettingsStore& store,
                              DateTime today);

// Asks for a log file with the file selector as "View" does: the prompt as its title, `folder`
// to start in, mask "*.Log", barred drives and restricted directories hidden. A file with an
// extension the user may not open counts as no choice.
std::optional<std::string> choose_log_file_with_selector(HWND owner, const std::string& folder,
                                                         const UsageViewerValue& value);

// Draws a print layout on a printer DC as one document; false when the printer refused.
bool print_usage_layout(HDC printer, const vx::security::UsagePrintLayout& layout);

}  // namespace vx::win::security
