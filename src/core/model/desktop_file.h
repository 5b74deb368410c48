#pragma once
// The desktop file: a line-oriented ANSI text, kept enciphered on disk. The reader also
// takes the object and page fragments the editor puts on the clipboard (paste mode).
// The layout is described for administrators in docs/formats/desktop-file.md.
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/desktop.h"
#include "model/image_resolver.h"
#include "port/locale.h"
#include "port/text_codec.h"
#include "util/file_io.h"

namespace vx::model {

inline constexpr const char* kLoadErrorCaption = "Error In loading Desktop File";

// The loading error shown to the user: the caption above and text() naming the file.
class DesktopLoadError : public std::runtime_error {
public:
    DesktopLoadError(const std::string& file_name, std::string detail);
    const char* caption() const { return kLoadErrorCaption; }
    const std::string& text() const { return text_; }
    // What exactly was wrong, for logs and tools; never shown in the alert.
    const std::string& detail() const { return detail_; }

private:
    std::string text_;
    std::string detail_;
};

std::string load_error_text(std::string_view file_name);

enum class ReadMode { Load, Paste };

struct ReadContext {
    ReadMode mode = ReadMode::Load;
    const Locale* locale = nullptr;         // required
    const TextCodec* codec = nullptr;       // required
    const ImageResolver* images = nullptr;  // none: no picture is ever found
    // Asked when a page marked invisible is read; true keeps it among the ordinary pages.
    std::function<bool()> is_administrator;
    // The launch date-time a new button gets before its "LaunchDate=" line: the time of the
    // load, which the caller knows.
    DateTime now = 0;
    // The run's encryption mark: deciphering the file takes the trailer's mark into it, and a
    // plain file found on disk is enciphered with it. None: a mark of this read's own.
    int* encryption_mark = nullptr;
    // Hooks for the window layer; each may be empty.
    // After the count line of a whole file: its number, or 0 when it holds none.
    std::function<void(int count)> on_count_line;
    std::function<void(int tab_count)> on_page_created;
    std::function<void(const Palette&)> on_page_palette;
    std::function<void(Page&, ObjectEntry&)> on_object_created;
    std::function<void(ButtonData&)> on_button_attrib;
    // Name of the file being read, for the loading error.
    std::string file_name;
};

struct LoadResult {
    // Failures reported to the user while loading went on (a count line that is no number).
    std::vector<std::string> warnings;
};

// Reads the lines of a desktop text (after the count line) into `desktop`, starting from its
// current page. Throws DesktopLoadError; the model keeps what was read before the failure.
void read_desktop_text(Desktop& desktop, std::string_view ansi, const ReadContext& ctx);

// A whole plain desktop text, count line included, into an emptied desktop. Pages are
// renumbered afterwards. Throws DesktopLoadError.
LoadResult load_desktop_text(Desktop& desktop, std::string_view ansi, const ReadContext& ctx);

// The file as it is on disk, enciphered or plain; the bytes are deciphered in memory and the
// encryption mark taken from the trailer into ctx.encryption_mark. Throws DesktopLoadError.
LoadResult load_desktop_bytes(Desktop& desktop, const Bytes& file_bytes, const ReadContext& ctx);

// Loads desktop.file_name. False, without a message, when the file does not exist. The file
// is never left plain: an enciphered file is only read, a plain one is enciphered after
// reading. Throws DesktopLoadError.
bool load_desktop_file(Desktop& desktop, ReadContext ctx, LoadResult* result = nullptr);

struct WriteContext {
    const Locale* locale = nullptr;    // required
    const TextCodec* codec = nullptr;  // required
    // The count line: the number of page tabs shown; -1 writes the run-mode tab count.
    int tab_count = -1;
    // The run's encryption mark, written into the trailer of an enciphered file.
    int encryption_mark = 0;
};

// Object and page groups, as the editor's clipboard carries them; lines end in CR LF.
std::string write_object_group(const ObjectData& object, const WriteContext& ctx);
std::string write_page_group(const Page& page, const WriteContext& ctx);
// The whole plain desktop text.
std::string write_desktop_text(const Desktop& desktop, const WriteContext& ctx);

struct SaveOptions {
    bool backup = false;  // keep the previous file as NAME.BAK unless one exists already
    bool encipher = true;
};

// Saves to desktop.file_name; false when no file name is set. The file is replaced
// atomically and already enciphered, so a failure leaves the previous file whole.
// Throws FileError.
bool save_desktop_file(const Desktop& desktop, const WriteContext& ctx, const SaveOptions& options);

// NAME.BAK beside NAME (the extension replaced).
std::string backup_name_of(std::string_view file_name);

}  // namespace vx::model
