// vxtool desktop: inspect and round-trip desktop files without the shell. The file named is
// never changed: enciphered files are deciphered in memory.
#include <array>
#include <ostream>

#include "model/desktop_file.h"
#include "port/locale.h"
#include "port/text_codec.h"
#include "security/file_cipher.h"
#include "tool/command.h"

namespace vx::tool {
namespace {

using namespace vx::model;

struct Loaded {
    Desktop desktop;
    LoadResult result;
};

// Loads as the administrator, so hidden pages stay where the file has them and a resave
// keeps their place.
void load(const std::string& path, Loaded& into, const Locale& locale, const TextCodec& codec) {
    FolderImageResolver images(dir_of(path), dir_of(path));
    ReadContext ctx;
    ctx.locale = &locale;
    ctx.codec = &codec;
    ctx.images = &images;
    ctx.is_administrator = [] { return true; };
    ctx.file_name = path;
    into.desktop.file_name = path;
    into.result = load_desktop_bytes(into.desktop, read_file(path), ctx);
}

void report_load_error(const DesktopLoadError& e, std::ostream& err) {
    std::string text = e.text();
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    err << e.caption() << "\n" << text << "\n(" << e.detail() << ")\n";
}

int check(const std::string& path, std::ostream& out, std::ostream& err) {
    const Locale& locale = tool_locale();
    Windows1252Codec codec;
    Loaded l;
    try {
        load(path, l, locale, codec);
    } catch (const DesktopLoadError& e) {
        report_load_error(e, err);
        return 1;
    }
    for (const auto& w : l.result.warnings) err << "warning: " << w << '\n';
    const Desktop& d = l.desktop;
    std::array<size_t, 5> kinds{};
    auto count = [&](const Page* p) {
        if (!p) return;
        for (const auto& e : p->objects) ++kinds[static_cast<size_t>(kind_of(e.data)) - 1];
    };
    count(d.master());
    size_t hidden = 0;
    for (const auto& p : d.pages()) {
        count(p.get());
        if (!p->visible) ++hidden;
    }
    out << "pages: " << d.pages().size() << " (" << hidden << " hidden from users)\n"
        << "master objects: " << (d.master() ? d.master()->objects.size() : 0) << '\n'
        << "buttons: " << kinds[0] << "\nshapes: " << kinds[1] << "\nlines: " << kinds[2]
        << "\nlabels: " << kinds[3] << "\nimages: " << kinds[4] << '\n'
        << "scheduled launches: " << d.scheduled().size() << '\n';
    return 0;
}

int resave(const std::string& in, const std::string& out_path, std::ostream& err) {
    const Locale& locale = tool_locale();
    Windows1252Codec codec;
    Loaded l;
    try {
        load(in, l, locale, codec);
    } catch (const DesktopLoadError& e) {
        report_load_error(e, err);
        return 1;
    }
    for (const auto& w : l.result.warnings) err << "warning: " << w << '\n';
    WriteContext wctx;
    wctx.locale = &locale;
    wctx.codec = &codec;
    wctx.tab_count = l.desktop.file_tab_count;
    write_file_atomic(out_path, write_desktop_text(l.desktop, wctx));
    return 0;
}

int dump(const std::string& path, std::ostream& out) {
    int mark = 0;
    const Bytes plain = security::cipher_bytes(read_file(path), security::kDesktopKey,
                                               security::CipherDirection::Decipher, mark);
    out.write(reinterpret_cast<const char*>(plain.data()), static_cast<std::streamsize>(plain.size()));
    return 0;
}

int desktop_command(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string sub = args.empty() ? std::string() : args[0];
    if (sub == "check" && args.size() == 2) return check(args[1], out, err);
    if (sub == "resave" && args.size() == 3) return resave(args[1], args[2], err);
    if (sub == "dump" && args.size() == 2) return dump(args[1], out);
    err << "usage: vxtool desktop check FILE | resave IN OUT | dump FILE\n";
    return 2;
}

const Registration reg{{"desktop",
                        "vxtool desktop check FILE\n"
                        "    load FILE (enciphered or plain) and count its pages and objects by kind;\n"
                        "    exit 1 with the loading error when the file is damaged\n"
                        "vxtool desktop resave IN OUT\n"
                        "    load IN and save it plain to OUT (a load/save round trip)\n"
                        "vxtool desktop dump FILE\n"
                        "    write the deciphered text of FILE to standard output",
                        desktop_command}};

}  // namespace
}  // namespace vx::tool
