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
    // A program file already there may be the running shell: write beside it and let Windows
    // swap them at the next start.
    std::string target = program_path_;
    const bool existed = fs_.exists(program_path_);
    if (existed) target = with_extension(program_path_, ".$$$");
    auto out = fs_.create(target);
    if (!out) out = fs_.open_write_shared(target);
    if (!out) return fail("The file \"" + target + "\" could not be created.");
    // From here an abort removes what this run wrote, and only that.
    program_ours_ = true;
    if (existed) {
        renames_.push_back({fs_.short_path(program_path_), fs_.short_path(target)});
        program_path_ = target;
    }

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
        if (!out->write(block.data(), n)) return fail("The file \"" + target + "\" could not be written.");
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
    if (!out->close()) return fail("The file \"" + target + "\" could not be written.");
    return split(trailer);
}

StepResult PayloadInstaller::split(const Trailer& trailer) {
    auto in = fs_.open_read(program_path_);
    if (!in) return fail("The file \"" + program_path_ + "\" could not be opened.");
    std::array<uint8_t, kBlockSize> block;
    for (const auto& e : trailer.entries) {
        const bool help = iequals(extension_of(e.name), ".HLP");
        if (help && !fs_.make_dirs(help_dir_))
            return fail("The folder \"" + help_dir_ + "\" could not be created.");
        std::string target = join_path(help ? help_dir_ : dest_dir_, e.name);
        const std::string ext = extension_of(e.name);
        // A site's own icon library and desktop outlive a reinstallation.
        if ((iequals(ext, ".LIB") || iequals(ext, ".DTP")) && fs_.exists(target)) continue;
        auto out = fs_.create(target);
        if (!out) {
            const std::string beside = with_extension(target, ".$$$");
            out = fs_.create(beside);
            if (!out) return fail("The file \"" + target + "\" could not be created.");
            renames_.push_back({fs_.short_path(target), fs_.short_path(beside)});
            target = beside;
        }
        if (!in->seek(e.offset)) return fail("The file \"" + program_path_ + "\" could not be read.");
        uint64_t left = e.length;
        while (left > 0) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
            size_t got = 0;
            if (!in->read(block.data(), want, got) || got != want)
                return fail("The file \"" + program_path_ + "\" could not be read.");
            if (!out->write(block.data(), got))
                return fail("The file \"" + target + "\" could not be written.");
            left -= got;
        }
        if (!out->close()) return fail("The file \"" + target + "\" could not be written.");
        placed_.push_back(target);
    }
    in.reset();
    if (!fs_.truncate(program_path_, trailer.program_length()))
        return fail("The file \"" + program_path_ + "\" could not be shortened.");
    return StepResult::Done;
}

void PayloadInstaller::abort_cleanup() {
    if (archive_ours_) fs_.remove(archive_path_);
    archive_ours_ = false;
    if (program_ours_) {
        const std::string short_program = fs_.short_path(program_path_);
        fs_.remove(program_path_);
        std::erase_if(renames_, [&](const RenameLine& l) { return l.replacement == short_program; });
    }
    program_ours_ = false;
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
