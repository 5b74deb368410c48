#pragma once
// Putting the payload in place: join the disk volumes into the working archive, decompress
// it into the program file, split the files out of it, and undo the run's traces on abort.
#include <cstdint>
#include <string>
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

class PayloadInstaller {
public:
    // `help_dir` receives the help files (the Windows "Help" folder).
    PayloadInstaller(SetupFs& fs, SetupUi& ui, std::string source_dir, std::string dest_dir,
                     std::string help_dir);

    // Joins the volumes found in the source folder into the working archive.
    StepResult join_volumes();
    // Decodes the archive into the program file and splits the entries out of it.
    StepResult decompress(const Trailer& trailer);
    // Removes the working archive and the program file this run wrote (a program file that
    // was there before is never touched), and forgets their rename lines.
    void abort_cleanup();

    const std::vector<RenameLine>& renames() const { return renames_; }
    // Why the last step failed, for the user.
    const std::string& error() const { return error_; }
    // Files placed by the split, in entry order (skipped entries are left out).
    const std::vector<std::string>& placed() const { return placed_; }
    const std::string& program_path() const { return program_path_; }

private:
    StepResult fail(std::string why);
    StepResult copy_volume(SetupFs::Reader& in, SetupFs::Writer& out, uint64_t& copied, int& shown);
    StepResult split(const Trailer& trailer);

    SetupFs& fs_;
    SetupUi& ui_;
    std::string source_dir_, dest_dir_, help_dir_;
    std::string archive_path_, program_path_;
    bool archive_ours_ = false, program_ours_ = false;
    std::vector<RenameLine> renames_;
    std::vector<std::string> placed_;
    std::string error_;
};

// Adds `lines` to the "[Rename]" section of an initialisation file's text, keeping every
// line already there (another installer's pending renames must survive) and not repeating
// a line that is already present. Creates the section at the end when there is none.
std::string merge_rename_section(const std::string& existing, const std::vector<RenameLine>& lines);

// The rule of the destination page: at least two characters, an upper-case drive letter
// and a colon.
bool destination_acceptable(const std::string& folder);

}  // namespace vx::setup
