#include "dialogs/selector_rules.h"
#include "dialogs/selector_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace vx::dialogs {
namespace {

std::vector<std::string> texts(const std::vector<FilterEntry>& list) {
    std::vector<std::string> out;
    for (const auto& e : list) out.push_back(e.text());
    return out;
}

TEST(FilterList, DefaultThenFixedEntriesWhenNothingIsStored) {
    EXPECT_EQ(texts(file_filter_list("", {})),
              (std::vector<std::string>{"Default (*.*)|*.*", "All Files|*.*",
                                        "Programs|*.EXE *.COM *.BAT *.PIF *.LNK",
                                        "Documents|*.DOC *.TXT *.WRI", "INI Files|*.INI"}));
    EXPECT_EQ(file_filter_list("*.BMP", {})[0].text(), "Default (*.BMP)|*.BMP");
}

TEST(FilterList, StoredEntriesReplaceTheFixedOnes) {
    EXPECT_EQ(texts(file_filter_list("*.TXT", {"Pictures|*.BMP *.PCX", "odd"})),
              (std::vector<std::string>{"Default (*.TXT)|*.TXT", "Pictures|*.BMP *.PCX", "odd|odd"}));
    const std::vector<std::string> many(2000, "X|*.X");
    EXPECT_EQ(file_filter_list("", many).size(), 1u + kMaxFileMasks);
}

TEST(FilterList, IconSelectorEntries) {
    const auto list = texts(icon_filter_list(""));
    ASSERT_EQ(list.size(), 9u);
    EXPECT_EQ(list[0], "Default (*.*)|*.*");
    EXPECT_EQ(list[1], "Icon File (ICO)|*.ICO");
    EXPECT_EQ(list[7], "BitMap File (TIF)|*.TIF");
    EXPECT_EQ(list[8], "All Files (*.*)|*.*");
}

TEST(FocusRules, OkAndCancel) {
    struct Case {
        Focus focus;
        bool has_name, required;
        OkAction ok;
    } cases[] = {
        {Focus::kFileList, false, true, OkAction::kActivateItem},
        {Focus::kFilterBox, true, true, OkAction::kFocusFileList},
        {Focus::kLocationBox, true, false, OkAction::kFocusFileList},
        {Focus::kFilterList, true, true, OkAction::kApplyFilter},
        {Focus::kOther, true, true, OkAction::kCloseOk},
        {Focus::kOther, false, false, OkAction::kCloseOk},
        {Focus::kOther, false, true, OkAction::kBeep},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ok_action(c.focus, c.has_name, c.required), c.ok) << static_cast<int>(c.focus);
    EXPECT_EQ(cancel_action(Focus::kFilterList), CancelAction::kFocusFilterBox);
    for (auto f : {Focus::kFileList, Focus::kFilterBox, Focus::kLocationBox, Focus::kOther})
        EXPECT_EQ(cancel_action(f), CancelAction::kCloseCancel);
}

TEST(TextCase, Modes) {
    struct Case {
        const char* name;
        int mode;
        const char* shown;
    } cases[] = {
        {"README.TXT", 0, "README.TXT"}, {"README.TXT", 1, "Readme.txt"}, {"My Notes.txt", 1, "My Notes.txt"},
        {"README.TXT", 2, "readme.txt"}, {"Readme.txt", 3, "README.TXT"}, {"_A1B.C", 1, "_A1b.c"},
        {"README.TXT", 9, "Readme.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(apply_text_case(c.name, c.mode), c.shown) << c.name << c.mode;
}

TEST(AddMode, EveryIconIndexOfEveryFileOnce) {
    const std::map<std::string, int> icons{{"a.exe", 3}, {"b.txt", 0}, {"c.ico", 1}, {"bad.dll", -1}};
    std::vector<std::pair<std::string, int>> added;
    const int count = add_icons_of_files(
        {"a.exe", "b.txt", "c.ico", "bad.dll"}, [&](const std::string& f) { return icons.at(f); },
        [&](const std::string& f, int i) { added.emplace_back(f, i); });
    EXPECT_EQ(count, 4);
    EXPECT_EQ(added, (std::vector<std::pair<std::string, int>>{
                         {"a.exe", 0}, {"a.exe", 1}, {"a.exe", 2}, {"c.ico", 0}}));
}

TEST(Previews, TextOfAFile) {
    struct Case {
        std::string bytes;
        bool expand;
        int tab;
        std::string shown;
    } cases[] = {
        {"a\tb", true, 8, "a       b"},
        {"abcdefgh\tx", true, 4, "abcdefgh    x"},
        {"a\tb", false, 8, "a\tb"},
        {"one\ntwo\r\nthree\rfour", true, 8, "one\r\ntwo\r\nthree\r\nfour"},
        {"line\n\tx", true, 2, "line\r\n  x"},
        {std::string("MZ\0\x01\x1b\xe9", 6), true, 8, "MZ...\xe9"},
        {"x\ty", true, 0, "x y"},
    };
    for (const auto& c : cases) EXPECT_EQ(preview_text(c.bytes, c.expand, c.tab), c.shown) << c.bytes;
    EXPECT_EQ(preview_text(std::string(100, 'a'), true, 8, 10), std::string(10, 'a'));
}

TEST(Previews, BinaryFilesShowAsBytes) {
    EXPECT_FALSE(looks_binary("plain text\r\n\twith tabs\f"));
    EXPECT_FALSE(looks_binary(""));
    EXPECT_TRUE(looks_binary(std::string("MZ\x90\0\x03", 5)));
    EXPECT_TRUE(looks_binary("\x01\x02\x03 text"));
    EXPECT_EQ(hex_preview(std::string("MZ\0\x7F", 4)),
              "00000000  4D 5A 00 7F " + std::string(12 * 3, ' ') + " MZ..\r\n");
    const std::string big(40, 'A');
    const std::string shown = hex_preview(big, 20);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 2) << "cut at max_bytes";
    EXPECT_EQ(shown.substr(shown.find("\r\n") + 2, 8), "00000010");
}

TEST(Previews, KindBySelectorAndExtension) {
    using K = PreviewKind;
    using S = SelectorKind;
    const struct {
        S selector;
        const char* file;
        K kind;
    } cases[] = {
        {S::kFile, "a.bmp", K::kPicture},  {S::kFile, "a.WAV", K::kMedia},     {S::kFile, "a.txt", K::kText},
        {S::kFile, "noext", K::kText},     {S::kImage, "a.avi", K::kMedia},    {S::kImage, "a.txt", K::kNone},
        {S::kImage, "a.Png", K::kPicture}, {S::kIcon, "a.dll", K::kIcons},     {S::kIcon, "a.ani", K::kIcons},
        {S::kIcon, "a.bmp", K::kNone},     {S::kDirectory, "a.ico", K::kNone},
    };
    for (const auto& c : cases) EXPECT_EQ(preview_kind(c.selector, c.file), c.kind) << c.file;
}

TEST(Previews, ByExtension) {
    EXPECT_TRUE(is_picture_preview("x.bmp"));
    EXPECT_TRUE(is_media_preview("song.Mid"));
    EXPECT_FALSE(is_media_preview("x.bmp"));
    EXPECT_FALSE(is_picture_preview("notes.txt"));
    EXPECT_FALSE(is_picture_preview("BMP"));
    EXPECT_TRUE(is_icon_preview("prog.EXE"));
}

}  // namespace
}  // namespace vx::dialogs
