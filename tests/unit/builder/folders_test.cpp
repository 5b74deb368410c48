#include "builder/folders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_folders.h"

namespace vx::builder {
namespace {

std::vector<std::string> shown(const std::vector<FolderItem>& items) {
    std::vector<std::string> out;
    for (const auto& i : items) {
        std::string s = i.name + (i.folder ? "/" : "") + " <";
        for (const auto& p : i.paths) s += " " + p;
        out.push_back(s + " >");
    }
    return out;
}

TEST(MergedFolder, ANameInBothShowsOnceAndTheUsersWins) {
    testing::FakeFolders fs;
    fs.add("C:\\U\\Mail.lnk").add("C:\\U\\Games\\").add("C:\\U\\Only Mine.lnk");
    fs.add("C:\\C\\MAIL.LNK").add("C:\\C\\games\\").add("C:\\C\\Shared.url").add("C:\\C\\Only Mine.lnk\\");
    const Folder f{"Programs", {"C:\\U", "C:\\C", "C:\\Missing"}};
    EXPECT_EQ(shown(list_folder(fs, f)), (std::vector<std::string>{
                                             "Mail.lnk < C:\\U\\Mail.lnk >",
                                             "Games/ < C:\\U\\Games C:\\C\\games >",
                                             "Only Mine.lnk < C:\\U\\Only Mine.lnk >",
                                             "Shared.url < C:\\C\\Shared.url >",
                                         }));
}

TEST(WindowsFolders, TheWindowsDirectoryFoldersWinWhereTheyExist) {
    const KnownFolders known{"C:\\Users\\a\\Desktop", "C:\\Users\\Public\\Desktop", "C:\\Users\\a\\Programs",
                             "C:\\ProgramData\\Programs"};
    testing::FakeFolders old;
    old.add("C:\\WIN\\Desktop\\").add("C:\\WIN\\Start Menu\\Programs\\");
    auto f = find_windows_folders(old, "C:\\WIN", known);
    EXPECT_EQ(f.desktop.paths, std::vector<std::string>{"C:\\WIN\\Desktop"});
    EXPECT_EQ(f.programs.paths, std::vector<std::string>{"C:\\WIN\\Start Menu\\Programs"});

    testing::FakeFolders current;
    current.add("C:\\WIN\\System32\\");
    f = find_windows_folders(current, "C:\\WIN", known);
    EXPECT_EQ(f.desktop.paths, (std::vector<std::string>{known.user_desktop, known.common_desktop}));
    EXPECT_EQ(f.programs.paths, (std::vector<std::string>{known.user_programs, known.common_programs}));

    // A known folder the system does not have is left out rather than listed as "".
    f = find_windows_folders(current, "C:\\WIN", KnownFolders{"C:\\D", "", "", "C:\\P"});
    EXPECT_EQ(f.desktop.paths, std::vector<std::string>{"C:\\D"});
    EXPECT_EQ(f.programs.paths, std::vector<std::string>{"C:\\P"});
}

TEST(UrlFile, GivesItsAddress) {
    struct Case {
        const char* text;
        std::optional<std::string> address;
    };
    const Case cases[] = {
        {"[InternetShortcut]\r\nURL=http://example.test/a?b=1\r\n", "http://example.test/a?b=1"},
        {"\xEF\xBB\xBF[internetshortcut]\nurl = http://x.test/ \n", "http://x.test/"},
        {"[Other]\nURL=http://wrong.test\n[InternetShortcut]\nIconIndex=0\nURL=http://right.test", "http://right.test"},
        {"URL=http://outside.test\n", std::nullopt},
        {"[InternetShortcut]\nURL=\n", std::nullopt},
        {"[InternetShortcut]\nURL=http://a.test/\x01\"evil\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(url_file_address(c.text), c.address) << c.text;
}

}  // namespace
}  // namespace vx::builder
