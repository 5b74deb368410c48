// vxtool lzhuf: the payload codec on its own, for scripts and for checking a volume set.
#include <ostream>
#include <stdexcept>

#include "setup/lzhuf.h"
#include "tool/command.h"
#include "util/file_io.h"

namespace vx::tool {
namespace {

int lzhuf(const Args& given, std::ostream& out, std::ostream& err) {
    Args args = given;
    std::string length_text;
    const bool has_length = take_option(args, "--length", length_text);
    if (args.size() != 3 || (args[0] != "encode" && args[0] != "decode")) {
        err << "usage: vxtool lzhuf encode|decode IN OUT [--length N]\n";
        return 2;
    }
    const Bytes in = read_file(args[1]);
    if (args[0] == "encode") {
        const Bytes packed = setup::lzhuf_encode(in);
        write_file_atomic(args[2], packed);
        out << in.size() << " bytes -> " << packed.size() << " bytes (decode with --length " << in.size()
            << ")\n";
        return 0;
    }
    // The stream carries no length of its own.
    if (!has_length) throw std::runtime_error("decode needs --length N, the number of bytes to produce");
    size_t used = 0;
    unsigned long long length = 0;
    try {
        length = std::stoull(length_text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != length_text.size() || length_text[0] == '-' || length > UINT32_MAX)
        throw std::runtime_error("--length must be a whole number of bytes below 4 GB");
    const Bytes plain = setup::lzhuf_decode(in, static_cast<size_t>(length));
    write_file_atomic(args[2], plain);
    out << in.size() << " bytes -> " << plain.size() << " bytes\n";
    return 0;
}

const Registration reg{{"lzhuf",
                        "vxtool lzhuf encode IN OUT\n"
                        "vxtool lzhuf decode IN OUT --length N\n"
                        "    the installer's compression; the stream holds no length, so decode needs it",
                        lzhuf}};

}  // namespace
}  // namespace vx::tool
