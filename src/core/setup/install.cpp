#include "setup/install.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vx::setup {
namespace {

std::string trim(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(b, e - b + 1));
}

std::string volume_name(int disk) {
    return with_extension(kFirstVolume, ".00" + std::to_string(disk));
}

}  // namespace

PayloadInstaller::PayloadInstaller(SetupFs& fs, SetupUi& ui, std::string source_dir, std::string dest_dir,
                                   std::string help_dir)
    : fs_(fs),
      ui_(ui),
      source_dir_(std::move(source_dir)),
      dest_dir_(std::move(dest_dir)),
      help_dir_(std::move(help_dir)),
      archive_path_(join_path(dest_dir_, kArchiveFile)),
      program_path_(join_path(dest_dir_, kProgramFile)) {}

StepResult PayloadInstaller::fail(std::string why) {
    error_ = std::move(why);
    return StepResult::Failed;
}

StepResult PayloadInstaller::copy_volume(SetupFs::Reader& in, SetupFs::Writer& out, uint64_t& copied,
                                         int& shown) {
    std::array<uint8_t, kBlockSize> block;
    for (;;) {
        size_t got = 0;
        if (!in.read(block.data(), block.size(), got)) return fail("A disk could not be read.");
        if (got == 0) return StepResult::Done;
        if (!out.write(block.data(), got))
            return fail("The file \"" + archive_path_ + "\" could not be written.");
        copied += got;
        const int pct = static_cast<int>((copied * 100 + kVolumesTotal / 2) / kVolumesTotal);
        // Volumes larger than the nominal total would push the bar past its frame.
        if (pct != shown && pct <= 100) {
            shown = pct;
            ui_.progress(pct);
        }
        if (ui_.cancelled()) return StepResult::Cancelled;
    }
}

StepResult PayloadInstaller::join_volumes() {
    auto in = fs_.open_read(join_path(source_dir_, kFirstVolume));
    if (!in) return fail("The file \"" + join_path(source_dir_, kFirstVolume) + "\" could not be opened.");
    auto out = fs_.create(archive_path_);
    if (!out) return fail("The file \"" + archive_path_ + "\" could not be created.");
    archive_ours_ = true;

    uint64_t copied = 0;
    int shown = -1;
    StepResult r = copy_volume(*in, *out, copied, shown);
    for (int disk = 2; disk <= kDiskCount && r == StepResult::Done; ++disk) {
        const std::string path = join_path(source_dir_, volume_name(disk));
        for (;;) {
            const bool ok = ui_.ok_cancel("Please Insert Disk number " + std::to_string(disk));
            if (fs_.exists(path)) break;
            if (!ok) {
                r = StepResult::Cancelled;
                break;
            }
            ui_.message(
                "This is not the appropriate disk.\r\nPlease insert the correct disk and Press Enter");
        }
        if (r != StepResult::Done) break;
        in = fs_.open_read(path);
        if (!in) {
            r = fail("The file \"" + path + "\" could not be opened.");
            break;
        }
        r = copy_volume(*in, *out, copied, shown);
    }
    in.reset();
    if (!out->close() && r == StepResult::Done)
        r = fail("The file \"" + archive_path_ + "\" could not be written.");
    return r;
}

StepResult PayloadInstaller::decompress(const Trailer& trailer) {
    // The whole stream goes beside the program first; once split, it is cut down to the
    // program and takes the program's place with the other files.
    const std::string stream = staging_path(program_path_);
    auto out = fs_.create(stream);
    if (!out) out = fs_.open_write_shared(stream);
    if (!out) return fail("The file \"" + stream + "\" could not be created.");
    // Before the split: an abort removes this file whatever happens after.
    staged_.push_back({stream, program_path_});

    auto archive = fs_.open_read(archive_path_);
    if (!archive) return fail("The file \"" + archive_path_ + "\" could not be opened.");
    bool read_error = false, cancel = false;
    LzhufDecoder decoder([&](uint8_t* buf, size_t cap) -> size_t {
        size_t got = 0;
        if (!archive->read(buf, std::min(cap, kBlockSize), got)) {
            read_error = true;
            got = 0;
        }
        if (ui_.cancelled()) cancel = true;
        return got;
    });
    std::array<uint8_t, kBlockSize> block;
    uint64_t written = 0;
    int shown = -1;
    while (written < trailer.total) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), trailer.total - written));
        decoder.decode(block.data(), n);
        if (read_error) return fail("The file \"" + archive_path_ + "\" could not be read.");
        if (decoder.overran()) return fail("The installation files are damaged or incomplete.");
        if (!out->write(block.data(), n)) return fail("The file \"" + stream + "\" could not be written.");
        written += n;
        const int pct = static_cast<int>(written * 100 / trailer.total);
        if (pct != shown) {
            shown = pct;
            ui_.progress(pct);
        }
        if (cancel || ui_.cancelled()) return StepResult::Cancelled;
    }
    if (trailer.total == 0) ui_.progress(100);
    archive.reset();
    fs_.remove(archive_path_);
    archive_ours_ = false;
    if (!out->close()) return fail("The file \"" + stream + "\" could not be written.");
    const StepResult r = split(trailer);
    if (r != StepResult::Done) return r;
    if (!fs_.truncate(stream, trailer.program_length()))
        return fail("The file \"" + stream + "\" could not be shortened.");
    // The program goes last, after every file it needs.
    std::rotate(staged_.begin(), staged_.begin() + 1, staged_.end());
    return put_in_place();
}

StepResult PayloadInstaller::split(const Trailer& trailer) {
    const std::string stream = staging_path(program_path_);
    auto in = fs_.open_read(stream);
    if (!in) return fail("The file \"" + stream + "\" could not be opened.");
    std::array<uint8_t, kBlockSize> block;
    for (const auto& e : trailer.entries) {
        const bool help = iequals(extension_of(e.name), ".HLP");
        if (help && !fs_.make_dirs(help_dir_))
            return fail("The folder \"" + help_dir_ + "\" could not be created.");
        const std::string target = join_path(help ? help_dir_ : dest_dir_, e.name);
        // A site's own icon library and desktop outlive a reinstallation.
        if (site_data(e.name) && fs_.exists(target)) continue;
        const std::string staging = staging_path(target);
        auto out = fs_.create(staging);
        if (!out) return fail("The file \"" + staging + "\" could not be created.");
        staged_.push_back({staging, target});
        if (!in->seek(e.offset)) return fail("The file \"" + stream + "\" could not be read.");
        uint64_t left = e.length;
        while (left > 0) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
            size_t got = 0;
            if (!in->read(block.data(), want, got) || got != want)
                return fail("The file \"" + stream + "\" could not be read.");
            if (!out->write(block.data(), got))
                return fail("The file \"" + staging + "\" could not be written.");
            left -= got;
        }
        if (!out->close()) return fail("The file \"" + staging + "\" could not be written.");
    }
    return StepResult::Done;
}

StepResult PayloadInstaller::put_in_place() {
    bool later = false;
    while (!staged_.empty()) {
        const Staged s = staged_.front();
        bool waits = false;
        std::string why;
        const bool program = s.target == program_path_;
        if (!put_file_in_place(fs_, s.staging, s.target, later && program, waits, why)) return fail(why);
        staged_.erase(staged_.begin());
        if (!program) placed_.push_back(s.target);
        if (waits) at_restart_.push_back(s.target);
        later = later || waits;
    }
    return StepResult::Done;
}

void PayloadInstaller::abort_cleanup() {
    if (archive_ours_) fs_.remove(archive_path_);
    archive_ours_ = false;
    for (const Staged& s : staged_) fs_.remove(s.staging);
    staged_.clear();
}

bool put_file_in_place(SetupFs& fs, const std::string& staging, const std::string& target, bool later,
                       bool& at_restart, std::string& error) {
    at_restart = false;
    if (!later) {
        switch (fs.replace(staging, target)) {
            case SetupFs::Replaced::Now:
                return true;
            case SetupFs::Replaced::InUse:
                break;
            case SetupFs::Replaced::Failed:
                error = "The file \"" + target + "\" could not be replaced.";
                return false;
        }
    }
    if (!fs.replace_at_restart(staging, target)) {
        error = "The file \"" + target +
                "\" is in use and could not be replaced, not even at the next start "
                "of Windows.";
        return false;
    }
    at_restart = true;
    return true;
}

bool copy_file(SetupFs& fs, const std::string& from, const std::string& to) {
    auto in = fs.open_read(from);
    if (!in) return false;
    auto out = fs.create(to);
    if (!out) return false;
    std::array<uint8_t, kBlockSize> block;
    for (;;) {
        size_t got = 0;
        if (!in->read(block.data(), block.size(), got)) return false;
        if (got == 0) break;
        if (!out->write(block.data(), got)) return false;
    }
    return out->close();
}

TaskManagerSwap swap_task_manager(SetupFs& fs, const std::string& windows_dir, const std::string& dest_dir) {
    TaskManagerSwap r;
    const std::string ours = join_path(dest_dir, "TaskMan.Exe");
    const std::string system = join_path(windows_dir, "TaskMan.Exe");
    const std::string kept = join_path(windows_dir, "TaskMang.Exe");
    r.installed = system;
    if (!fs.exists(ours)) {
        r.error = "The file \"" + ours + "\" is missing, so the task manager was not replaced.";
        return r;
    }
    bool later = false;
    r.original_kept = fs.exists(kept);
    if (!r.original_kept && fs.exists(system)) {
        bool waits = false;
        if (!put_file_in_place(fs, system, kept, false, waits, r.error)) {
            r.error += " The task manager was not replaced.";
            return r;
        }
        r.original_kept = true;
        if (waits) r.at_restart.push_back(kept);
        // Ours may only follow once the original has moved out of its way.
        later = waits;
    }
    // Copied, not moved: the uninstaller's record names the copy in the program folder.
    const std::string staging = staging_path(system);
    if (!copy_file(fs, ours, staging)) {
        fs.remove(staging);
        r.error = "The file \"" + staging + "\" could not be written.";
        return r;
    }
    bool waits = false;
    if (!put_file_in_place(fs, staging, system, later, waits, r.error)) {
        fs.remove(staging);
        return r;
    }
    if (waits) r.at_restart.push_back(system);
    r.done = true;
    return r;
}

bool site_data(std::string_view path) {
    const std::string ext = extension_of(path);
    return iequals(ext, ".DTP") || iequals(ext, ".LIB") || iequals(ext, ".LOG");
}

std::string winlogon_shell_value(std::string_view program) {
    return "\"" + std::string(program) + "\"";
}

ClosingQuestion closing_question(const std::vector<std::string>& at_restart, bool system_changed) {
    const std::string product = kProductName;
    if (!at_restart.empty()) {
        std::string names;
        for (const auto& f : at_restart) names += "\r\n" + f;
        // The old program is still the one that would start: nothing to offer until Windows
        // has put the new files in place.
        return {product +
                    " has been installed, but these files are in use and will only be replaced when "
                    "Windows restarts:\r\n" +
                    names + "\r\n\r\nWindows must be restarted for the installation to take effect." +
                    "\r\n\r\nReboot Windows?",
                true, false};
    }
    if (system_changed)
        return {product + " had been successfully installed" + "\r\n\r\n" +
                    "The system should be rebooted for the " + product + " changes to take effect." +
                    "\r\n\r\n" + "Reboot Windows?",
                true, true};
    return {product + " has been successfully installed.\r\n\r\nDo you wish to run " + product + "?", false,
            false};
}

std::string merge_rename_section(const std::string& existing, const std::vector<RenameLine>& lines) {
    // Split into lines that keep their own endings, so the text outside our insertion
    // comes back byte for byte.
    std::vector<std::string> rows;
    for (size_t at = 0; at < existing.size();) {
        size_t nl = existing.find('\n', at);
        nl = nl == std::string::npos ? existing.size() : nl + 1;
        rows.push_back(existing.substr(at, nl - at));
        at = nl;
    }
    size_t header = rows.size();
    for (size_t i = 0; i < rows.size(); ++i)
        if (iequals(trim(rows[i]), "[Rename]")) {
            header = i;
            break;
        }

    std::vector<std::string> have;
    size_t insert_at = rows.size();
    if (header < rows.size()) {
        insert_at = header + 1;
        for (size_t i = header + 1; i < rows.size(); ++i) {
            const std::string t = trim(rows[i]);
            if (!t.empty() && t[0] == '[') break;
            if (!t.empty()) {
                have.push_back(t);
                insert_at = i + 1;
            }
        }
    }

    std::string added;
    for (const auto& l : lines) {
        const std::string row = l.target + "=" + l.replacement;
        if (std::any_of(have.begin(), have.end(), [&](const std::string& h) { return iequals(h, row); }))
            continue;
        have.push_back(row);
        added += row + "\r\n";
    }
    if (header == rows.size()) {
        if (added.empty()) return existing;
        std::string out = existing;
        if (!out.empty() && out.back() != '\n') out += "\r\n";
        return out + "[Rename]\r\n" + added;
    }
    // The row we insert after may be the file's last and lack its line end.
    if (insert_at > 0 && !rows[insert_at - 1].empty() && rows[insert_at - 1].back() != '\n' && !added.empty())
        rows[insert_at - 1] += "\r\n";
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == insert_at) out += added;
        out += rows[i];
    }
    if (insert_at == rows.size()) out += added;
    return out;
}

bool destination_acceptable(const std::string& folder) {
    return folder.size() >= 2 && folder[0] >= 'A' && folder[0] <= 'Z' && folder[1] == ':';
}

}  // namespace vx::setup
