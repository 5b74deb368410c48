#include "win/iconlib/library_images.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "iconlib/animation.h"
#include "iconlib/icon_file.h"
#include "util/file_io.h"
#include "win/iconlib/library_pictures.h"
#include "win/iconlib/win_icon_source.h"
#include "win/shell/shell_links.h"
#include "win/support/dib_surface.h"
#include "win/util/text.h"

namespace vx::win::iconlib {
namespace {

namespace core = vx::iconlib;

std::string sample(const char* name) {
    return std::string(VX_SAMPLES_DIR) + "/" + name;
}

SIZE icon_size(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    unique_hbitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    GetObjectW(mask.get(), sizeof bm, &bm);
    return {bm.bmWidth, colour ? bm.bmHeight : bm.bmHeight / 2};
}

POINT hot_spot(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {-1, -1};
    unique_hbitmap colour(info.hbmColor), mask(info.hbmMask);
    return {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
}

core::LoadedEntry entry(int32_t type, Bytes data) {
    return core::LoadedEntry{0, type, std::move(data)};
}

class TempDir {
public:
    TempDir() {
        path = std::filesystem::temp_directory_path() /
               ("vx_iconlib_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string str() const { return narrow(path.wstring()); }
    std::string file(const char* name) const { return narrow((path / name).wstring()); }
    std::filesystem::path path;
    static inline int counter = 0;
};

TEST(LibraryImages, RealIconsLoadAtThirtyTwoPixels) {
    for (const char* name :
         {"icojs_basic.ico", "icojs_palette.ico", "icojs_png.ico", "webamp_museum_favicon.ico"}) {
        SCOPED_TRACE(name);
        const Bytes bytes = read_file(sample(name));
        unique_hicon icon = entry_icon(entry(core::kTypeIcon, bytes));
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon_size(icon.get()).cx, kIconSize);
    }
}

// A cursor made from memory must be the one the cursor-from-file loader makes of a temporary
// copy: same size and the file's hot spot.
TEST(LibraryImages, CursorFromMemoryMatchesTheFileLoader) {
    TempDir dir;
    for (const char* name : {"icojs_cursor.cur", "mini.cur", "emvaized_unavailable.cur"}) {
        SCOPED_TRACE(name);
        const Bytes bytes = read_file(sample(name));
        const std::string copy = dir.file("copy.cur");
        write_file_atomic(copy, bytes);
        unique_hcursor from_file(LoadCursorFromFileW(widen(copy).c_str()));
        unique_hcursor from_memory = entry_cursor(entry(core::kTypeCursor, bytes));
        ASSERT_EQ(static_cast<bool>(from_file), static_cast<bool>(from_memory));
        if (!from_file) continue;
        EXPECT_EQ(icon_size(from_memory.get()).cx, icon_size(from_file.get()).cx);
        EXPECT_EQ(icon_size(from_memory.get()).cy, icon_size(from_file.get()).cy);
        const POINT a = hot_spot(from_memory.get()), b = hot_spot(from_file.get());
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        // The same entry shows as an icon on a button.
        EXPECT_TRUE(entry_icon(entry(core::kTypeCursor, bytes)));
    }
}

TEST(LibraryImages, AnimatedEntriesGiveTheirFramesAndRates) {
    for (const char* name :
         {"emvaized_busy.ani", "mini_busy.ani", "webamp_aftershock_close.ani", "webamp_green_eqslid.ani"}) {
        SCOPED_TRACE(name);
        const Bytes bytes = read_file(sample(name));
        const auto animation = core::read_animation(bytes);
        ASSERT_TRUE(animation);
        const auto frames = entry_frames(entry(core::kTypeAnimated, bytes));
        ASSERT_TRUE(frames);
        EXPECT_EQ(frames->frames.size(), animation->frames.size());
        ASSERT_EQ(frames->steps.size(), animation->steps.size());
        for (size_t i = 0; i < frames->steps.size(); ++i) {
            EXPECT_EQ(frames->steps[i].rate, animation->steps[i].rate);
            EXPECT_EQ(frames->steps[i].frame, animation->steps[i].frame);
        }
        for (const auto& frame : frames->frames) EXPECT_EQ(icon_size(frame.get()).cx, kIconSize);
        EXPECT_TRUE(entry_icon(entry(core::kTypeAnimated, bytes)));
        EXPECT_TRUE(entry_cursor(entry(core::kTypeAnimated, bytes)));
        // A still entry has no frames.
        EXPECT_FALSE(entry_frames(entry(core::kTypeIcon, read_file(sample("icojs_basic.ico")))));
    }
}

TEST(LibraryImages, DamagedEntriesGiveNoHandle) {
    const Bytes ico = read_file(sample("icojs_basic.ico"));
    const Bytes ani = read_file(sample("mini_busy.ani"));
    std::vector<Bytes> damaged = {{},
                                  Bytes(ico.begin(), ico.begin() + 30),
                                  Bytes(ani.begin(), ani.begin() + static_cast<long>(ani.size() / 2)),
                                  Bytes(64, 0xFF)};
    Bytes bad_offset = ico;
    bad_offset[18] = 0xF0;  // the first image's offset far past the end
    damaged.push_back(bad_offset);
    for (size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        for (int32_t type : {core::kTypeIcon, core::kTypeAnimated, core::kTypeCursor}) {
            EXPECT_FALSE(entry_icon(entry(type, damaged[i])));
            EXPECT_FALSE(entry_cursor(entry(type, damaged[i])));
            EXPECT_FALSE(entry_frames(entry(type, damaged[i])));
        }
    }
}

// An icon handle saved as an icon file comes back with the same pixels.
TEST(LibraryImages, ExtractedIconSurvivesTheIcoWriter) {
    unique_hicon original = icon_from_icon_file(read_file(sample("icojs_basic.ico")));
    ASSERT_TRUE(original);
    const Bytes saved = icon_file_bytes(original.get());
    ASSERT_TRUE(core::read_icon_file(saved));
    unique_hicon back = icon_from_icon_file(saved);
    ASSERT_TRUE(back);
    test::DibSurface a(32, 32, RGB(0, 128, 0)), b(32, 32, RGB(0, 128, 0));
    DrawIconEx(a.dc(), 0, 0, original.get(), 32, 32, 0, nullptr, DI_NORMAL);
    DrawIconEx(b.dc(), 0, 0, back.get(), 32, 32, 0, nullptr, DI_NORMAL);
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) differing += a.at(x, y) != b.at(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(icon_file_bytes(nullptr).empty());
}

TEST(Win32IconSource, AddsProgramsLibrariesAndShortcutsByTheirIcons) {
    TempDir dir;
    AnsiCodePageCodec codec;
    core::IconLibrary library(dir.str(), codec);
    Win32IconSource source;
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::string shell32 = narrow(system) + "\\shell32.dll";
    ASSERT_GT(icon_count(shell32), 1);

    const uint16_t first = library.add_file(shell32, 0, &source);
    EXPECT_EQ(first, 0);
    uint16_t number = first;
    auto loaded = library.load(number);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->type, core::kTypeIcon);
    EXPECT_TRUE(entry_icon(*loaded));
    EXPECT_EQ(library.add_file(shell32, 0, &source), first);  // the same file twice

    // A shortcut with an icon location takes that icon; one without takes its target's.
    shell::Win32ShellLinks links;
    std::string error;
    ShellLink with_icon;
    with_icon.target = shell32;
    with_icon.icon_location = shell32;
    with_icon.icon_index = 3;
    ASSERT_TRUE(links.create(dir.file("Icon.lnk"), with_icon, error)) << error;
    EXPECT_FALSE(source.shortcut_icon(dir.file("Icon.lnk")).empty());
    ShellLink plain;
    plain.target = narrow(system) + "\\notepad.exe";
    ASSERT_TRUE(links.create(dir.file("Plain.lnk"), plain, error)) << error;
    EXPECT_FALSE(source.shortcut_icon(dir.file("Plain.lnk")).empty());
    EXPECT_EQ(library.add_file(dir.file("Plain.lnk"), 0, &source), 1);

    // A program without icons gives the program's stock entry and writes nothing.
    const std::string empty_program = dir.file("NOICON.EXE");
    write_file_atomic(empty_program, Bytes{'M', 'Z', 0, 0});
    const Bytes index_before = read_file(library.index_path());
    EXPECT_EQ(library.add_file(empty_program, 0, &source), core::kStockProgram);
    EXPECT_EQ(read_file(library.index_path()), index_before);
    EXPECT_EQ(icon_count(empty_program), 0);
    EXPECT_EQ(icon_count(dir.file("X.ANI")), 1);
}

TEST(LibraryPictures, CachesPerNumberAndSkipsDeletedEntries) {
    TempDir dir;
    AnsiCodePageCodec codec;
    core::IconLibrary library(dir.str(), codec);
    for (const char* name : {"icojs_basic.ico", "mini_busy.ani", "mini.cur"}) {
        const std::string copy = dir.file(name);
        write_file_atomic(copy, read_file(sample(name)));
        library.add_file(copy, 0, nullptr);
    }
    library.remove(0);
    objects::PictureTable table;
    LibraryPictures pictures(dir.str(), table);
    const auto icon = pictures.icon(0);  // entry 0 is deleted: entry 1, the animation, shows
    EXPECT_NE(icon.id, port::kNoIcon);
    EXPECT_TRUE(icon.animated);
    EXPECT_EQ(pictures.icon(0).id, icon.id);
    EXPECT_NE(pictures.frames(1), nullptr);
    EXPECT_EQ(pictures.frames(2), nullptr);
    EXPECT_NE(pictures.cursor(2), nullptr);
    EXPECT_EQ(pictures.cursor(2), pictures.cursor(2));
    EXPECT_EQ(pictures.icon(7).id, port::kNoIcon);
    EXPECT_NE(pictures.still_icon(2), nullptr);

    LibraryPictures missing(dir.file("nowhere"), table);
    EXPECT_EQ(missing.icon(0).id, port::kNoIcon);
    EXPECT_EQ(missing.cursor(0), nullptr);
}

}  // namespace
}  // namespace vx::win::iconlib
