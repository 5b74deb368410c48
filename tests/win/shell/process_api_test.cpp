#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "win/shell/process_api.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

namespace fs = std::filesystem;

// The build hands over its path with forward slashes; the shell's calls want the system's.
std::string backslashed(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

const std::string kRecorder = backslashed(VX_START_RECORDER);

// A fresh folder per test (with a blank in its name, as real program folders have), and the
// recorder told to write there.
class ProcessApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() / ("vx process " + std::to_string(GetCurrentProcessId()) + " " +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        record_ = folder_ / "record.txt";
        SetEnvironmentVariableW(L"VX_RECORD_FILE", record_.wstring().c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"VX_RECORD_FILE", nullptr);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // The recorder's lines once it has written them; empty after ten seconds without.
    std::map<std::string, std::string> wait_for_record() {
        for (int i = 0; i < 200; ++i) {
            if (fs::exists(record_)) {
                std::map<std::string, std::string> fields;
                {
                    std::ifstream in(record_, std::ios::binary);
                    std::string line;
                    while (std::getline(in, line)) {
                        const size_t eq = line.find('=');
                        if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
                    }
                }
                fs::remove(record_);
                return fields;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return {};
    }

    std::string folder_utf8() const { return narrow(folder_.wstring()); }

    static void wait_for_exit(std::uint32_t pid) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (!process) return;
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }

    fs::path folder_, record_;
    Win32ProcessApi api;
};

TEST_F(ProcessApiTest, StartsWithTheCommandLineFolderAndWindowState) {
    const struct {
        ShowState show;
        int recorded;
    } cases[] = {{ShowState::Normal, SW_SHOWNORMAL},
                 {ShowState::Minimized, SW_SHOWMINIMIZED},
                 {ShowState::Maximized, SW_SHOWMAXIMIZED},
                 {ShowState::Hidden, SW_HIDE}};
    for (const auto& c : cases) {
        const std::string command = "\"" + kRecorder + "\" plain \"two words\" caf\xC3\xA9";
        std::uint32_t pid = 0;
        std::string error;
        ASSERT_TRUE(api.launch_process({command, folder_utf8(), c.show}, pid, error)) << error;
        EXPECT_NE(pid, 0u);
        const auto fields = wait_for_record();
        ASSERT_FALSE(fields.empty()) << "the recorder wrote nothing";
        EXPECT_EQ(fields.at("cmdline"), command) << "passed on exactly as written";
        EXPECT_TRUE(fs::equivalent(fs::path(widen(fields.at("cwd"))), folder_)) << fields.at("cwd");
        EXPECT_EQ(fields.at("show"), std::to_string(c.recorded));
        EXPECT_EQ(fields.at("pid"), std::to_string(pid));
        api.wait_for_input_idle(pid);
        wait_for_exit(pid);
    }
}

TEST_F(ProcessApiTest, FailuresAreReportedWithAText) {
    std::string error;
    std::uint32_t pid = 7;
    EXPECT_FALSE(api.launch_process({"Z:\\no\\such\\program.exe", "", ShowState::Normal}, pid, error));
    EXPECT_EQ(pid, 0u);
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(api.start_process({"", "", ShowState::Normal}, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(api.shell_open("Z:\\no\\such\\document.vxnothing", "", ShowState::Normal, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(api.find_executable("Z:\\no\\such\\document.vxnothing"), "");
    api.wait_for_input_idle(0);  // nothing to wait for
}

TEST_F(ProcessApiTest, ShellOpenPassesParametersFolderAndWindowState) {
    std::string error;
    ASSERT_TRUE(
        api.shell_open_with(kRecorder, "one \"two three\"", folder_utf8(), ShowState::Minimized, error))
        << error;
    const auto fields = wait_for_record();
    ASSERT_FALSE(fields.empty());
    EXPECT_NE(fields.at("cmdline").find("one \"two three\""), std::string::npos) << fields.at("cmdline");
    EXPECT_TRUE(fs::equivalent(fs::path(widen(fields.at("cwd"))), folder_));
    EXPECT_EQ(fields.at("show"), std::to_string(SW_SHOWMINIMIZED));
    wait_for_exit(static_cast<std::uint32_t>(std::stoul(fields.at("pid"))));

    ASSERT_TRUE(api.shell_open(kRecorder, folder_utf8(), ShowState::Normal, error)) << error;
    const auto plain = wait_for_record();
    ASSERT_FALSE(plain.empty());
    wait_for_exit(static_cast<std::uint32_t>(std::stoul(plain.at("pid"))));
}

TEST_F(ProcessApiTest, FindsTheStartedProgramsWindowAndBringsItBack) {
    const std::string title = "VX recorder window " + std::to_string(GetCurrentProcessId());
    std::uint32_t pid = 0;
    std::string error;
    ASSERT_TRUE(api.launch_process(
        {"\"" + kRecorder + "\" --window \"" + title + "\"", "", ShowState::Minimized}, pid, error))
        << error;
    api.wait_for_input_idle(pid);
    ASSERT_FALSE(wait_for_record().empty());

    WindowId found = 0;
    for (int i = 0; i < 100 && !found; ++i) {
        for (WindowId w : api.top_level_windows())
            if (api.window_title(w) == title) found = w;
        if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(found, 0u) << "no top-level window titled " << title;
    EXPECT_TRUE(api.window_exists(found));
    EXPECT_TRUE(api.window_visible(found));
    EXPECT_EQ(api.window_process(found), pid);
    EXPECT_NE(api.window_thread(found), 0u);
    EXPECT_EQ(api.owner_of(found), 0u);
    EXPECT_TRUE(IsIconic(reinterpret_cast<HWND>(found)));

    api.activate(found);
    EXPECT_FALSE(IsIconic(reinterpret_cast<HWND>(found))) << "a minimised window is restored";

    PostMessageW(reinterpret_cast<HWND>(found), WM_CLOSE, 0, 0);
    wait_for_exit(pid);
    for (int i = 0; i < 100 && api.window_exists(found); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(api.window_exists(found));
    EXPECT_EQ(api.window_title(found), "");
    EXPECT_EQ(api.window_process(found), 0u);
}

// What the launcher's check reads to find the program a command would really start.
TEST_F(ProcessApiTest, LongNamesSearchFoldersAndProgramExtensions) {
    const fs::path long_folder = folder_ / "A Rather Long Folder Name";
    fs::create_directories(long_folder);
    wchar_t short_name[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(long_folder.wstring().c_str(), short_name, MAX_PATH), 0u);
    ASSERT_NE(fs::path(short_name).filename(), long_folder.filename()) << "no 8.3 name to test with";
    EXPECT_TRUE(fs::equivalent(fs::path(widen(Win32ProcessApi::long_path(narrow(short_name)))), long_folder));
    EXPECT_EQ(fs::path(widen(Win32ProcessApi::long_path(narrow(short_name)))).filename(),
              long_folder.filename());
    EXPECT_EQ(Win32ProcessApi::long_path("Z:\\no\\such\\PROGRA~9.EXE"), "Z:\\no\\such\\PROGRA~9.EXE");

    wchar_t old_path[32768] = {}, old_ext[4096] = {};
    GetEnvironmentVariableW(L"PATH", old_path, 32768);
    GetEnvironmentVariableW(L"PATHEXT", old_ext, 4096);
    SetEnvironmentVariableW(L"PATH", L"C:\\one; \"C:\\two;three\";;C:\\four");
    SetEnvironmentVariableW(L"PATHEXT", L".com;.Exe;bat");
    const auto folders = Win32ProcessApi::search_folders();
    const auto extensions = Win32ProcessApi::path_extensions();
    SetEnvironmentVariableW(L"PATHEXT", nullptr);
    const auto default_extensions = Win32ProcessApi::path_extensions();
    SetEnvironmentVariableW(L"PATH", old_path);
    SetEnvironmentVariableW(L"PATHEXT", old_ext[0] ? old_ext : nullptr);

    ASSERT_GE(folders.size(), 5u);
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_TRUE(fs::equivalent(fs::path(widen(folders[0])), fs::path(exe).parent_path()))
        << "the program's folder";
    EXPECT_TRUE(fs::equivalent(fs::path(widen(folders[1])), fs::current_path())) << "then the current folder";
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(folders[4], narrow(windows));
    // PATH last, quoted entries whole; the quoted entry holds a ";" that must not split it.
    const std::vector<std::string> path_part(folders.end() - 3, folders.end());
    EXPECT_EQ(path_part, (std::vector<std::string>{"C:\\one", "C:\\two;three", "C:\\four"}));
    EXPECT_EQ(extensions, (std::vector<std::string>{".COM", ".EXE", ".BAT"}));
    EXPECT_EQ(default_extensions, (std::vector<std::string>{".COM", ".EXE", ".BAT", ".CMD"}));
}

}  // namespace
}  // namespace vx::win::shell
