#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "editor/button_properties.h"
#include "help/topic_markup.h"
#include "help/topic_table.h"
#include "help/topics.h"
#include "model/objects.h"

namespace vx::help {
namespace {

Block para(std::vector<Span> spans) { return {BlockKind::Paragraph, std::move(spans)}; }

TEST(HelpMarkup, ReadsBlocksAndLinks) {
    struct Case {
        const char* source;
        std::string title;
        std::vector<Block> blocks;
    };
    const Case cases[] = {
        {"Title\n\nOne\ntwo.\n", "Title", {para({{"One two.", 0}})}},
        {"\r\n  Title  \r\n\r\nText\r\n", "Title", {para({{"Text", 0}})}},
        {"T\n# Head\nText\n", "T", {{BlockKind::Heading, {{"Head", 0}}}, para({{"Text", 0}})}},
        {"T\n- a\n  more\n- b\nafter\n",
         "T",
         {{BlockKind::Bullet, {{"a more", 0}}}, {BlockKind::Bullet, {{"b", 0}}}, para({{"after", 0}})}},
        {"T\nSee [[312|Set Palette]] and [[1| Contents ]].",
         "T",
         {para({{"See ", 0}, {"Set Palette", 312}, {" and ", 0}, {"Contents", 1}, {".", 0}})}},
        // A link may wrap over a line end of its paragraph.
        {"T\nthe [[312|Set\nPalette]]", "T", {para({{"the ", 0}, {"Set Palette", 312}})}},
        {"T\na\tb\x01" "c\n", "T", {para({{"a bc", 0}})}},
        {"Title only", "Title only", {}},
    };
    for (const Case& c : cases) {
        const Topic t = parse_topic(c.source);
        EXPECT_EQ(t.title, c.title) << c.source;
        EXPECT_EQ(t.blocks, c.blocks) << c.source;
        EXPECT_TRUE(t.problems.empty()) << c.source;
    }
}

TEST(HelpMarkup, MalformedLinksStayTextAndAreNamed) {
    const char* const cases[] = {
        "[[abc|x]]", "[[312|]]", "[[312", "[[0|x]]", "[[123456|x]]", "[[|x]]", "[[312 x]]", "[[3[[4|a]]|b]]",
    };
    for (const char* link : cases) {
        const Topic t = parse_topic(std::string("T\n") + link);
        ASSERT_FALSE(t.problems.empty()) << link;
        std::string shown;
        for (const Block& b : t.blocks)
            for (const Span& s : b.spans) shown += s.text;
        EXPECT_NE(shown.find("[["), std::string::npos) << link;
        // Nothing but a well-formed link leads anywhere.
        for (int target : links_of(t)) EXPECT_EQ(target, 4) << link;
    }
    EXPECT_EQ(parse_topic("\n \n").problems, std::vector<std::string>{"no title"});
}

TEST(HelpMarkup, PlainTextKeepsTitleBlocksAndLinkTexts) {
    const Topic t = parse_topic("Title\n\nSee [[2|this]].\n- item\n");
    EXPECT_EQ(plain_text(t), "Title\r\n\r\nSee this.\r\n\r\n- item\r\n");
}

TEST(HelpTopics, EveryTopicTheProgramOpensExists) {
    for (int number : kOpenedTopics) {
        const Topic* t = find_topic(number);
        ASSERT_NE(t, nullptr) << number;
        EXPECT_FALSE(t->title.empty()) << number;
        EXPECT_FALSE(t->blocks.empty()) << number;
    }
    // The button dialog picks its topics by kind and by page: they are among the opened ones.
    const auto opened = [](std::optional<int> n) {
        return n && std::find(kOpenedTopics.begin(), kOpenedTopics.end(), *n) != kOpenedTopics.end();
    };
    for (uint8_t kind : {model::kKindProgram, model::kKindPageLink, model::kKindBrowser})
        EXPECT_TRUE(opened(editor::kind_help_context(kind))) << int(kind);
    for (int tab = 0; tab < 4; ++tab) EXPECT_TRUE(opened(editor::tab_help_context(tab))) << tab;
    EXPECT_EQ(find_topic(4242), nullptr);
}

TEST(HelpTopics, ShippedTopicsReadCleanlyAndTheirLinksLeadToTopics) {
    ASSERT_FALSE(topic_sources().empty());
    int previous = 0;
    for (const TopicSource& s : topic_sources()) {
        EXPECT_GT(s.number, previous) << s.file;
        previous = s.number;
        const Topic t = parse_topic(s.text);
        EXPECT_TRUE(t.problems.empty()) << s.file << ": " << (t.problems.empty() ? "" : t.problems.front());
        for (int target : links_of(t)) EXPECT_NE(find_topic(target), nullptr) << s.file << " -> " << target;
    }
}

TEST(HelpTopics, EveryTopicCanBeReachedFromTheContents) {
    std::set<int> reached{kContentsTopic};
    std::vector<int> todo{kContentsTopic};
    while (!todo.empty()) {
        const int n = todo.back();
        todo.pop_back();
        const Topic* t = find_topic(n);
        if (!t) continue;
        for (int target : links_of(*t))
            if (reached.insert(resolve_topic(target)).second) todo.push_back(resolve_topic(target));
    }
    for (const TopicSource& s : topic_sources()) EXPECT_TRUE(reached.count(s.number)) << s.file;
}

TEST(HelpTopics, FormContextsShowTheirFormsTopics) {
    const std::pair<int, int> aliases[] = {{kPagePasswordContext, kPagePasswordTopic},
                                           {kAddProgramGroupContext, kAddProgramGroupTopic},
                                           {kDesktopAttributesContext, kDesktopAttributesTopic},
                                           {kDirectoriesContext, kDirectoriesTopic}};
    for (const auto& [context, topic] : aliases) {
        EXPECT_EQ(resolve_topic(context), topic);
        EXPECT_EQ(find_topic(context), find_topic(topic));
    }
}

}  // namespace
}  // namespace vx::help
