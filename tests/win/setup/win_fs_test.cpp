// The installer's placing rules on a real Windows file system: files held open by another
// program, Windows' own list of replacements at its next start, the help folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "setup/install.h"
#include "win/support/pending_renames.h"
#include "win_fs.h"
#include "win_text.h"

namespace {

using namespace vx::setup;

struct SilentUi : SetupUi {
    bool ok_cancel(const std::string&) override { return true; }
    void message(const std::string&) override {}
    void progress(int) override {}
    bool cancelled() override { return false; }
};

Bytes slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void put(const std::filesystem::path& p, const std::string& s) {
    std::ofstream(p, std::ios::binary) << s;
}

class WinFsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = std::filesystem::temp_directory_path() /
               ("kxsetup_test_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "src");
        std::filesystem::create_directories(root / "Program Files" / "Vantora");
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string u8(const std::filesystem::path& p) { return kx::narrow(p.wstring()); }
    std::filesystem::path root;
};

void write_volumes(const std::filesystem::path& dir, const Payload& p) {
    for (size_t d = 0; d < p.volumes.size(); ++d) {
        std::ofstream out(dir / ("Vantorx.00" + std::to_string(d + 1)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(p.volumes[d].data()),
                  static_cast<std::streamsize>(p.volumes[d].size()));
    }
}

TEST_F(WinFsTest, ReinstallReplacesFreeFilesAtOnceAndKeepsTheSitesOwn) {
    const Bytes program(50000, 'P');
    const std::vector<PackFile> files = {
        {"VXHooks.DLL", Bytes(3000, 'H')}, {"VX.DTP", Bytes(10, 'D')}, {"Vantorx.Hlp", Bytes(20, 'Q')}};
    write_volumes(root / "src", build_payload(program, files, 1 << 20, kDiskCount));
    const auto dest = root / "Program Files" / "Vantora";
    put(dest / "Vantorx.Exe", "old program");
    put(dest / "VX.DTP", "site desktop");
    put(dest / "VXHooks.DLL", "old hooks");

    kx::WinSetupFs fs;
    SilentUi ui;
    PayloadInstaller inst(fs, ui, u8(root / "src"), u8(dest), u8(root / "Help"));
    ASSERT_EQ(inst.join_volumes(), StepResult::Done) << inst.error();
    ASSERT_EQ(inst.decompress(parse_trailer(build_payload(program, files, 1 << 20, kDiskCount).trailer)),
              StepResult::Done)
        << inst.error();

    EXPECT_EQ(slurp(dest / "Vantorx.Exe"), program);
    EXPECT_EQ(slurp(dest / "VXHooks.DLL"), Bytes(3000, 'H'));
    EXPECT_EQ(slurp(dest / "VX.DTP"), Bytes({'s', 'i', 't', 'e', ' ', 'd', 'e', 's', 'k', 't', 'o', 'p'}));
    EXPECT_EQ(slurp(root / "Help" / "Vantorx.Hlp"), Bytes(20, 'Q'));
    EXPECT_TRUE(inst.at_restart().empty());
    for (const auto& e : std::filesystem::directory_iterator(dest))
        EXPECT_NE(e.path().extension(), ".$$$") << e.path().string();
    EXPECT_FALSE(std::filesystem::exists(dest / "Vantora._KX"));
}

TEST_F(WinFsTest, FilesHeldOpenAreReplacedAtTheNextStartOfWindows) {
    vx::win::test::PendingRenamesGuard keep_system_list;
    const Bytes program(50000, 'P');
    const Payload p = build_payload(program, {{"VXHooks.DLL", Bytes(3000, 'H')}}, 1 << 20, kDiskCount);
    write_volumes(root / "src", p);
    const auto dest = root / "Program Files" / "Vantora";
    put(dest / "Vantorx.Exe", "old program");
    put(dest / "VXHooks.DLL", "old hooks");
    // Held open without sharing, as a loaded library would be.
    HANDLE busy = CreateFileW((dest / "VXHooks.DLL").wstring().c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);

    kx::WinSetupFs fs;
    SilentUi ui;
    PayloadInstaller inst(fs, ui, u8(root / "src"), u8(dest), u8(root / "Help"));
    ASSERT_EQ(inst.join_volumes(), StepResult::Done) << inst.error();
    const StepResult r = inst.decompress(parse_trailer(p.trailer));
    CloseHandle(busy);
    ASSERT_EQ(r, StepResult::Done) << inst.error();

    // Until the restart the old files stay; the new ones wait whole beside them.
    EXPECT_EQ(slurp(dest / "VXHooks.DLL"), Bytes({'o', 'l', 'd', ' ', 'h', 'o', 'o', 'k', 's'}));
    EXPECT_EQ(slurp(dest / "VXHooks.DLL.$$$"), Bytes(3000, 'H'));
    EXPECT_EQ(slurp(dest / "Vantorx.Exe.$$$"), program) << "the program waits with its library";
    ASSERT_EQ(inst.at_restart().size(), 2u);
    EXPECT_EQ(inst.placed(), std::vector<std::string>{u8(dest / "VXHooks.DLL")});

    using vx::win::test::replaced_at_restart;
    EXPECT_TRUE(replaced_at_restart(dest / "VXHooks.DLL.$$$", dest / "VXHooks.DLL"));
    EXPECT_TRUE(replaced_at_restart(dest / "Vantorx.Exe.$$$", dest / "Vantorx.Exe"));
}

TEST_F(WinFsTest, MakesNestedFoldersAndTruncates) {
    kx::WinSetupFs fs;
    const auto deep = root / "a b" / "c" / "d";
    EXPECT_TRUE(fs.make_dirs(u8(deep)));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    put(deep / "f.bin", "0123456789");
    EXPECT_TRUE(fs.truncate(u8(deep / "f.bin"), 4));
    EXPECT_EQ(std::filesystem::file_size(deep / "f.bin"), 4u);
}

}  // namespace
