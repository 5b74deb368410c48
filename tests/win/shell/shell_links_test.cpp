#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "win/shell/shell_links.h"
#include "win/util/text.h"

namespace vx::win::shell {
namespace {

namespace fs = std::filesystem;

// Wine writes a link's show command into the file but does not load it back (checked with
// Wine 8: the stored byte is right, GetShowCmd answers SW_SHOWNORMAL).
bool running_under_wine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

class ShellLinksTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("vx links " + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "work dir");
        target_ = folder_ / "Target Program.exe";
        std::ofstream(target_, std::ios::binary) << "MZ";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string utf8(const fs::path& p) const { return narrow(p.wstring()); }

    fs::path folder_, target_;
    Win32ShellLinks links;
};

TEST_F(ShellLinksTest, ALinkWrittenReadsBackWithEveryField) {
    ShellLink link;
    link.target = utf8(target_);
    link.arguments = "/open \"a file.txt\"";
    link.working_directory = utf8(folder_ / "work dir");
    link.show = ShowState::Minimized;
    link.description = "Caf\xC3\xA9 program";
    link.icon_location = utf8(target_);
    link.icon_index = 2;
    const std::string path = utf8(folder_ / "My Program.lnk");
    std::string error;
    ASSERT_TRUE(links.create(path, link, error)) << error;

    const auto read = links.resolve(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(fs::equivalent(fs::path(widen(read->target)), target_)) << read->target;
    EXPECT_EQ(read->arguments, link.arguments);
    EXPECT_EQ(read->working_directory, link.working_directory);
    if (!running_under_wine()) {
        EXPECT_EQ(read->show, ShowState::Minimized);
    }
    EXPECT_EQ(read->description, link.description);
    EXPECT_EQ(read->icon_index, 2);

    // Written again over the old one: the new fields win and no temporary file stays behind.
    link.arguments.clear();
    link.working_directory.clear();
    link.show = ShowState::Maximized;
    ASSERT_TRUE(links.create(path, link, error)) << error;
    const auto again = links.resolve(path);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->arguments, "");
    EXPECT_EQ(again->working_directory, "");
    if (!running_under_wine()) {
        EXPECT_EQ(again->show, ShowState::Maximized);
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2) << "the target and the link";
}

TEST_F(ShellLinksTest, WhatIsNoLinkResolvesToNothing) {
    std::ofstream(folder_ / "Not A Link.lnk", std::ios::binary) << "this is text, not a shell link";
    std::ofstream(folder_ / "Empty.lnk", std::ios::binary);
    EXPECT_FALSE(links.resolve(utf8(folder_ / "Not A Link.lnk")).has_value());
    EXPECT_FALSE(links.resolve(utf8(folder_ / "Empty.lnk")).has_value());
    EXPECT_FALSE(links.resolve(utf8(folder_ / "Missing.lnk")).has_value());
    EXPECT_FALSE(links.resolve(utf8(folder_ / "work dir")).has_value()) << "a folder";
}

TEST_F(ShellLinksTest, AFailedSaveLeavesNoFileAndSaysWhy) {
    ShellLink link;
    link.target = utf8(target_);
    std::string error;
    EXPECT_FALSE(links.create(utf8(folder_ / "no such folder" / "x.lnk"), link, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(folder_ / "no such folder"));
}

}  // namespace
}  // namespace vx::win::shell
