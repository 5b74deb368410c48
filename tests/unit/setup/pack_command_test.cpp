// The release is made and checked through `vxtool pack` and `vxtool unpack`: these tests run
// the two commands on files on disk, as scripts/release does, rather than the core calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "tool/command.h"
#include "util/file_io.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

struct Result {
    int code;
    std::string out, err;
};

Result vxtool(std::vector<std::string> args) {
    args.insert(args.begin(), "vxtool");
    std::ostringstream out, err;
    const int code = tool::run(args, out, err);
    return {code, out.str(), err.str()};
}

Bytes random_bytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (auto& c : b) c = static_cast<uint8_t>(gen() % 7 == 0 ? gen() : 'x');  // compressible, not trivially
    return b;
}

class PackCommand : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() / (std::string("vx_pack_") + info->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "in");
    }
    void TearDown() override { fs::remove_all(root_); }

    // Writes an input file; `name` is UTF-8.
    std::string input(const std::string& name, const Bytes& data) {
        const std::string p = join_path(str(root_ / "in"), name);
        write_file_atomic(p, data);
        return p;
    }
    std::string str(const fs::path& p) const { return path_to_utf8(p); }
    std::string dir(const char* name) const { return str(root_ / name); }

    fs::path root_;
};

TEST_F(PackCommand, UnpackGivesBackEveryFileByteForByte) {
    const Bytes installer = random_bytes(3000, 1);
    const Bytes program = random_bytes(60000, 2);
    struct File {
        std::string name;  // UTF-8; stored in the Windows code page
        Bytes data;
        const char* placed_in;
    };
    const std::vector<File> files = {
        {"VXHooks.DLL", random_bytes(9000, 3), "program"},
        {"Empty.TXT", {}, "program"},
        {"Vantorx.Hlp", random_bytes(500, 4), "help"},
        {"R\xC3\xA9sum\xC3\xA9.Pal", random_bytes(800, 5), "program"},
        {"VX.DTP", random_bytes(4000, 6), "program"},
    };
    std::vector<std::string> args = {"pack",
                                     "--out",
                                     dir("dist"),
                                     "--installer",
                                     input("kxsetup.exe", installer),
                                     "--disk-size",
                                     "9000",
                                     input("vantorx.exe", program)};
    for (const auto& f : files) args.push_back(input(f.name, f.data));

    const Result packed = vxtool(args);
    ASSERT_EQ(packed.code, 0) << packed.err;
    EXPECT_NE(packed.out.find("and 5 files"), std::string::npos) << packed.out;

    // The installer is copied unchanged with the directory after it; the volumes are cut.
    const Bytes shipped = read_file(join_path(dir("dist"), "kxsetup.exe"));
    ASSERT_EQ(shipped.size(), installer.size() + 5 + 28 * files.size());
    EXPECT_TRUE(std::equal(installer.begin(), installer.end(), shipped.begin()));
    for (const char* volume : {"Vantorx.001", "Vantorx.002", "Vantorx.003"}) {
        const fs::path v = root_ / "dist" / volume;
        ASSERT_TRUE(fs::exists(v)) << volume;
        EXPECT_LE(fs::file_size(v), 9000u) << volume;
    }
    EXPECT_GT(fs::file_size(root_ / "dist" / "Vantorx.002"), 0u) << "the payload should span volumes";

    const Result unpacked =
        vxtool({"unpack", "--installer", join_path(dir("dist"), "kxsetup.exe"), "--volumes", dir("dist"),
                "--out", dir("program"), "--help-dir", dir("help")});
    ASSERT_EQ(unpacked.code, 0) << unpacked.err;
    EXPECT_EQ(read_file(join_path(dir("program"), "Vantorx.Exe")), program);
    for (const auto& f : files) EXPECT_EQ(read_file(join_path(dir(f.placed_in), f.name)), f.data) << f.name;
    EXPECT_FALSE(fs::exists(root_ / "program" / "Vantorx.Hlp"));
    EXPECT_FALSE(fs::exists(root_ / "program" / "Vantora._KX"));
}

TEST_F(PackCommand, FailuresSayWhyAndLeaveNothingHalfDone) {
    const std::string installer = input("kxsetup.exe", random_bytes(100, 1));
    const std::string program = input("vantorx.exe", random_bytes(50000, 2));
    const std::string hooks = input("VXHooks.DLL", random_bytes(5000, 3));

    // Too big for three disks: no release at all rather than one the installer cannot finish.
    Result r = vxtool(
        {"pack", "--out", dir("small"), "--installer", installer, "--disk-size", "1000", program, hooks});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("vxtool pack:"), std::string::npos);
    EXPECT_FALSE(fs::exists(root_ / "small" / "kxsetup.exe"));

    r = vxtool({"pack", "--out", dir("dist"), "--installer", installer, "--disk-size", "1.44MB", program});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("whole number of bytes"), std::string::npos) << r.err;

    ASSERT_EQ(vxtool({"pack", "--out", dir("dist"), "--installer", installer, "--disk-size", "8000", program,
                      hooks})
                  .code,
              0);
    const std::string shipped = join_path(dir("dist"), "kxsetup.exe");

    // A missing disk ends the run; nothing of it stays in the destination.
    fs::create_directories(root_ / "two");
    for (const char* v : {"Vantorx.001", "Vantorx.003"}) fs::copy_file(root_ / "dist" / v, root_ / "two" / v);
    r = vxtool({"unpack", "--installer", shipped, "--volumes", dir("two"), "--out", dir("out1")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Please Insert Disk number 2"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(root_ / "out1" / "Vantora._KX"));
    EXPECT_FALSE(fs::exists(root_ / "out1" / "Vantorx.Exe"));

    // A volume cut short is a damaged archive, not a program with a garbage tail.
    fs::create_directories(root_ / "cut");
    for (const char* v : {"Vantorx.001", "Vantorx.002", "Vantorx.003"})
        fs::copy_file(root_ / "dist" / v, root_ / "cut" / v);
    const fs::path last = fs::file_size(root_ / "cut" / "Vantorx.003") > 0 ? root_ / "cut" / "Vantorx.003"
                                                                           : root_ / "cut" / "Vantorx.002";
    fs::resize_file(last, fs::file_size(last) / 2);
    r = vxtool({"unpack", "--installer", shipped, "--volumes", dir("cut"), "--out", dir("out2")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(fs::exists(root_ / "out2" / "Vantorx.Exe"));
    EXPECT_FALSE(fs::exists(root_ / "out2" / "VXHooks.DLL"));
}

}  // namespace
}  // namespace vx
