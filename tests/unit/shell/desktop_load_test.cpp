#include "shell/desktop_load.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/desktop_file.h"
#include "security/file_cipher.h"
#include "shell/desktop_buttons.h"
#include "unit/shell/fakes.h"
#include "util/file_io.h"

namespace vx::shell {
namespace {

namespace fs = std::filesystem;
using testing::FakePrompter;
using Log = std::vector<std::string>;

// The loading window, written into the same log as the messages so that their order shows.
class RecordingLoading final : public LoadingView {
public:
    explicit RecordingLoading(Log& log) : log_(log) {}
    void begin(int maximum) override { log_.push_back("begin " + std::to_string(maximum)); }
    void advance(int tabs) override { log_.push_back("advance " + std::to_string(tabs)); }
    void end() override { log_.push_back("end"); }

private:
    Log& log_;
};

std::string lines(std::initializer_list<std::string_view> ls) {
    std::string out;
    for (auto l : ls) {
        out += l;
        out += "\r\n";
    }
    return out;
}

// Two pages with tabs and "StartUp" with two buttons; no button says when it launches.
std::string three_pages(std::string_view count_line) {
    return lines({count_line, "MenuDim=0 0 640 480", "MenuAttrib=1 1 1 40 40 1 1 1", "Master=", "PageVisible=1",
                  "PageTitle=One", "PageTitle=Two", "PageTitle=StartUp", "ObjectType=1", "Title=Placed first",
                  "ObjectType=2", "ObjectType=1", "Title=Placed last"});
}

class ReadingDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vx_read_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        request.path = path("VX.DTP");
        request.program_dir = path_to_utf8(dir_);
        request.now = make_datetime({2026, 5, 4}, {8, 30, 0, 0});
        request.encryption_mark = &run_mark;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return path_to_utf8(dir_ / name); }
    DesktopReadResult read(model::Desktop& into) {
        return read_desktop(into, request, {locale, codec, prompter, &loading});
    }

    fs::path dir_;
    const UsEnglishLocale locale;
    const Windows1252Codec codec;
    FakePrompter prompter;
    RecordingLoading loading{prompter.log};
    int run_mark = 0;
    DesktopRead request;
};

TEST_F(ReadingDesktop, AMissingFileIsNoMessageAndStaysMissing) {
    model::Desktop d;
    EXPECT_EQ(read(d).outcome, DesktopReadOutcome::Missing);
    EXPECT_TRUE(prompter.log.empty()) << prompter.log.front();
    EXPECT_EQ(d.file_name, request.path);

    make_starter_desktop(d, request.path);
    ASSERT_NE(d.master(), nullptr);
    ASSERT_EQ(d.pages().size(), 2u);
    EXPECT_EQ(d.pages()[0]->name, "Page 1");
    EXPECT_EQ(d.pages()[1]->name, "StartUp");
    EXPECT_EQ(d.current(), d.pages()[0].get());
    EXPECT_FALSE(fs::exists(dir_ / "VX.DTP")) << "the starter desktop lives in memory only";
}

TEST_F(ReadingDesktop, TheGaugeFollowsThePagesAndButtonsGetTheLoadTime) {
    const std::string text = three_pages("3");
    // Enciphered by a station whose mark was 7: the trailer's mark becomes the run's.
    int file_mark = 7;
    write_file_atomic(request.path, security::cipher_bytes(Bytes(text.begin(), text.end()), security::kDesktopKey,
                                                           security::CipherDirection::Encipher, file_mark));
    model::Desktop d;
    ASSERT_EQ(read(d).outcome, DesktopReadOutcome::Loaded);
    // "StartUp" has no tab in run mode; the gauge runs to the count line less one.
    EXPECT_EQ(prompter.log, (Log{"begin 2", "advance 1", "advance 2", "advance 2", "end"}));
    EXPECT_EQ(run_mark, 7);
    const auto buttons = start_up_buttons(d);
    ASSERT_EQ(buttons.size(), 2u);
    for (const model::ObjectEntry& e : d.find_page("StartUp")->objects) {
        if (const auto* b = std::get_if<model::ButtonData>(&e.data)) {
            EXPECT_EQ(b->launch_date, request.now);
        }
    }
}

TEST_F(ReadingDesktop, APlainFileIsEncipheredWithTheRunsMark) {
    write_file_atomic(request.path, three_pages("3"));
    run_mark = 4;
    model::Desktop d;
    ASSERT_EQ(read(d).outcome, DesktopReadOutcome::Loaded);
    const Bytes stored = read_file(request.path);
    ASSERT_TRUE(security::has_cipher_trailer(stored));
    EXPECT_EQ(stored.back(), '4');
}

TEST_F(ReadingDesktop, ACountLineThatIsNoNumberIsToldOnceTheFileHasRead) {
    write_file_atomic(request.path, three_pages("three"));
    model::Desktop d;
    ASSERT_EQ(read(d).outcome, DesktopReadOutcome::Loaded);
    ASSERT_EQ(prompter.log.size(), 6u);
    EXPECT_EQ(prompter.log.front(), "begin 1");
    EXPECT_EQ(prompter.log[4], "end");
    EXPECT_EQ(prompter.log[5], "alert Error In loading Desktop File: 'three' is not a valid integer value\r" +
                                   request.path);
    EXPECT_EQ(d.pages().size(), 3u) << "the rest of the file was read";
}

TEST_F(ReadingDesktop, ADamagedFileIsToldAfterTheWindowHasGone) {
    write_file_atomic(request.path, lines({"2", "Master=", "PageTitle=One", "PageDim=ten 10"}));
    model::Desktop d;
    const DesktopReadResult result = read(d);
    EXPECT_EQ(result.outcome, DesktopReadOutcome::Damaged);
    EXPECT_FALSE(result.detail.empty());
    ASSERT_EQ(prompter.log.size(), 4u);
    EXPECT_EQ(prompter.log[0], "begin 1");
    EXPECT_EQ(prompter.log[2], "end");
    EXPECT_EQ(prompter.log[3], "alert Error In loading Desktop File: " + model::load_error_text(request.path));
}

}  // namespace
}  // namespace vx::shell
