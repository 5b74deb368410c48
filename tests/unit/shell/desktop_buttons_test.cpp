#include "shell/desktop_buttons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/desktop_file.h"
#include "model/shortcut.h"

namespace vx::shell {
namespace {

std::vector<std::string> captions(const std::vector<ButtonView>& buttons) {
    std::vector<std::string> out;
    for (const ButtonView& b : buttons) out.push_back(b.caption);
    return out;
}

// A desktop as an administrator wrote it: the file keeps the order in which they were placed.
model::Desktop read(std::initializer_list<std::string_view> ls) {
    std::string text;
    for (auto l : ls) (text += l) += "\r\n";
    const UsEnglishLocale locale;
    const Windows1252Codec codec;
    model::ReadContext ctx;
    ctx.locale = &locale;
    ctx.codec = &codec;
    model::Desktop d;
    model::load_desktop_text(d, text, ctx);
    return d;
}

TEST(StartUpButtons, RunInThePagesObjectOrderWhichIsNewestFirst) {
    const model::Desktop d =
        read({"1", "Master=", "PageTitle=Page 1", "ObjectType=1", "Title=Elsewhere", "PageTitle=StartUp",
              "ObjectType=1", "Title=Mail", "ObjectType=4", "ObjectType=1", "Title=Backup", "ObjectType=1",
              "Title=Clock"});
    // Placed Mail, Backup, Clock: the list, and so the start-up, begins with the last placed.
    EXPECT_EQ(captions(start_up_buttons(d)), (std::vector<std::string>{"Clock", "Backup", "Mail"}));
    EXPECT_TRUE(start_up_buttons(read({"1", "Master=", "PageTitle=Page 1", "ObjectType=1"})).empty());
}

TEST(SpeedKeys, TheMasterPagesKeysWorkOnEveryPage) {
    constexpr std::uint16_t kCtrlM = 'M' | model::kShortcutCtrl;
    constexpr std::uint16_t kCtrlP = 'P' | model::kShortcutCtrl;
    model::Desktop d;
    auto button = [&](model::Page& page, const char* caption, std::uint16_t key) {
        model::ButtonData b;
        b.caption = caption;
        b.speed_key = key;
        d.add_object(page, std::move(b));
    };
    model::Page& master = d.create_master_page();
    button(master, "Master M", kCtrlM);
    button(master, "Master P", kCtrlP);
    model::Page& shows = d.add_page("Shows master items");
    model::Page& hides = d.add_page("Hides master items");
    hides.show_master_items = false;
    button(hides, "Own P", kCtrlP);

    struct Case {
        model::Page* current;
        std::uint16_t key;
        const char* reached;  // null: no button
    } const cases[] = {
        {&shows, kCtrlM, "Master M"},
        {&hides, kCtrlM, "Master M"},
        {&hides, kCtrlP, "Own P"},  // the page's own button first
        {&shows, kCtrlP, "Master P"},
        {nullptr, kCtrlM, "Master M"},
        {&hides, 'M', nullptr},  // without Ctrl it is another key
        {&hides, 0, nullptr},
    };
    for (const Case& c : cases) {
        d.set_current(c.current);
        const auto found = speed_key_button(d, c.key);
        SCOPED_TRACE((c.current ? c.current->name : "no page") + " key " + std::to_string(c.key));
        if (!c.reached) {
            EXPECT_FALSE(found.has_value()) << found->caption;
        } else {
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(found->caption, c.reached);
            // The designer opens the dialog of the very object the key reaches.
            const model::ObjectRef ref = d.find_object(found->id);
            ASSERT_TRUE(ref);
            EXPECT_EQ(std::get<model::ButtonData>(ref.entry->data).caption, c.reached);
        }
    }
}

}  // namespace
}  // namespace vx::shell
