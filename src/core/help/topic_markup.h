#pragma once
// The markup help topics are written in (data/help/topics/NNN-name.txt):
//   - the first line that is not blank is the title;
//   - blank lines separate blocks; the lines of a paragraph join with a space;
//   - "# text" is a heading of its own line; "- text" starts a bullet, which indented lines
//     continue;
//   - "[[312|Set Palette]]" is a link: the text shown and the topic it leads to.
// A malformed link stays as literal text and is named in `problems`; nothing in a topic can
// lead anywhere but to another topic's number.
#include <string>
#include <string_view>
#include <vector>

namespace vx::help {

struct Span {
    std::string text;
    int link = 0;  // the topic it leads to; 0 for plain text
    bool operator==(const Span&) const = default;
};

enum class BlockKind { Paragraph, Heading, Bullet };

struct Block {
    BlockKind kind = BlockKind::Paragraph;
    std::vector<Span> spans;
    bool operator==(const Block&) const = default;
};

struct Topic {
    std::string title;
    std::vector<Block> blocks;
    std::vector<std::string> problems;  // what did not read, in order, one line each
};

// Topic numbers are at most this; a link to a larger one is malformed.
inline constexpr int kMaxTopicNumber = 99999;

Topic parse_topic(std::string_view source);

// Every link target of the topic, in order of appearance (repeats kept).
std::vector<int> links_of(const Topic& topic);

// The topic as plain lines: the title, then each block as a paragraph ("- " before bullets),
// blocks separated by an empty line, lines ended by "\r\n" (a plain edit control's text).
std::string plain_text(const Topic& topic);

}  // namespace vx::help
