#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "setup/install.h"

namespace vx::setup {
namespace {

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Files in a map; paths listed in `in_use` cannot be created, as a running program's.
class MemoryFs : public SetupFs {
public:
    std::map<std::string, Bytes> files;
    std::set<std::string> in_use, dirs;

    bool exists(const std::string& p) override { return files.count(p) > 0; }
    std::unique_ptr<Reader> open_read(const std::string& p) override {
        if (!files.count(p)) return nullptr;
        return std::make_unique<MemReader>(files[p]);
    }
    std::unique_ptr<Writer> create(const std::string& p) override {
        if (in_use.count(p)) return nullptr;
        files[p].clear();
        return std::make_unique<MemWriter>(files[p]);
    }
    std::unique_ptr<Writer> open_write_shared(const std::string& p) override { return create(p); }
    bool remove(const std::string& p) override { return files.erase(p) > 0; }
    bool truncate(const std::string& p, uint64_t size) override {
        if (!files.count(p) || size > files[p].size()) return false;
        files[p].resize(size);
        return true;
    }
    bool make_dirs(const std::string& p) override {
        dirs.insert(p);
        return true;
    }
    std::string short_path(const std::string& p) override { return "~" + p; }

private:
    struct MemReader : Reader {
        explicit MemReader(const Bytes& b) : data(b) {}
        bool read(uint8_t* buf, size_t cap, size_t& got) override {
            got = std::min(cap, data.size() - std::min(pos, data.size()));
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(pos), got, buf);
            pos += got;
            return true;
        }
        bool seek(uint64_t offset) override {
            pos = offset;
            return true;
        }
        Bytes data;
        size_t pos = 0;
    };
    struct MemWriter : Writer {
        explicit MemWriter(Bytes& b) : data(b) {}
        bool write(const uint8_t* d, size_t n) override {
            data.insert(data.end(), d, d + n);
            return true;
        }
        bool close() override { return true; }
        Bytes& data;
    };
};

class ScriptedUi : public SetupUi {
public:
    std::vector<std::string> asked, told;
    std::vector<int> percents;
    std::function<bool(const std::string&)> answer = [](const std::string&) { return true; };
    int cancel_after = -1;  // calls to cancelled() before the user cancels

    bool ok_cancel(const std::string& t) override {
        asked.push_back(t);
        return answer(t);
    }
    void message(const std::string& t) override { told.push_back(t); }
    void progress(int p) override { percents.push_back(p); }
    bool cancelled() override { return cancel_after >= 0 && cancel_after-- == 0; }
};

struct Fixture {
    MemoryFs fs;
    ScriptedUi ui;
    Bytes program = text(std::string(70000, 'P') + "end of program");
    std::vector<PackFile> files = {
        {"VXHooks.DLL", text("hooks library")}, {"VX.DTP", text("shipped desktop")},
        {"VXIcon.Lib", text("shipped icons")},  {"Vantorx.Hlp", text("help")},
        {"UnInstal.Exe", text("uninstaller")},
    };
    Trailer trailer;

    explicit Fixture(uint64_t disk_size = 20000) {
        const Payload p = build_payload(program, files, disk_size, kDiskCount);
        for (size_t d = 0; d < p.volumes.size(); ++d)
            fs.files["/src/Vantorx.00" + std::to_string(d + 1)] = p.volumes[d];
        trailer = parse_trailer(p.trailer);
    }
    PayloadInstaller installer() { return PayloadInstaller(fs, ui, "/src", "/dest", "/win/Help"); }
};

TEST(Install, PlacesEveryFileAndKeepsTheSitesOwn) {
    Fixture f;
    f.fs.files["/dest/VX.DTP"] = text("site desktop");
    f.fs.files["/dest/VXIcon.Lib"] = text("site icons");
    f.fs.files["/dest/UnInstal.Exe"] = text("old uninstaller");
    f.fs.in_use.insert("/dest/VXHooks.DLL");
    PayloadInstaller inst = f.installer();

    ASSERT_EQ(inst.join_volumes(), StepResult::Done) << inst.error();
    EXPECT_EQ(f.ui.asked,
              (std::vector<std::string>{"Please Insert Disk number 2", "Please Insert Disk number 3"}));
    ASSERT_EQ(inst.decompress(f.trailer), StepResult::Done) << inst.error();

    EXPECT_EQ(f.fs.files["/dest/Vantorx.Exe"], f.program);  // cut at the first entry
    EXPECT_FALSE(f.fs.exists("/dest/Vantora._KX"));
    EXPECT_EQ(f.fs.files["/dest/VX.DTP"], text("site desktop"));
    EXPECT_EQ(f.fs.files["/dest/VXIcon.Lib"], text("site icons"));
    EXPECT_EQ(f.fs.files["/dest/UnInstal.Exe"], text("uninstaller"));
    EXPECT_EQ(f.fs.files["/win/Help/Vantorx.Hlp"], text("help"));
    EXPECT_FALSE(f.fs.exists("/dest/Vantorx.Hlp"));
    EXPECT_EQ(f.fs.files["/dest/VXHooks.$$$"], text("hooks library"));
    EXPECT_EQ(inst.renames(), (std::vector<RenameLine>{{"~/dest/VXHooks.DLL", "~/dest/VXHooks.$$$"}}));
    EXPECT_EQ(f.ui.percents.back(), 100);
}

TEST(Install, FreshDestinationGetsTheShippedLibraryAndDesktop) {
    Fixture f;
    PayloadInstaller inst = f.installer();
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    ASSERT_EQ(inst.decompress(f.trailer), StepResult::Done);
    EXPECT_EQ(f.fs.files["/dest/VX.DTP"], text("shipped desktop"));
    EXPECT_EQ(f.fs.files["/dest/VXIcon.Lib"], text("shipped icons"));
    EXPECT_TRUE(inst.renames().empty());
}

TEST(Install, JoiningBarIsMeasuredAgainstTheNominalTotalAndStopsAtFull) {
    MemoryFs fs;
    ScriptedUi ui;
    fs.files["/src/Vantorx.001"] = Bytes(2000000, 1);
    fs.files["/src/Vantorx.002"] = Bytes(2000000, 2);
    fs.files["/src/Vantorx.003"] = Bytes(1000, 3);
    PayloadInstaller inst(fs, ui, "/src", "/dest", "/help");
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    EXPECT_EQ(fs.files["/dest/Vantora._KX"].size(), 4001000u);
    ASSERT_FALSE(ui.percents.empty());
    EXPECT_EQ(ui.percents.front(), 0);  // 2048 * 100 / 3281000 rounds to 0
    EXPECT_EQ(ui.percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(ui.percents.begin(), ui.percents.end()));
    EXPECT_EQ(std::adjacent_find(ui.percents.begin(), ui.percents.end()), ui.percents.end());
}

TEST(Install, DiskPromptRepeatsUntilTheVolumeIsThereAndCancelAborts) {
    Fixture f;
    const Bytes second = f.fs.files["/src/Vantorx.002"];
    f.fs.files.erase("/src/Vantorx.002");
    int prompts = 0;
    f.ui.answer = [&](const std::string&) {
        if (++prompts == 2) f.fs.files["/src/Vantorx.002"] = second;  // inserted on the second ask
        return true;
    };
    PayloadInstaller inst = f.installer();
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    EXPECT_EQ(f.ui.told,
              (std::vector<std::string>{
                  "This is not the appropriate disk.\r\nPlease insert the correct disk and Press Enter"}));

    Fixture g;
    g.fs.files.erase("/src/Vantorx.003");
    g.ui.answer = [](const std::string&) { return false; };
    PayloadInstaller cancelled = g.installer();
    EXPECT_EQ(cancelled.join_volumes(), StepResult::Cancelled);
    cancelled.abort_cleanup();
    EXPECT_FALSE(g.fs.exists("/dest/Vantora._KX"));
}

TEST(Install, AbortWhileDecodingKeepsAnEarlierProgramAndDropsItsRename) {
    Fixture f;
    f.fs.files["/dest/Vantorx.Exe"] = text("the running shell");
    PayloadInstaller inst = f.installer();
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    f.ui.cancel_after = 3;
    EXPECT_EQ(inst.decompress(f.trailer), StepResult::Cancelled);
    EXPECT_FALSE(inst.renames().empty());  // the program was being written beside the old one
    inst.abort_cleanup();
    EXPECT_EQ(f.fs.files["/dest/Vantorx.Exe"], text("the running shell"));
    EXPECT_FALSE(f.fs.exists("/dest/Vantorx.$$$"));
    EXPECT_FALSE(f.fs.exists("/dest/Vantora._KX"));
    EXPECT_TRUE(inst.renames().empty());

    Fixture g;
    PayloadInstaller fresh = g.installer();
    ASSERT_EQ(fresh.join_volumes(), StepResult::Done);
    g.ui.cancel_after = 3;
    EXPECT_EQ(fresh.decompress(g.trailer), StepResult::Cancelled);
    fresh.abort_cleanup();
    EXPECT_FALSE(g.fs.exists("/dest/Vantorx.Exe"));
}

TEST(Install, ReinstallOverARunningShellWritesBesideIt) {
    Fixture f;
    f.fs.files["/dest/Vantorx.Exe"] = text("the running shell");
    PayloadInstaller inst = f.installer();
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    ASSERT_EQ(inst.decompress(f.trailer), StepResult::Done);
    EXPECT_EQ(f.fs.files["/dest/Vantorx.Exe"], text("the running shell"));
    EXPECT_EQ(f.fs.files["/dest/Vantorx.$$$"], f.program);
    EXPECT_EQ(inst.renames(), (std::vector<RenameLine>{{"~/dest/Vantorx.Exe", "~/dest/Vantorx.$$$"}}));
}

TEST(Install, DamagedOrMissingPiecesFailInsteadOfInstallingGarbage) {
    {
        Fixture f;
        auto& first = f.fs.files["/src/Vantorx.001"];
        ASSERT_TRUE(f.fs.files["/src/Vantorx.002"].empty());
        first.resize(first.size() / 2);  // a short copy of the only full disk
        PayloadInstaller inst = f.installer();
        ASSERT_EQ(inst.join_volumes(), StepResult::Done);
        EXPECT_EQ(inst.decompress(f.trailer), StepResult::Failed);
        EXPECT_FALSE(inst.error().empty());
    }
    {
        Fixture f;
        f.fs.in_use.insert("/dest/Vantorx.Exe");
        PayloadInstaller inst = f.installer();
        ASSERT_EQ(inst.join_volumes(), StepResult::Done);
        EXPECT_EQ(inst.decompress(f.trailer), StepResult::Failed);
    }
    {
        Fixture f;
        f.fs.files.erase("/src/Vantorx.001");
        PayloadInstaller inst = f.installer();
        EXPECT_EQ(inst.join_volumes(), StepResult::Failed);
    }
}

TEST(Install, ProgramOnlyPayload) {
    MemoryFs fs;
    ScriptedUi ui;
    const Payload p = build_payload(text("just the program"), {}, 1000, kDiskCount);
    for (size_t d = 0; d < p.volumes.size(); ++d)
        fs.files["/src/Vantorx.00" + std::to_string(d + 1)] = p.volumes[d];
    PayloadInstaller inst(fs, ui, "/src", "/dest", "/help");
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    ASSERT_EQ(inst.decompress(parse_trailer(p.trailer)), StepResult::Done);
    EXPECT_EQ(fs.files["/dest/Vantorx.Exe"], text("just the program"));
    EXPECT_TRUE(inst.placed().empty());
}

TEST(RenameSection, KeepsWhatIsThereAndAddsOnce) {
    const std::vector<RenameLine> ours = {
        {"C:\\PROGRA~1\\VANTORA\\VANTORX.EXE", "C:\\PROGRA~1\\VANTORA\\VANTORX.$$$"}};
    const std::string our_line = "C:\\PROGRA~1\\VANTORA\\VANTORX.EXE=C:\\PROGRA~1\\VANTORA\\VANTORX.$$$\r\n";
    const struct {
        const char* what;
        std::string before, after;
    } cases[] = {
        {"no file yet", "", "[Rename]\r\n" + our_line},
        {"other sections only, no final line end", "[Other]\r\nA=1",
         "[Other]\r\nA=1\r\n[Rename]\r\n" + our_line},
        {"another installer's renames stay first", "[rename]\r\nNUL=C:\\TEMP\\X.TMP\r\n\r\n[Next]\r\nB=2\r\n",
         "[rename]\r\nNUL=C:\\TEMP\\X.TMP\r\n" + our_line + "\r\n[Next]\r\nB=2\r\n"},
        {"already scheduled", "[Rename]\r\n" + our_line, "[Rename]\r\n" + our_line},
        {"unix line ends kept", "[Rename]\nNUL=C:\\A\n", "[Rename]\nNUL=C:\\A\n" + our_line},
    };
    for (const auto& c : cases) EXPECT_EQ(merge_rename_section(c.before, ours), c.after) << c.what;
    EXPECT_EQ(merge_rename_section("[Other]\r\n", {}), "[Other]\r\n");
}

TEST(Destination, NeedsAnUpperCaseDriveAndColon) {
    for (const char* ok : {"C:\\Program Files\\Vantora", "Z:", "D:\\"})
        EXPECT_TRUE(destination_acceptable(ok)) << ok;
    for (const char* bad : {"c:\\Program Files", "", "C", "\\\\server\\share", "1:\\x", "CC:\\"})
        EXPECT_FALSE(destination_acceptable(bad)) << bad;
}

}  // namespace
}  // namespace vx::setup
