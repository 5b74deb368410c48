// vxtool pack / unpack: builds the installer's payload and puts one in place without the
// installer's windows, so a release can be checked before it goes on disks.
#include <fstream>
#include <ostream>
#include <stdexcept>

#include "port/text_codec.h"
#include "setup/install.h"
#include "setup/payload.h"
#include "tool/command.h"
#include "util/file_io.h"

namespace vx::tool {
namespace {

uint64_t parse_size(const std::string& text, const char* what) {
    size_t used = 0;
    unsigned long long v = 0;
    try {
        v = std::stoull(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || text.empty() || text[0] == '-')
        throw std::runtime_error(std::string(what) + " must be a whole number of bytes, not \"" + text +
                                 "\"");
    return v;
}

int pack(const Args& given, std::ostream& out, std::ostream& err) {
    Args args = given;
    std::string out_dir, installer, disk_size_text;
    take_option(args, "--out", out_dir);
    take_option(args, "--installer", installer);
    take_option(args, "--disk-size", disk_size_text);
    if (out_dir.empty() || installer.empty() || disk_size_text.empty() || args.empty()) {
        err << "usage: vxtool pack --out DIR --installer kxsetup.exe --disk-size BYTES PROGRAM FILE...\n";
        return 2;
    }
    const uint64_t disk_size = parse_size(disk_size_text, "--disk-size");
    const Windows1252Codec codec;

    const Bytes program = read_file(args[0]);
    std::vector<setup::PackFile> files;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string name = codec.from_utf8(file_name_of(args[i]));
        if (name.find('?') != std::string::npos)
            throw std::runtime_error("\"" + args[i] + "\": the name must be in the Windows code page");
        files.push_back({name, read_file(args[i])});
    }
    if (files.size() > 255)
        throw std::runtime_error("an installer can hold at most 255 files besides the program");

    const setup::Payload payload = setup::build_payload(program, files, disk_size, setup::kDiskCount);
    Bytes exe = read_file(installer);
    exe.insert(exe.end(), payload.trailer.begin(), payload.trailer.end());
    std::filesystem::create_directories(path_from_utf8(out_dir));
    write_file_atomic(join_path(out_dir, file_name_of(installer)), exe);
    size_t packed = 0;
    for (size_t d = 0; d < payload.volumes.size(); ++d) {
        const std::string name = setup::with_extension(setup::kFirstVolume, ".00" + std::to_string(d + 1));
        write_file_atomic(join_path(out_dir, name), payload.volumes[d]);
        packed += payload.volumes[d].size();
    }
    out << "packed " << payload.total << " bytes (program and " << files.size() << " files) into " << packed
        << " bytes on " << payload.volumes.size() << " volumes\n";
    return 0;
}

// Answers the installer's questions on the command line: every volume must already be in
// the volumes folder, so a disk prompt for a missing one ends the run.
class QuietUi : public setup::SetupUi {
public:
    bool ok_cancel(const std::string& text) override {
        last_prompt = text;
        return false;
    }
    void message(const std::string&) override {}
    void progress(int) override {}
    bool cancelled() override { return false; }
    std::string last_prompt;
};

setup::Trailer read_installer_trailer(const std::string& path) {
    std::ifstream in(path_from_utf8(path), std::ios::binary | std::ios::ate);
    if (!in) throw FileError("cannot open \"" + path + "\"");
    const auto size = static_cast<uint64_t>(in.tellg());
    const size_t tail = static_cast<size_t>(std::min<uint64_t>(size, setup::kMaxTrailerSize));
    Bytes bytes(tail);
    in.seekg(static_cast<std::streamoff>(size - tail));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(tail));
    if (!in) throw FileError("cannot read \"" + path + "\"");
    return setup::parse_trailer(bytes.data(), bytes.size(), size);
}

int unpack(const Args& given, std::ostream& out, std::ostream& err) {
    Args args = given;
    std::string installer, volumes, out_dir, help_dir;
    take_option(args, "--installer", installer);
    take_option(args, "--volumes", volumes);
    take_option(args, "--out", out_dir);
    take_option(args, "--help-dir", help_dir);
    if (installer.empty() || volumes.empty() || out_dir.empty() || !args.empty()) {
        err << "usage: vxtool unpack --installer FILE --volumes DIR --out DIR [--help-dir DIR]\n";
        return 2;
    }
    if (help_dir.empty()) help_dir = out_dir;
    setup::Trailer trailer = read_installer_trailer(installer);
    const Windows1252Codec codec;
    for (auto& e : trailer.entries) e.name = codec.to_utf8(e.name);

    std::filesystem::create_directories(path_from_utf8(out_dir));
    setup::StdSetupFs fs;
    QuietUi ui;
    setup::PayloadInstaller inst(fs, ui, volumes, out_dir, help_dir);
    setup::StepResult r = inst.join_volumes();
    if (r == setup::StepResult::Done) r = inst.decompress(trailer);
    if (r != setup::StepResult::Done) {
        inst.abort_cleanup();
        if (r == setup::StepResult::Cancelled)
            throw std::runtime_error("a volume is missing in \"" + volumes + "\" (" + ui.last_prompt + ")");
        throw std::runtime_error(inst.error());
    }
    out << inst.program_path() << " (" << trailer.program_length() << " bytes)\n";
    for (const auto& p : inst.placed()) out << p << '\n';
    for (const auto& p : inst.at_restart()) out << "replaced at restart: " << p << '\n';
    return 0;
}

const Registration pack_reg{
    {"pack",
     "vxtool pack --out DIR --installer kxsetup.exe --disk-size BYTES PROGRAM FILE...\n"
     "    compress PROGRAM and FILEs into DIR/Vantorx.001..003 and append the file\n"
     "    directory to a copy of the installer in DIR",
     pack}};
const Registration unpack_reg{{"unpack",
                               "vxtool unpack --installer FILE --volumes DIR --out DIR [--help-dir DIR]\n"
                               "    install a payload as the setup program does, without its windows",
                               unpack}};

}  // namespace
}  // namespace vx::tool
