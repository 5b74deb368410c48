#pragma once
// The stored files are 8-bit text in the Windows ANSI code page; inside the program text is
// UTF-8. Conversion happens at the file boundary through this port, so that a load followed
// by a save reproduces the bytes.
#include <string>
#include <string_view>

namespace vx {

class TextCodec {
public:
    virtual ~TextCodec() = default;
    virtual std::string to_utf8(std::string_view ansi) const = 0;
    // Characters the code page cannot hold become '?'.
    virtual std::string from_utf8(std::string_view utf8) const = 0;
};

// Windows-1252, with the five unassigned bytes mapped to U+0081, U+008D, U+008F, U+0090
// and U+009D as the platform maps them, so every byte survives a round trip.
class Windows1252Codec final : public TextCodec {
public:
    std::string to_utf8(std::string_view ansi) const override;
    std::string from_utf8(std::string_view utf8) const override;
};

// Appends the UTF-8 form of a code point; decodes one code point (U+FFFD on bad input).
void append_utf8(std::string& out, char32_t cp);
char32_t next_utf8(std::string_view s, size_t& pos);

}  // namespace vx
