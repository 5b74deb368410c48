#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "setup/install.h"

namespace vx::setup {
namespace {

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Files in a map. A path in `in_use` is held by a running program: it cannot be created or
// replaced now, only at the next start, which `at_restart` records in order. A path in
// `locked` cannot be created at all.
class MemoryFs : public SetupFs {
public:
    std::map<std::string, Bytes> files;
    std::set<std::string> in_use, locked, dirs;
    std::vector<std::pair<std::string, std::string>> at_restart;
    bool restart_refused = false;

    bool exists(const std::string& p) override { return files.count(p) > 0; }
    std::unique_ptr<Reader> open_read(const std::string& p) override {
        if (!files.count(p)) return nullptr;
        return std::make_unique<MemReader>(files[p]);
    }
    std::unique_ptr<Writer> create(const std::string& p) override {
        if (in_use.count(p) || locked.count(p)) return nullptr;
        files[p].clear();
        return std::make_unique<MemWriter>(files[p]);
    }
    std::unique_ptr<Writer> open_write_shared(const std::string& p) override { return create(p); }
    bool remove(const std::string& p) override { return !in_use.count(p) && files.erase(p) > 0; }
    bool truncate(const std::string& p, uint64_t size) override {
        if (!files.count(p) || size > files[p].size()) return false;
        files[p].resize(size);
        return true;
    }
    bool make_dirs(const std::string& p) override {
        dirs.insert(p);
        return true;
    }
    Replaced replace(const std::string& from, const std::string& to) override {
        if (!files.count(from) || locked.count(to)) return Replaced::Failed;
        if (in_use.count(from) || in_use.count(to)) return Replaced::InUse;
        files[to] = files[from];
        files.erase(from);
        return Replaced::Now;
    }
    bool replace_at_restart(const std::string& from, const std::string& to) override {
        if (restart_refused) return false;
        at_restart.emplace_back(from, to);
        return true;
    }
    // Any staging file left behind.
    std::vector<std::string> staged() const {
        std::vector<std::string> out;
        for (const auto& [path, bytes] : files)
            if (path.ends_with(".$$$")) out.push_back(path);
        return out;
    }

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
    EXPECT_EQ(f.fs.files["/dest/VXHooks.DLL"], text("hooks library"));
    EXPECT_EQ(inst.placed(),
              (std::vector<std::string>{"/dest/VXHooks.DLL", "/win/Help/Vantorx.Hlp", "/dest/UnInstal.Exe"}));
    EXPECT_TRUE(inst.at_restart().empty());
    EXPECT_TRUE(f.fs.staged().empty());
    EXPECT_TRUE(f.fs.at_restart.empty());
    EXPECT_EQ(f.ui.percents.back(), 100);
}

TEST(Install, FreshDestinationGetsTheShippedLibraryAndDesktop) {
    Fixture f;
    PayloadInstaller inst = f.installer();
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    ASSERT_EQ(inst.decompress(f.trailer), StepResult::Done);
    EXPECT_EQ(f.fs.files["/dest/VX.DTP"], text("shipped desktop"));
    EXPECT_EQ(f.fs.files["/dest/VXIcon.Lib"], text("shipped icons"));
    EXPECT_EQ(inst.placed().size(), f.files.size());
    EXPECT_TRUE(inst.at_restart().empty());
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

TEST(Install, AbortWhileDecodingLeavesAnEarlierInstallationAsItWas) {
    Fixture f;
    f.fs.files["/dest/Vantorx.Exe"] = text("the running shell");
    f.fs.files["/dest/VXHooks.DLL"] = text("old hooks");
    PayloadInstaller inst = f.installer();
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    f.ui.cancel_after = 3;
    EXPECT_EQ(inst.decompress(f.trailer), StepResult::Cancelled);
    inst.abort_cleanup();
    EXPECT_EQ(f.fs.files["/dest/Vantorx.Exe"], text("the running shell"));
    EXPECT_EQ(f.fs.files["/dest/VXHooks.DLL"], text("old hooks"));
    EXPECT_TRUE(f.fs.staged().empty());
    EXPECT_FALSE(f.fs.exists("/dest/Vantora._KX"));
    EXPECT_TRUE(f.fs.at_restart.empty());

    Fixture g;
    PayloadInstaller fresh = g.installer();
    ASSERT_EQ(fresh.join_volumes(), StepResult::Done);
    g.ui.cancel_after = 3;
    EXPECT_EQ(fresh.decompress(g.trailer), StepResult::Cancelled);
    fresh.abort_cleanup();
    EXPECT_FALSE(g.fs.exists("/dest/Vantorx.Exe"));
    EXPECT_TRUE(g.fs.staged().empty());
}

TEST(Install, ReinstallReplacesTheOldProgramAndLibrariesAtOnce) {
    Fixture f;
    f.fs.files["/dest/Vantorx.Exe"] = text("old program");
    f.fs.files["/dest/VXHooks.DLL"] = text("old hooks");
    PayloadInstaller inst = f.installer();
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    ASSERT_EQ(inst.decompress(f.trailer), StepResult::Done) << inst.error();
    EXPECT_EQ(f.fs.files["/dest/Vantorx.Exe"], f.program);
    EXPECT_EQ(f.fs.files["/dest/VXHooks.DLL"], text("hooks library"));
    EXPECT_TRUE(inst.at_restart().empty());
    EXPECT_TRUE(f.fs.staged().empty());
}

TEST(Install, FilesInUseWaitForTheRestartAndTheProgramWaitsWithThem) {
    struct Case {
        const char* what;
        std::set<std::string> in_use;
        std::vector<std::string> waiting;
    } cases[] = {
        {"the running shell and its hooks library",
         {"/dest/Vantorx.Exe", "/dest/VXHooks.DLL"},
         {"/dest/VXHooks.DLL", "/dest/Vantorx.Exe"}},
        {"only the shell", {"/dest/Vantorx.Exe"}, {"/dest/Vantorx.Exe"}},
        // The new program must not start beside the old library.
        {"only the library, held by another program",
         {"/dest/VXHooks.DLL"},
         {"/dest/VXHooks.DLL", "/dest/Vantorx.Exe"}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.fs.files["/dest/Vantorx.Exe"] = text("old program");
        f.fs.files["/dest/VXHooks.DLL"] = text("old hooks");
        f.fs.in_use = c.in_use;
        PayloadInstaller inst = f.installer();
        ASSERT_EQ(inst.join_volumes(), StepResult::Done) << c.what;
        ASSERT_EQ(inst.decompress(f.trailer), StepResult::Done) << c.what << ": " << inst.error();
        EXPECT_EQ(inst.at_restart(), c.waiting) << c.what;
        std::vector<std::pair<std::string, std::string>> scheduled;
        for (const auto& w : c.waiting) {
            scheduled.emplace_back(w + ".$$$", w);
            // Until then the old file stays, and the new one waits whole beside it.
            EXPECT_NE(f.fs.files[w], f.fs.files[w + ".$$$"]) << c.what << " " << w;
        }
        EXPECT_EQ(f.fs.at_restart, scheduled) << c.what;
        EXPECT_EQ(f.fs.files["/dest/Vantorx.Exe"], text("old program")) << c.what;
        EXPECT_EQ(f.fs.files["/dest/Vantorx.Exe.$$$"], f.program) << c.what;
        // The record names the files as they will be, never the files they wait in.
        EXPECT_EQ(inst.program_path(), "/dest/Vantorx.Exe");
        for (const auto& p : inst.placed()) EXPECT_FALSE(p.ends_with(".$$$")) << c.what << " " << p;
        EXPECT_EQ(f.fs.files["/dest/UnInstal.Exe"], text("uninstaller")) << c.what;
    }
}

TEST(Install, AFileInUseThatCannotBeScheduledFailsAndReplacesNothingAfterIt) {
    Fixture f;
    f.fs.files["/dest/Vantorx.Exe"] = text("old program");
    f.fs.files["/dest/VXHooks.DLL"] = text("old hooks");
    f.fs.in_use = {"/dest/VXHooks.DLL"};
    f.fs.restart_refused = true;  // no right to schedule replacements
    PayloadInstaller inst = f.installer();
    ASSERT_EQ(inst.join_volumes(), StepResult::Done);
    EXPECT_EQ(inst.decompress(f.trailer), StepResult::Failed);
    EXPECT_NE(inst.error().find("/dest/VXHooks.DLL"), std::string::npos) << inst.error();
    inst.abort_cleanup();
    EXPECT_EQ(f.fs.files["/dest/Vantorx.Exe"], text("old program"));
    EXPECT_EQ(f.fs.files["/dest/VXHooks.DLL"], text("old hooks"));
    EXPECT_TRUE(f.fs.staged().empty());
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
        f.fs.locked.insert("/dest/Vantorx.Exe.$$$");
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

TEST(TaskManager, TheSystemsOwnIsKeptOnceAndOursTakesItsPlace) {
    const Bytes system = text("system task manager"), ours = text("our task manager"),
                old_ours = text("our task manager, earlier version");
    struct Case {
        const char* what;
        std::optional<Bytes> before_system, before_kept;
        std::set<std::string> in_use;
        Bytes kept_after;
        bool original_kept;
        std::vector<std::pair<std::string, std::string>> scheduled;
    } cases[] = {
        {"first install", system, std::nullopt, {}, system, true, {}},
        // The earlier install kept the original: our earlier copy must not take its place.
        {"reinstall", old_ours, system, {}, system, true, {}},
        {"a system without one", std::nullopt, std::nullopt, {}, {}, false, {}},
        {"the system's own is running",
         system,
         std::nullopt,
         {"/win/TaskMan.Exe"},
         {},
         true,
         {{"/win/TaskMan.Exe", "/win/TaskMang.Exe"}, {"/win/TaskMan.Exe.$$$", "/win/TaskMan.Exe"}}},
        {"our earlier copy is running",
         old_ours,
         system,
         {"/win/TaskMan.Exe"},
         system,
         true,
         {{"/win/TaskMan.Exe.$$$", "/win/TaskMan.Exe"}}},
    };
    for (const auto& c : cases) {
        MemoryFs fs;
        fs.files["/dest/TaskMan.Exe"] = ours;
        if (c.before_system) fs.files["/win/TaskMan.Exe"] = *c.before_system;
        if (c.before_kept) fs.files["/win/TaskMang.Exe"] = *c.before_kept;
        fs.in_use = c.in_use;
        const TaskManagerSwap r = swap_task_manager(fs, "/win", "/dest");
        ASSERT_TRUE(r.done) << c.what << ": " << r.error;
        EXPECT_EQ(r.original_kept, c.original_kept) << c.what;
        EXPECT_EQ(r.installed, "/win/TaskMan.Exe");
        EXPECT_EQ(fs.at_restart, c.scheduled) << c.what;
        EXPECT_EQ(fs.files["/dest/TaskMan.Exe"], ours) << c.what << ": the program folder keeps its copy";
        if (c.scheduled.empty()) {
            EXPECT_EQ(fs.files["/win/TaskMan.Exe"], ours) << c.what;
            EXPECT_TRUE(r.at_restart.empty()) << c.what;
            EXPECT_TRUE(fs.staged().empty()) << c.what;
        } else {
            EXPECT_EQ(fs.files["/win/TaskMan.Exe.$$$"], ours) << c.what;
            EXPECT_EQ(r.at_restart.back(), "/win/TaskMan.Exe") << c.what;
        }
        if (!c.kept_after.empty()) {
            EXPECT_EQ(fs.files["/win/TaskMang.Exe"], c.kept_after) << c.what;
        }
        if (!c.original_kept) {
            EXPECT_FALSE(fs.exists("/win/TaskMang.Exe")) << c.what;
        }
    }

    MemoryFs missing;
    missing.files["/win/TaskMan.Exe"] = system;
    const TaskManagerSwap r = swap_task_manager(missing, "/win", "/dest");
    EXPECT_FALSE(r.done);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(missing.files["/win/TaskMan.Exe"], system);
    EXPECT_FALSE(missing.exists("/win/TaskMang.Exe"));
}

TEST(ClosingQuestion, SaysWhatTookEffectAndWhatWaitsForARestart) {
    const ClosingQuestion plain = closing_question({}, false);
    EXPECT_EQ(plain.text, "Vantora! has been successfully installed.\r\n\r\nDo you wish to run Vantora!?");
    EXPECT_FALSE(plain.restart);

    const ClosingQuestion system = closing_question({}, true);
    EXPECT_EQ(
        system.text,
        "Vantora! had been successfully installed\r\n\r\nThe system should be rebooted for the Vantora! "
        "changes to take effect.\r\n\r\nReboot Windows?");
    EXPECT_TRUE(system.restart);
    EXPECT_TRUE(system.then_offer_run);

    for (bool system_changed : {false, true}) {
        const ClosingQuestion waiting =
            closing_question({"C:\\VX\\VXHooks.DLL", "C:\\VX\\Vantorx.Exe"}, system_changed);
        EXPECT_EQ(waiting.text.find("successfully"), std::string::npos) << waiting.text;
        EXPECT_NE(waiting.text.find("\r\nC:\\VX\\VXHooks.DLL\r\nC:\\VX\\Vantorx.Exe\r\n"), std::string::npos)
            << waiting.text;
        EXPECT_NE(waiting.text.find("restart"), std::string::npos) << waiting.text;
        EXPECT_TRUE(waiting.restart);
        // The program that would start is still the old one.
        EXPECT_FALSE(waiting.then_offer_run);
    }
}

TEST(SiteData, DesktopsLogsAndTheIconLibrary) {
    for (const char* site : {"VX.DTP", "C:\\VX\\lab.dtp", "VXIcon.Lib", "VXIndex.LIB", "VXJan.Log"})
        EXPECT_TRUE(site_data(site)) << site;
    for (const char* program : {"Vantorx.Exe", "VXHooks.DLL", "Vantorx.Hlp", "DTP", "C:\\LIB\\x.Pal"})
        EXPECT_FALSE(site_data(program)) << program;
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
