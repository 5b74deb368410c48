#pragma once
// Putting the payload in place: join the disk volumes into the working archive, decompress
// it into the program file, split the files out of it, and undo the run's traces on abort.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "setup/payload.h"
#include "setup/setup_fs.h"

namespace vx::setup {

inline constexpr const char* kProductName = "Vantora!";
inline constexpr const char* kProgramFile = "Vantorx.Exe";
inline constexpr const char* kFirstVolume = "Vantorx.001";
inline constexpr const char* kArchiveFile = "Vantora._KX";
inline constexpr const char* kUninstaller = "UnInstal.Exe";
inline constexpr const char* kDefaultDestination = "C:\\Program Files\\Vantora";
inline constexpr int kDiskCount = 3;
// The joining bar measures against the size of the shipped volumes, whatever they hold.
inline constexpr uint64_t kVolumesTotal = 3281000;
inline constexpr size_t kBlockSize = 2048;

// What the installer's pages need from their window.
class SetupUi {
public:
    virtual ~SetupUi() = default;
    // A question with OK and Cancel; true for OK.
    virtual bool ok_cancel(const std::string& text) = 0;
    virtual void message(const std::string& text) = 0;
    // Redraw the progress frame at `percent` (0..100).
    virtual void progress(int percent) = 0;
    // Lets the window handle pending messages; true once the user has confirmed cancelling.
    virtual bool cancelled() = 0;
};

// One line of the boot-time rename section: `target` is replaced by `replacement`.
struct RenameLine {
    std::string target, replacement;
    bool operator==(const RenameLine&) const = default;
};

enum class StepResult { Done, Cancelled, Failed };

// Files are first written beside their targets (staging_path) and put in place only once the
// whole payload is on disk, so a failure or a cancel before then leaves an earlier
// installation exactly as it was.
class PayloadInstaller {
public:
    // `help_dir` receives the help files (the Windows "Help" folder).
    PayloadInstaller(SetupFs& fs, SetupUi& ui, std::string source_dir, std::string dest_dir,
                     std::string help_dir);

    // Joins the volumes found in the source folder into the working archive.
    StepResult join_volumes();
    // Decodes the archive, splits the entries out of it and puts every file in place: at once
    // where the old file is free, at the next start of Windows where it is in use.
    StepResult decompress(const Trailer& trailer);
    // Removes the working archive and every staged file not yet in place. Files already there
    // (an earlier installation's, or this run's own once in place) are never touched.
    void abort_cleanup();

    // Why the last step failed, for the user.
    const std::string& error() const { return error_; }
    // The program and the files of the split by their final names, in entry order (skipped
    // entries are left out), whether they are in place yet or wait for a restart.
    const std::string& program_path() const { return program_path_; }
    const std::vector<std::string>& placed() const { return placed_; }
    // Those of them (the program included) that were in use: Windows replaces them at its next
    // start; until then the old ones stay.
    const std::vector<std::string>& at_restart() const { return at_restart_; }

private:
    struct Staged {
        std::string staging, target;
    };
    StepResult fail(std::string why);
    StepResult copy_volume(SetupFs::Reader& in, SetupFs::Writer& out, uint64_t& copied, int& shown);
    StepResult split(const Trailer& trailer);
    StepResult put_in_place();

    SetupFs& fs_;
    SetupUi& ui_;
    std::string source_dir_, dest_dir_, help_dir_;
    std::string archive_path_, program_path_;
    bool archive_ours_ = false;
    // Entry files first, the program last: when one of its files has to wait for a restart,
    // the program waits too, so the new program never starts beside an old library.
    std::vector<Staged> staged_;
    std::vector<std::string> placed_, at_restart_;
    std::string error_;
};

// Puts `staging` in the place of `target`: at once when `target` is free, else at the next
// start of Windows (`at_restart` is then set). `later` asks for the restart in any case, for a
// replacement that must follow another one already waiting for it. False with `error` set
// when neither can be done.
bool put_file_in_place(SetupFs& fs, const std::string& staging, const std::string& target, bool later,
                       bool& at_restart, std::string& error);

// Copies a whole file through the file layer; false when either side fails.
bool copy_file(SetupFs& fs, const std::string& from, const std::string& to);

// The shipped task manager takes the place of the system's "TaskMan.Exe" in the Windows
// folder; the system's own is kept as "TaskMang.Exe", once: a reinstall finds it kept already
// and must not put the earlier copy of ours in its place.
struct TaskManagerSwap {
    bool done = false;
    std::string error;
    // Whether the system had a task manager of its own, now kept as TaskMang.Exe (by this run
    // or an earlier one). Without one, the file in the Windows folder is ours to remove.
    bool original_kept = false;
    std::string installed;                // the Windows folder's TaskMan.Exe
    std::vector<std::string> at_restart;  // final names that wait for the next start
};
TaskManagerSwap swap_task_manager(SetupFs& fs, const std::string& windows_dir, const std::string& dest_dir);

// Files that are the site's own work rather than the program's: desktops, usage logs and the
// icon library. A reinstall never overwrites them and the uninstaller asks before removing them.
bool site_data(std::string_view path);

// The Winlogon "Shell" value for `program`: quoted, since a path with blanks left bare lets
// Windows try each blank-separated prefix ("C:\Program.exe" first) as the shell.
std::string winlogon_shell_value(std::string_view program);

// What the installer asks at the end, from what is still waiting for a restart and whether it
// made the shell or the task manager changes.
struct ClosingQuestion {
    std::string text;
    // Yes restarts Windows; otherwise Yes starts the program.
    bool restart = false;
    // After No to a restart, whether to ask about starting the program.
    bool then_offer_run = false;
};
ClosingQuestion closing_question(const std::vector<std::string>& at_restart, bool system_changed);

// Adds `lines` to the "[Rename]" section of an initialisation file's text, keeping every
// line already there (another installer's pending renames must survive) and not repeating
// a line that is already present. Creates the section at the end when there is none.
std::string merge_rename_section(const std::string& existing, const std::vector<RenameLine>& lines);

// The rule of the destination page: at least two characters, an upper-case drive letter
// and a colon.
bool destination_acceptable(const std::string& folder);

}  // namespace vx::setup
