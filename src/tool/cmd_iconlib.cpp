// vxtool iconlib: inspect and maintain an icon library folder (VXIndex.Lib + VXIcon.Lib).
#include <filesystem>
#include <ostream>

#include "iconlib/animation.h"
#include "iconlib/icon_file.h"
#include "iconlib/library.h"
#include "port/text_codec.h"
#include "tool/command.h"

namespace vx::tool {
namespace {

using iconlib::IconLibrary;

const char* type_name(int32_t type) {
    switch (type < 0 ? -type : type) {
        case iconlib::kTypeIcon:
            return "icon";
        case iconlib::kTypeAnimated:
            return "animated";
        case iconlib::kTypeCursor:
            return "cursor";
        default:
            return "unknown";
    }
}

uint16_t parse_number(const std::string& text) {
    size_t used = 0;
    unsigned long value = 0;
    try {
        value = std::stoul(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value > 0xFFFF)
        throw std::runtime_error("not an icon number: " + text);
    return static_cast<uint16_t>(value);
}

int usage(std::ostream& err) {
    err << "usage: vxtool iconlib list|add|extract|check|delete|undelete|move|compact|animate ... (see "
           "vxtool "
           "--help)\n";
    return 2;
}

int handler(const Args& args_in, std::ostream& out, std::ostream& err) {
    Args args = args_in;
    if (!args.empty() && args[0] == "animate") {
        // animate OUT RATE FRAME.ICO...: a tool for building animated entries.
        if (args.size() < 4) return usage(err);
        std::vector<Bytes> frames;
        for (size_t i = 3; i < args.size(); ++i) frames.push_back(read_file(args[i]));
        write_file_atomic(args[1], iconlib::write_animation(frames, parse_number(args[2])));
        return 0;
    }
    std::string index_text;
    const bool have_index = take_option(args, "--index", index_text);
    if (args.size() < 2) return usage(err);
    const std::string& verb = args[0];
    const Windows1252Codec codec;
    IconLibrary lib(args[1], codec);

    if (verb == "list" && args.size() == 2) {
        const auto recs = lib.records();
        for (size_t i = 0; i < recs.size(); ++i) {
            const auto& r = recs[i];
            out << i << '\t' << codec.to_utf8(r.name()) << '\t' << type_name(r.type) << '\t'
                << (r.live() ? "live" : "deleted") << '\t' << r.size << '\n';
        }
        return 0;
    }
    if (verb == "add" && args.size() == 3) {
        std::error_code ec;
        std::filesystem::create_directories(path_from_utf8(args[1]), ec);
        const int index = have_index ? parse_number(index_text) : 0;
        out << lib.add_file(args[2], index, nullptr) << '\n';
        return 0;
    }
    if (verb == "extract" && args.size() == 4) {
        uint16_t number = parse_number(args[2]);
        const auto entry = lib.load(number);
        if (!entry) {
            err << "vxtool iconlib: no entry at or after " << args[2] << '\n';
            return 1;
        }
        write_file_atomic(args[3], entry->data);
        out << entry->number << '\t' << type_name(entry->type) << '\t' << entry->data.size() << '\n';
        return 0;
    }
    if (verb == "delete" && args.size() == 3) {
        lib.remove(parse_number(args[2]));
        return 0;
    }
    if (verb == "undelete" && args.size() == 2) {
        lib.undelete_all();
        return 0;
    }
    if (verb == "move" && args.size() == 4) {
        lib.move(parse_number(args[2]), parse_number(args[3]), nullptr);
        return 0;
    }
    if (verb == "check" && args.size() == 2) {
        // Every live entry must read as what its type says.
        const auto recs = lib.records();
        size_t bad = 0, live = 0;
        for (size_t i = 0; i < recs.size() && i < iconlib::kMaxEntries; ++i) {
            if (!recs[i].live()) continue;
            ++live;
            uint16_t n = static_cast<uint16_t>(i);
            const auto entry = lib.load(n);
            const bool ok =
                entry && n == i &&
                (entry->type == iconlib::kTypeAnimated ? iconlib::read_animation(entry->data).has_value()
                                                       : iconlib::read_icon_file(entry->data).has_value());
            if (!ok) {
                ++bad;
                err << i << '\t' << codec.to_utf8(recs[i].name()) << "\tunreadable\n";
            }
        }
        out << live << " live entries, " << bad << " unreadable\n";
        return bad ? 1 : 0;
    }
    if (verb == "compact" && args.size() == 2) {
        out << lib.compact(nullptr) << " deleted entries removed\n";
        return 0;
    }
    return usage(err);
}

const Registration reg{
    {"iconlib",
     "vxtool iconlib list DIR            entries: number, name, type, live/deleted, size\n"
     "vxtool iconlib add DIR FILE [--index N]   add an .ICO/.CUR/.ANI file; prints its number\n"
     "vxtool iconlib extract DIR N OUT   write the first live entry at or after N to OUT\n"
     "vxtool iconlib check DIR          report live entries that do not read as their type\n"
     "vxtool iconlib delete DIR N        mark entry N deleted (undone by undelete)\n"
     "vxtool iconlib undelete DIR        bring back every deleted entry\n"
     "vxtool iconlib move DIR S T        move entry S to position T\n"
     "vxtool iconlib compact DIR         drop deleted entries from both files\n"
     "vxtool iconlib animate OUT RATE FRAME.ICO...   write an animated cursor, RATE in 1/60 s\n",
     handler}};

}  // namespace
}  // namespace vx::tool
