#include "help/topic_markup.h"

#include <algorithm>
#include <cstddef>

namespace vx::help {
namespace {

// Tabs read as spaces; other control characters (a stray NUL, an escape) are dropped, since
// they have no meaning in the help and the window shows what it is given.
std::string clean(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\t')
            out += ' ';
        else if (u >= 0x20 && u != 0x7F)
            out += c;
    }
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

void add_text(std::vector<Span>& spans, std::string_view text) {
    if (text.empty()) return;
    if (!spans.empty() && spans.back().link == 0)
        spans.back().text += text;
    else
        spans.push_back({std::string(text), 0});
}

// Reads "[[N|text]]" at the start of `s`; the length taken, or 0 when it is no link.
size_t read_link(std::string_view s, int& number, std::string_view& text) {
    const size_t end = s.find("]]", 2);
    if (end == std::string_view::npos) return 0;
    const std::string_view inner = s.substr(2, end - 2);
    const size_t bar = inner.find('|');
    if (bar == std::string_view::npos || bar == 0 || bar > 5) return 0;
    int n = 0;
    for (size_t i = 0; i < bar; ++i) {
        if (inner[i] < '0' || inner[i] > '9') return 0;
        n = n * 10 + (inner[i] - '0');
    }
    text = trim(inner.substr(bar + 1));
    if (n <= 0 || n > kMaxTopicNumber || text.empty() || text.find("[[") != std::string_view::npos) return 0;
    number = n;
    return end + 2;
}

void add_inline(std::vector<Span>& spans, std::string_view s, std::vector<std::string>& problems) {
    while (!s.empty()) {
        const size_t open = s.find("[[");
        if (open == std::string_view::npos) {
            add_text(spans, s);
            return;
        }
        add_text(spans, s.substr(0, open));
        s.remove_prefix(open);
        int number = 0;
        std::string_view text;
        if (const size_t taken = read_link(s, number, text)) {
            spans.push_back({std::string(text), number});
            s.remove_prefix(taken);
        } else {
            const size_t shown = std::min<size_t>(s.size(), 24);
            problems.push_back("malformed link: " + std::string(s.substr(0, shown)));
            add_text(spans, s.substr(0, 2));
            s.remove_prefix(2);
        }
    }
}

}  // namespace

Topic parse_topic(std::string_view source) {
    Topic topic;
    bool have_title = false;
    // The block being gathered: its kind and its text so far (inline markup is read once the
    // whole block is known, so that a link may wrap over a line end).
    bool open = false;
    BlockKind kind = BlockKind::Paragraph;
    std::string text;
    const auto close = [&] {
        if (open && !text.empty()) {
            Block block{kind, {}};
            add_inline(block.spans, text, topic.problems);
            topic.blocks.push_back(std::move(block));
        }
        open = false;
        text.clear();
    };

    while (!source.empty()) {
        const size_t nl = source.find('\n');
        std::string_view raw = source.substr(0, nl);
        source.remove_prefix(nl == std::string_view::npos ? source.size() : nl + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        const std::string line = clean(raw);
        const std::string_view body = trim(line);

        if (!have_title) {
            if (body.empty()) continue;
            topic.title = std::string(body);
            have_title = true;
            continue;
        }
        if (body.empty()) {
            close();
            continue;
        }
        const bool indented = line.front() == ' ';
        if (body.size() >= 2 && body.substr(0, 2) == "# ") {
            close();
            open = true;
            kind = BlockKind::Heading;
            text = std::string(trim(body.substr(2)));
            close();
        } else if (body.size() >= 2 && body.substr(0, 2) == "- ") {
            close();
            open = true;
            kind = BlockKind::Bullet;
            text = std::string(trim(body.substr(2)));
        } else if (open && (kind == BlockKind::Paragraph || indented)) {
            text += ' ';
            text += body;
        } else {
            close();
            open = true;
            kind = BlockKind::Paragraph;
            text = std::string(body);
        }
    }
    close();
    if (!have_title) topic.problems.emplace_back("no title");
    return topic;
}

std::vector<int> links_of(const Topic& topic) {
    std::vector<int> out;
    for (const Block& b : topic.blocks)
        for (const Span& s : b.spans)
            if (s.link) out.push_back(s.link);
    return out;
}

std::string plain_text(const Topic& topic) {
    std::string out = topic.title;
    for (const Block& b : topic.blocks) {
        out += "\r\n\r\n";
        if (b.kind == BlockKind::Bullet) out += "- ";
        for (const Span& s : b.spans) out += s.text;
    }
    out += "\r\n";
    return out;
}

}  // namespace vx::help
