#pragma once
// Reading the desktop file as the main window does it, at the first show and for every desktop
// opened later. The file is read into a model of its own, which takes the place of the shown
// desktop only once it has read: a file that fails leaves what is shown, and the setting that
// names it, as they were.
#include <string>

#include "model/desktop.h"
#include "port/locale.h"
#include "port/prompter.h"
#include "port/text_codec.h"
#include "util/datetime.h"

namespace vx::shell {

// The loading window ("Welcome to..."), up while a desktop file is read.
class LoadingView {
public:
    virtual ~LoadingView() = default;
    // The count line was read: the gauge runs from 0 to `maximum`, and the window shows.
    virtual void begin(int maximum) = 0;
    // A page was read; `tabs` of the pages read so far have tabs.
    virtual void advance(int tabs) = 0;
    // The reading is over, however it went.
    virtual void end() = 0;
};

struct DesktopReadPorts {
    const Locale& locale;
    const TextCodec& codec;
    Prompter& prompter;
    LoadingView* loading = nullptr;  // none: nothing shows while the file is read
};

struct DesktopRead {
    std::string path;
    std::string program_dir;  // pictures are looked for as named, here, then beside the file
    DateTime now = 0;         // the launch date of a button whose line gives none
    // Pages marked invisible stay among the ordinary pages for the administrator.
    bool administrator = false;
    // The run's one encryption mark: a trailer read sets it; none, the file's own is kept apart.
    int* encryption_mark = nullptr;
};

enum class DesktopReadOutcome { Loaded, Missing, Damaged };

struct DesktopReadResult {
    DesktopReadOutcome outcome = DesktopReadOutcome::Missing;
    // Damaged: what exactly was wrong, for the trace; the person at the station is told less.
    std::string detail;
};

// The gauge's end for a file whose count line says `count`.
int loading_gauge_maximum(int count);

// Reads the file into `into`, which is emptied first and named after the file. A missing file
// is no message. A damaged one is told with the loading error (`into` then holds what was read
// before the failure); a file that read but had something to say (a count line that is no
// number) is told once, after reading.
DesktopReadResult read_desktop(model::Desktop& into, const DesktopRead& request, DesktopReadPorts ports);

// What a station starts with when its file is missing or damaged: the master page, "Page 1"
// and "StartUp", named after `path`, with "Page 1" current. It lives in memory only: writing it
// is the administrator's choice, never the start's.
void make_starter_desktop(model::Desktop& desktop, const std::string& path);

}  // namespace vx::shell
