#include "model/desktop_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "model/shortcut.h"
#include "security/file_cipher.h"
#include "tool/command.h"

namespace vx::model {
namespace {

namespace fs = std::filesystem;

const UsEnglishLocale kLocale;
const Windows1252Codec kCodec;

class NamedImages final : public ImageResolver {
public:
    std::map<std::string, std::string, std::less<>> found;
    std::optional<std::string> resolve(std::string_view name) const override {
        const auto it = found.find(name);
        if (it == found.end()) return std::nullopt;
        return it->second;
    }
};

ReadContext read_context(bool admin = false, const ImageResolver* images = nullptr) {
    ReadContext ctx;
    ctx.locale = &kLocale;
    ctx.codec = &kCodec;
    ctx.images = images;
    ctx.is_administrator = [admin] { return admin; };
    ctx.file_name = "C:\\VX\\VX.DTP";
    return ctx;
}

WriteContext write_context(int tab_count = -1) {
    WriteContext ctx;
    ctx.locale = &kLocale;
    ctx.codec = &kCodec;
    ctx.tab_count = tab_count;
    return ctx;
}

std::string fixture(const char* name) {
    return read_text_file(std::string(VX_FIXTURES_DIR) + "/desktop/" + name);
}

// Lines joined with CR LF, each one ended.
std::string lines(std::initializer_list<std::string_view> ls) {
    std::string out;
    for (auto l : ls) {
        out += l;
        out += "\r\n";
    }
    return out;
}

const std::string kHead = lines({"1", "MenuDim=0 0 640 480", "MenuAttrib=1 1 1 40 40 1 1 1", "Master="});

const Page& only_page(const Desktop& d) {
    EXPECT_EQ(d.pages().size(), 1u);
    return *d.pages().front();
}

TEST(DesktopFile, FixturesRoundTripByteForBytePlainAndEnciphered) {
    const char* good[] = {"full.dtp", "minimal.dtp", "empty-desktop.dtp"};
    NamedImages images;
    images.found["logo.bmp"] = "/somewhere/logo.bmp";
    for (const char* name : good) {
        const std::string text = fixture(name);
        Desktop d;
        load_desktop_text(d, text, read_context(true, &images));
        EXPECT_EQ(write_desktop_text(d, write_context(d.file_tab_count)), text) << name;

        int mark = 6;
        const Bytes plain(text.begin(), text.end());
        const Bytes enc =
            security::cipher_bytes(plain, security::kDesktopKey, security::CipherDirection::Encipher, mark);
        Desktop e;
        int run_mark = 0;
        ReadContext ctx = read_context(true, &images);
        ctx.encryption_mark = &run_mark;
        load_desktop_bytes(e, enc, ctx);
        EXPECT_EQ(run_mark, 6) << "the trailer's mark becomes the run's";
        EXPECT_EQ(write_desktop_text(e, write_context(e.file_tab_count)), text) << name << " enciphered";
    }
}

TEST(DesktopFile, EveryLoadGivesFreshIdsThatTheFileDoesNotCarry) {
    NamedImages images;
    Desktop d;
    std::set<uint64_t> first, second;
    for (auto* ids : {&first, &second}) {
        load_desktop_text(d, fixture("full.dtp"), read_context(true, &images));
        for (const Page* p : d.tab_pages(true)) {
            ids->insert(p->id);
            for (const auto& e : p->objects) ids->insert(e.id);
        }
    }
    EXPECT_EQ(first.size(), 1 + d.pages().size() + d.object_count())
        << "every page and object has its own id";
    EXPECT_EQ(first.count(kNoId), 0u);
    for (uint64_t id : second) EXPECT_EQ(first.count(id), 0u) << "a reload reuses id " << id;
}

TEST(DesktopFile, FullFixtureFieldsLandWhereTheyBelong) {
    NamedImages images;
    images.found["logo.bmp"] = "/pics/logo.bmp";
    Desktop d;
    load_desktop_text(d, fixture("full.dtp"), read_context(false, &images));

    EXPECT_EQ(d.bounds.left, 10);
    EXPECT_EQ(d.bounds.height, 600);
    EXPECT_FALSE(d.options.menu_bar);
    EXPECT_FALSE(d.options.sizeable);
    ASSERT_NE(d.master(), nullptr);
    EXPECT_EQ(d.master()->objects.size(), 2u);
    ASSERT_EQ(d.hidden_pages().size(), 1u);
    EXPECT_EQ(d.hidden_pages()[0]->name, "Secret");
    EXPECT_FALSE(d.hidden_pages()[0]->visible);
    ASSERT_EQ(d.pages().size(), 3u);
    EXPECT_EQ(d.pages().back()->name, "StartUp");

    const Page& programs = *d.pages()[0];
    EXPECT_EQ(programs.number, 0);
    EXPECT_FALSE(programs.tile_image);
    EXPECT_TRUE(programs.wallpaper);
    EXPECT_FALSE(programs.show_master_items);
    EXPECT_EQ(programs.interval, 110);
    EXPECT_EQ(programs.background_color, -2147483647);
    EXPECT_TRUE(programs.center_image);
    EXPECT_EQ(programs.left_margin, 20);
    EXPECT_EQ(programs.top_margin, 30);
    EXPECT_EQ(programs.background, "clouds.bmp");
    EXPECT_EQ(programs.tab_icon, 17);
    EXPECT_EQ(programs.security_level, 500);
    EXPECT_EQ(programs.group, 2u);
    EXPECT_EQ(programs.palette[1], (PaletteEntry{2, 5, 254, 0}));

    // Objects are newest first: the file's first button is at the back.
    const auto& word = std::get<ButtonData>(programs.objects.back().data);
    EXPECT_EQ(word.caption, "&Word~Processor");
    EXPECT_EQ(word.security_level, 500);
    EXPECT_EQ(word.group, 2);
    EXPECT_EQ(word.command_lines, 3);
    EXPECT_EQ(word.command, "WINWORD.EXE [Which file?]\r/\\\rNOTEPAD.EXE\r");
    EXPECT_EQ(word.password, "p=w") << "the value runs past a second '='";
    EXPECT_EQ(word.speed_key, kShortcutCtrl | 'A');
    EXPECT_EQ(word.launch_date, make_datetime({2026, 1, 2}));
    EXPECT_EQ(word.launch_day, 4097);
    ASSERT_EQ(d.scheduled().size(), 1u);
    EXPECT_EQ(d.scheduled()[0].object, programs.objects.back().id);

    const auto& label = std::get<LabelData>(std::next(programs.objects.begin(), 3)->data);
    EXPECT_EQ(label.text, "Line one\rLine two, caf\xC3\xA9\rLine three\r") << "ANSI is read as UTF-8";
    const auto& found = std::get<ImageData>(std::next(programs.objects.begin(), 1)->data);
    EXPECT_EQ(found.image_name, "logo.bmp");
    EXPECT_EQ(found.picture_path, "/pics/logo.bmp");
}

// Each attribute field is set alone to a distinct value; every field must read back from its
// own position and no other.
struct FieldCase {
    const char* key;
    int kind;
    std::vector<std::function<int64_t(const ObjectData&)>> fields;
};

template <typename T, typename F>
std::function<int64_t(const ObjectData&)> get(F f) {
    return [f](const ObjectData& d) { return static_cast<int64_t>(f(std::get<T>(d))); };
}

TEST(DesktopFile, AttributeFieldsArePositional) {
    using B = ButtonData;
    using S = ShapeData;
    using L = LineData;
    using T = LabelData;
    using I = ImageData;
    const FieldCase cases[] = {
        {"BtnAttrib=",
         1,
         {get<B>([](const B& b) { return b.color; }),
          get<B>([](const B& b) { return b.color2; }),
          get<B>([](const B& b) { return b.pen_color; }),
          get<B>([](const B& b) { return b.pattern; }),
          get<B>([](const B& b) { return b.dither; }),
          get<B>([](const B& b) { return b.btn_style; }),
          get<B>([](const B& b) { return b.transparent; }),
          get<B>([](const B& b) { return b.run_minimized; }),
          get<B>([](const B& b) { return b.run_maximized; }),
          get<B>([](const B& b) { return b.show_icon; }),
          get<B>([](const B& b) { return b.launch_password; }),
          get<B>([](const B& b) { return b.edit_password; }),
          get<B>([](const B& b) { return b.speed_key_shown; }),
          get<B>([](const B& b) { return b.sound_on; }),
          get<B>([](const B& b) { return b.single_instance; }),
          get<B>([](const B& b) { return b.show_cursor; }),
          get<B>([](const B& b) { return b.fill_behind_text; }),
          get<B>([](const B& b) { return b.kind; }),
          get<B>([](const B& b) { return b.tag; }),
          get<B>([](const B& b) { return b.icon; }),
          get<B>([](const B& b) { return b.cursor; }),
          get<B>([](const B& b) { return b.text_align; }),
          get<B>([](const B& b) { return b.font.size; }),
          get<B>([](const B& b) { return b.font.color; }),
          get<B>([](const B& b) { return b.pen.width; }),
          get<B>([](const B& b) { return b.pen.style; }),
          get<B>([](const B& b) { return b.run_hidden; }),
          get<B>([](const B& b) { return b.font.style; })}},
        {"ShapeAttrib=",
         2,
         {get<S>([](const S& s) { return s.color; }), get<S>([](const S& s) { return s.color2; }),
          get<S>([](const S& s) { return s.pen_color; }), get<S>([](const S& s) { return s.pattern; }),
          get<S>([](const S& s) { return s.dither; }), get<S>([](const S& s) { return s.shape; }),
          get<S>([](const S& s) { return s.transparent; }), get<S>([](const S& s) { return s.pen.width; }),
          get<S>([](const S& s) { return s.tag; }), get<S>([](const S& s) { return s.pen.style; })}},
        {"LineAttrib=",
         3,
         {get<L>([](const L& l) { return l.pen_color; }), get<L>([](const L& l) { return l.pen.style; }),
          get<L>([](const L& l) { return l.pen.width; }), get<L>([](const L& l) { return l.tag; }),
          get<L>([](const L& l) { return l.brush_style; }), get<L>([](const L& l) { return l.brush_color; }),
          get<L>([](const L& l) { return l.align; })}},
        {"TextAttrib=",
         4,
         {get<T>([](const T& t) { return t.color; }), get<T>([](const T& t) { return t.color2; }),
          get<T>([](const T& t) { return t.pen_color; }), get<T>([](const T& t) { return t.pattern; }),
          get<T>([](const T& t) { return t.dither; }), get<T>([](const T& t) { return t.shape; }),
          get<T>([](const T& t) { return t.transparent; }), get<T>([](const T& t) { return t.alignment; }),
          get<T>([](const T& t) { return t.font.size; }), get<T>([](const T& t) { return t.font.color; }),
          get<T>([](const T& t) { return t.tag; }), get<T>([](const T& t) { return t.pen.width; }),
          get<T>([](const T& t) { return t.pen.style; }), get<T>([](const T& t) { return t.font.style; })}},
        {"ImageAttrib=",
         5,
         {get<I>([](const I& m) { return m.color; }), get<I>([](const I& m) { return m.color2; }),
          get<I>([](const I& m) { return m.pen_color; }), get<I>([](const I& m) { return m.pattern; }),
          get<I>([](const I& m) { return m.dither; }), get<I>([](const I& m) { return m.shape; }),
          get<I>([](const I& m) { return m.transparent; }), get<I>([](const I& m) { return m.center; }),
          get<I>([](const I& m) { return m.tile; }), get<I>([](const I& m) { return m.stretch; }),
          get<I>([](const I& m) { return m.tag; }), get<I>([](const I& m) { return m.pen.width; }),
          get<I>([](const I& m) { return m.pen.style; })}},
    };
    for (const auto& c : cases) {
        for (size_t set = 0; set < c.fields.size(); ++set) {
            // 1 fits flags; the other fields all read 0 so any swap shows.
            std::string value;
            for (size_t i = 0; i < c.fields.size(); ++i)
                value += (i ? " " : "") + std::string(i == set ? "1" : "0");
            const std::string text = kHead + lines({"PageTitle=P", "ObjectType=" + std::to_string(c.kind),
                                                    std::string(c.key) + value});
            Desktop d;
            load_desktop_text(d, text, read_context());
            const ObjectData& o = only_page(d).objects.front().data;
            for (size_t i = 0; i < c.fields.size(); ++i) {
                EXPECT_EQ(c.fields[i](o), i == set ? 1 : 0)
                    << c.key << " field " << i + 1 << " set " << set + 1;
            }
            // And the writer puts it back at the same place.
            EXPECT_NE(write_desktop_text(d, write_context(1)).find(std::string(c.key) + value + "\r\n"),
                      std::string::npos)
                << c.key << " field " << set + 1;
        }
    }
}

TEST(DesktopFile, MultiLineTextsAndTheirEmptyLine) {
    Desktop d;
    Page& p = d.add_page("P");
    ButtonData three;
    three.command = "A\rB\rC\r";
    three.command_lines = 3;
    ButtonData none;
    LabelData empty;
    d.add_object(p, three);
    d.add_object(p, none);
    d.add_object(p, empty);
    const std::string text = write_desktop_text(d, write_context());
    EXPECT_NE(text.find("Command=3\r\nA\rB\rC\r\r\nDirectory="), std::string::npos);
    EXPECT_NE(text.find("Command=0\r\nDirectory="), std::string::npos) << "no command line follows 0";
    EXPECT_NE(text.find("Text=0\r\n\r\nTextFont="), std::string::npos) << "the text line is always written";

    Desktop back;
    load_desktop_text(back, text, read_context());
    const auto& objs = only_page(back).objects;
    EXPECT_EQ(std::get<ButtonData>(objs.back().data).command, "A\rB\rC\r");
    EXPECT_EQ(std::get<LabelData>(objs.front().data).text_lines, 0);
}

TEST(DesktopFile, ClipboardGroupsPasteIntoTheCurrentPage) {
    Desktop d;
    d.create_master_page();
    Page& target = d.add_page("Target");
    ImageData picture;
    picture.bounds = {7, 8, 9, 10};
    Page source;
    source.name = "Copied";
    source.password = "pw";
    source.objects.push_front({ShapeData{}});
    const std::string object_text = write_object_group(picture, write_context());
    const std::string page_text = write_page_group(source, write_context());

    ReadContext ctx = read_context();
    ctx.mode = ReadMode::Paste;
    read_desktop_text(d, object_text, ctx);
    ASSERT_EQ(target.objects.size(), 1u);
    EXPECT_EQ(bounds_of(target.objects.front().data).left, 7);

    read_desktop_text(d, page_text, ctx);
    ASSERT_EQ(d.pages().size(), 2u);
    EXPECT_EQ(d.pages()[1]->password, "pw");
    EXPECT_EQ(d.pages()[1]->objects.size(), 1u);
    EXPECT_EQ(target.objects.size(), 1u);
}

TEST(DesktopFile, LineEndsCtrlZAndUnknownKeys) {
    // A CR alone ends a line; a bare LF does not; Ctrl+Z ends the text.
    const std::string text =
        "1\r\nMaster=\rPageTitle=A\nB\r\n\r\nNoSuchKey=1\r\njunk\r\n"
        "PageAniIcon=9\r\n\x1APageAniIcon=12\r\n";
    Desktop d;
    load_desktop_text(d, text, read_context());
    const Page& p = only_page(d);
    EXPECT_EQ(p.name, "A\nB");
    EXPECT_EQ(p.tab_icon, 9);
}

TEST(DesktopFile, CountLineThatIsNoNumberIsReportedAndReadAsAnOrdinaryLine) {
    Desktop d;
    const auto result =
        load_desktop_text(d, lines({"MenuDim=1 2 3 4", "Master=", "PageTitle=P"}), read_context());
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_EQ(result.warnings[0], "'MenuDim=1 2 3 4' is not a valid integer value");
    EXPECT_EQ(d.bounds.width, 3);
    EXPECT_EQ(d.pages().size(), 1u);
}

TEST(DesktopFile, DamagedFilesGiveTheLoadingError) {
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"page key before any page", lines({"1", "PageDim=1 2"})},
        {"object key before any object", lines({"1", "Master=", "ObjectDim=1 2 3 4"})},
        {"object before any page", lines({"1", "ObjectType=2"})},
        {"not a number", kHead + lines({"PageTitle=P", "PageAniIcon=x"})},
        {"blank inside a number", kHead + lines({"PageTitle=P", "PageDim=1  2"})},
        {"too few fields", kHead + lines({"PageTitle=P", "PagePal=1 2 3"})},
        {"out of range", kHead + lines({"PageTitle=P", "PageAniIcon=99999999999"})},
        {"key of another kind", kHead + lines({"PageTitle=P", "ObjectType=3", "BtnAttrib=0"})},
        {"command past the end", kHead + lines({"PageTitle=P", "ObjectType=1", "Command=5", "x"})},
        {"bad launch date", kHead + lines({"PageTitle=P", "ObjectType=1", "LaunchDate=31/31/2020"})},
        {"damaged fixture", fixture("truncated.dtp")},
    };
    for (const auto& c : cases) {
        Desktop d;
        try {
            load_desktop_text(d, c.text, read_context());
            ADD_FAILURE() << c.name << " loaded";
        } catch (const DesktopLoadError& e) {
            EXPECT_STREQ(e.caption(), "Error In loading Desktop File");
            EXPECT_EQ(e.text(),
                      "An Error has occurred in loading the Desktop file\rC:\\VX\\VX.DTP\r\r"
                      "This file may be damaged or may not be a Vantora! desktop file")
                << c.name;
        }
    }
}

TEST(DesktopFile, ObjectTypeOutOfRangeLeavesKeysOnThePreviousObject) {
    Desktop d;
    load_desktop_text(d, kHead + lines({"PageTitle=P", "ObjectType=2", "ObjectType=9", "ObjectDim=5 6 7 8"}),
                      read_context());
    const auto& objs = only_page(d).objects;
    ASSERT_EQ(objs.size(), 1u);
    EXPECT_EQ(bounds_of(objs.front().data).left, 5);
}

TEST(DesktopFile, SecondMasterLineKeepsTheMasterObjects) {
    // Once a use-after-free: the keys after a second "Master=" set the object made before it.
    Desktop d;
    load_desktop_text(d, kHead + lines({"ObjectType=2", "Master=", "ObjectDim=1 2 3 4", "ObjectType=3"}),
                      read_context());
    ASSERT_NE(d.master(), nullptr);
    ASSERT_EQ(d.master()->objects.size(), 2u);
    EXPECT_EQ(bounds_of(d.master()->objects.back().data).left, 1);
}

TEST(DesktopFile, HiddenPagesFollowTheMasterObjectsUnlessTheAdministratorLoads) {
    const std::string text =
        kHead + lines({"ObjectType=2", "ObjectDim=0 0 1 1", "ShapeAttrib=0 0 0 0 0 1 0 1 0 0", "PageTitle=A",
                       "PageVisible=0", "PageTitle=H", "PageTitle=H2"});
    Desktop user;
    load_desktop_text(user, text, read_context(false));
    ASSERT_EQ(user.pages().size(), 1u);
    ASSERT_EQ(user.hidden_pages().size(), 2u) << "the remembered visibility is not reset by a title";
    const std::string saved = write_desktop_text(user, write_context());
    const size_t shape = saved.find("ShapeAttrib=");
    const size_t hidden = saved.find("PageTitle=H\r\n");
    const size_t a = saved.find("PageTitle=A\r\n");
    EXPECT_LT(shape, hidden);
    EXPECT_LT(hidden, a) << "hidden pages are written right after the master page's objects";

    Desktop admin;
    load_desktop_text(admin, text, read_context(true));
    EXPECT_EQ(admin.pages().size(), 3u);
    EXPECT_FALSE(admin.pages()[1]->visible);
}

TEST(DesktopFile, ButtonValueRules) {
    const std::string long_address(200, 'w');
    const std::string text =
        kHead + lines({"PageTitle=P", "ObjectType=1", "PhoneNum=" + long_address,
                       "SpeedKey=", "LaunchDate=12/25/1998 9:00:00 AM", "LaunchDay=4096",
                       "BtnAttrib=0 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 1 0 0 0 0 8 0 1 200 0 255"});
    Desktop d;
    load_desktop_text(d, text, read_context());
    const auto& b = std::get<ButtonData>(only_page(d).objects.front().data);
    EXPECT_EQ(b.browser_address.size(), 128u);
    EXPECT_EQ(b.speed_key, 0);
    EXPECT_EQ(d.scheduled().size(), 1u);
    const std::string saved = write_desktop_text(d, write_context());
    EXPECT_NE(saved.find("LaunchDate=12/25/1998 9:00:00 AM\r\n"), std::string::npos);
    EXPECT_NE(saved.find(" 1 72 0 127\r\n"), std::string::npos) << "pen and font style masked to seven bits";
}

TEST(DesktopFile, SpeedKeyText) {
    struct Case {
        const char* text;
        std::optional<uint16_t> code;
        const char* written;
    } cases[] = {
        {"Ctrl+A", kShortcutCtrl | 'A', "Ctrl+A"},
        {"Shift+F5", kShortcutShift | 0x74, "Shift+F5"},
        {"F12", 0x7B, "F12"},
        {"7", '7', "7"},
        {"Alt+Ctrl+X", kShortcutAlt | kShortcutCtrl | 'X', "Ctrl+Alt+X"},
        {"ctrl+shift+b", kShortcutCtrl | kShortcutShift | 'B', "Shift+Ctrl+B"},
        {"", uint16_t{0}, ""},
        {"Ctrl+", std::nullopt, ""},
        {"Hyper+Q", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text_to_shortcut(c.text), c.code) << c.text;
        if (c.code) {
            EXPECT_EQ(shortcut_to_text(*c.code), c.written) << c.text;
        }
    }
}

TEST(DesktopFile, ImageNotFoundIsSavedWithoutName) {
    NamedImages images;
    images.found["here.bmp"] = "/desk/here.bmp";
    const std::string text = kHead + lines({"PageTitle=P", "ObjectType=5", "ImageName=gone.bmp",
                                            "ObjectType=5", "ImageName=here.bmp"});
    Desktop d;
    load_desktop_text(d, text, read_context(false, &images));
    const auto& objs = only_page(d).objects;
    EXPECT_EQ(std::get<ImageData>(objs.back().data).image_name, "");
    EXPECT_EQ(std::get<ImageData>(objs.front().data).picture_path, "/desk/here.bmp");
    const std::string saved = write_desktop_text(d, write_context());
    EXPECT_NE(saved.find("ImageName=\r\n"), std::string::npos);
    EXPECT_NE(saved.find("ImageName=here.bmp\r\n"), std::string::npos);
}

TEST(DesktopFile, FolderImageResolverLooksAsNamedThenProgramThenDesktopFolder) {
    const fs::path root = fs::temp_directory_path() / "vx_image_lookup";
    fs::remove_all(root);
    fs::create_directories(root / "prog");
    fs::create_directories(root / "desk");
    write_file_atomic(path_to_utf8(root / "desk" / "a.bmp"), std::string("x"));
    write_file_atomic(path_to_utf8(root / "prog" / "b.bmp"), std::string("x"));
    write_file_atomic(path_to_utf8(root / "desk" / "b.bmp"), std::string("x"));
    FolderImageResolver r(path_to_utf8(root / "prog"), path_to_utf8(root / "desk"));
    EXPECT_EQ(r.resolve("C:\\old\\a.bmp"), path_to_utf8(root / "desk" / "a.bmp"));
    EXPECT_EQ(r.resolve("b.bmp"), path_to_utf8(root / "prog" / "b.bmp"));
    EXPECT_EQ(r.resolve(path_to_utf8(root / "desk" / "b.bmp")), path_to_utf8(root / "desk" / "b.bmp"));
    EXPECT_EQ(r.resolve("c.bmp"), std::nullopt);
    fs::remove_all(root);
}

class DesktopFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vx_desktop_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return path_to_utf8(dir_ / name); }
    fs::path dir_;
};

TEST_F(DesktopFileOnDisk, SaveEnciphersKeepsAnOlderBackupAndLoadsBack) {
    Desktop d;
    d.create_master_page();
    d.add_page("Page 1");
    WriteContext marked = write_context();
    marked.encryption_mark = 3;
    EXPECT_FALSE(save_desktop_file(d, marked, {})) << "no file name";

    d.file_name = path("VX.DTP");
    ASSERT_TRUE(save_desktop_file(d, marked, {true, true}));
    EXPECT_FALSE(file_exists(path("VX.BAK"))) << "nothing to back up yet";
    const Bytes first = read_file(d.file_name);
    EXPECT_TRUE(security::has_cipher_trailer(first));
    EXPECT_EQ(first.back(), '3');

    d.add_page("Page 2");
    ASSERT_TRUE(save_desktop_file(d, marked, {true, true}));
    EXPECT_EQ(read_file(path("VX.BAK")), first);
    d.add_page("Page 3");
    ASSERT_TRUE(save_desktop_file(d, marked, {true, true}));
    EXPECT_EQ(read_file(path("VX.BAK")), first) << "an existing backup stays";

    const Bytes saved = read_file(d.file_name);
    Desktop back;
    back.file_name = d.file_name;
    int run_mark = 0;
    ReadContext ctx = read_context();
    ctx.encryption_mark = &run_mark;
    ASSERT_TRUE(load_desktop_file(back, ctx));
    EXPECT_EQ(back.pages().size(), 3u);
    EXPECT_EQ(run_mark, 3);
    EXPECT_EQ(read_file(d.file_name), saved) << "loading an enciphered file never writes it";
}

TEST_F(DesktopFileOnDisk, LoadingAPlainFileEnciphersItAndAMissingFileFailsQuietly) {
    Desktop d;
    d.file_name = path("missing.dtp");
    EXPECT_FALSE(load_desktop_file(d, read_context()));

    d.file_name = path("plain.dtp");
    write_file_atomic(d.file_name, fixture("minimal.dtp"));
    ASSERT_TRUE(load_desktop_file(d, read_context()));
    EXPECT_TRUE(security::has_cipher_trailer(read_file(d.file_name)));

    d.file_name = path("bad.dtp");
    write_file_atomic(d.file_name, fixture("page-key-first.dtp"));
    EXPECT_THROW(load_desktop_file(d, read_context()), DesktopLoadError);
    EXPECT_TRUE(security::has_cipher_trailer(read_file(d.file_name)))
        << "enciphered again after a failure too";
}

struct ToolResult {
    int code;
    std::string out, err;
};

ToolResult vxtool(std::vector<std::string> args) {
    args.insert(args.begin(), "vxtool");
    std::ostringstream out, err;
    const int code = tool::run(args, out, err);
    return {code, out.str(), err.str()};
}

TEST_F(DesktopFileOnDisk, VxtoolRoundTripsEnciphersAndReports) {
    const std::string src = std::string(VX_FIXTURES_DIR) + "/desktop/full.dtp";
    const std::string enc = path("full.dtp");
    fs::copy_file(path_from_utf8(src), path_from_utf8(enc));
    fs::copy_file(path_from_utf8(std::string(VX_FIXTURES_DIR) + "/desktop/logo.bmp"), dir_ / "logo.bmp");

    EXPECT_EQ(vxtool({"encipher", enc, "--desktop", "--mark", "42"}).code, 0);
    const Bytes once = read_file(enc);
    EXPECT_EQ(once.back(), '4');
    EXPECT_EQ(vxtool({"encipher", enc, "--desktop"}).code, 0);
    EXPECT_EQ(read_file(enc), once) << "enciphering twice equals once";

    const auto dump = vxtool({"desktop", "dump", enc});
    EXPECT_EQ(dump.out, read_text_file(src));
    EXPECT_EQ(read_file(enc), once) << "dump leaves the file as it was";

    EXPECT_EQ(vxtool({"desktop", "resave", enc, path("out.dtp")}).code, 0);
    EXPECT_EQ(read_text_file(path("out.dtp")), read_text_file(src));
    EXPECT_EQ(read_file(enc), once);

    const auto check = vxtool({"desktop", "check", enc});
    EXPECT_EQ(check.code, 0);
    EXPECT_NE(check.out.find("pages: 4 (1 hidden from users)"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("buttons: 7"), std::string::npos);

    const auto dec = vxtool({"decipher", enc, "--key", "brintaxel"});
    EXPECT_EQ(dec.code, 0);
    EXPECT_EQ(dec.out, "encryption mark 4\n");
    EXPECT_EQ(read_text_file(enc), read_text_file(src));

    const auto bad = vxtool({"desktop", "check", std::string(VX_FIXTURES_DIR) + "/desktop/truncated.dtp"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("This file may be damaged"), std::string::npos);

    EXPECT_NE(vxtool({"encipher", path("none"), "--admin"}).code, 0);
    EXPECT_NE(vxtool({"encipher", enc}).code, 0) << "a key is required";
}

}  // namespace
}  // namespace vx::model
