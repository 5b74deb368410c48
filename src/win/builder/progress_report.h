#pragma once
// `TProgressReport` ("Progress"): a prompt, a gauge and "Stop", up while a long import runs.
// The import polls `stopped` after each step and lets the window's messages run, so that
// "Stop" can be pressed; the window itself only asks whether to abort.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "win/util/window.h"

namespace vx::win::builder {

inline constexpr const char* kProgressCaption = "Progress";
inline constexpr const char* kAbortCaption = "Abort";
inline constexpr const char* kAbortQuestion = "Do you want to cancel this function?";
// Client heights and the top of "Stop", in pixels, with and without the gauge.
inline constexpr int kProgressHeightWithGauge = 133;
inline constexpr int kProgressHeightWithoutGauge = 80;
inline constexpr int kStopTopWithGauge = 96;
inline constexpr int kStopTopWithoutGauge = 44;

class TProgressReport final : public Dialog {
public:
    // Asks a yes/no question (caption, text): the shell's own dialogs, or a test's answers.
    using AskFn = std::function<bool(const std::string& caption, const std::string& question)>;
    TProgressReport(HWND owner, AskFn ask);
    ~TProgressReport() override;

    // Gauge at 0 of `maximum`, shown only when `maximum` is above 1; the stop flag cleared.
    void start(int maximum);
    // Shows the window; sets the caption and the prompt when given, and moves the gauge by
    // `increment` when it is 0 or more, never beyond the maximum. Repaints at once.
    void step(const std::optional<std::string>& caption, const std::optional<std::string>& prompt,
              int increment);
    // Runs this window's waiting messages and every window's painting, so that "Stop" can be
    // pressed and the pages show what was made; then whether the person chose to stop. The
    // other windows' input waits: nothing else runs in the middle of an import.
    bool poll();
    bool stopped() const { return stopped_; }
    // Clears the stop flag and hides the window.
    void finish();

    // What the window shows (the tests read it).
    bool gauge_shown() const;
    int gauge_position() const;
    std::string prompt() const;
    HWND stop_button() const;

protected:
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    bool ensure_window();
    void lay_out(bool gauge);

    HWND owner_;
    AskFn ask_;
    int maximum_ = 0;
    int position_ = 0;
    bool stopped_ = false;
    bool asking_ = false;
};

}  // namespace vx::win::builder
