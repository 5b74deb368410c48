#pragma once
// Conversions at the Win32 boundary: the program works in UTF-8, Windows APIs are called in
// their wide form, and the stored files use the system's ANSI code page.
#include <string>
#include <string_view>

#include "port/text_codec.h"

namespace vx::win {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// ANSI code page <-> UTF-8 (CP_ACP unless another code page is given).
std::string ansi_to_utf8(std::string_view ansi, unsigned code_page = 0);
std::string utf8_to_ansi(std::string_view utf8, unsigned code_page = 0);

// The TextCodec port on the system's ANSI code page.
class AnsiCodePageCodec final : public TextCodec {
public:
    explicit AnsiCodePageCodec(unsigned code_page = 0) : code_page_(code_page) {}
    std::string to_utf8(std::string_view ansi) const override { return ansi_to_utf8(ansi, code_page_); }
    std::string from_utf8(std::string_view utf8) const override { return utf8_to_ansi(utf8, code_page_); }

private:
    unsigned code_page_;
};

}  // namespace vx::win
