#pragma once
// The installer's file-system side effects, behind an interface so that the placing rules
// (help folder, files kept, files in use) are tested without touching a real system folder.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vx::setup {

class SetupFs {
public:
    class Reader {
    public:
        virtual ~Reader() = default;
        // Reads up to `cap` bytes into `got`; false on a read error. got == 0 means the end.
        virtual bool read(uint8_t* buf, size_t cap, size_t& got) = 0;
        virtual bool seek(uint64_t offset) = 0;
    };
    class Writer {
    public:
        virtual ~Writer() = default;
        virtual bool write(const uint8_t* data, size_t size) = 0;
        // Flushes and closes; false when the data may not have reached the disk.
        virtual bool close() = 0;
    };

    virtual ~SetupFs() = default;
    virtual bool exists(const std::string& path) = 0;
    // nullptr when the file cannot be opened.
    virtual std::unique_ptr<Reader> open_read(const std::string& path) = 0;
    // Creates or empties the file; nullptr when it cannot (for instance, it is in use).
    virtual std::unique_ptr<Writer> create(const std::string& path) = 0;
    // The second attempt for a file that would not be created: open for writing while
    // others may hold it open.
    virtual std::unique_ptr<Writer> open_write_shared(const std::string& path) = 0;
    virtual bool remove(const std::string& path) = 0;
    virtual bool truncate(const std::string& path, uint64_t size) = 0;
    virtual bool make_dirs(const std::string& path) = 0;

    enum class Replaced { Now, InUse, Failed };
    // Puts `from` in the place of `to` at once, replacing `to` when it exists. InUse when `to`
    // is held by a running program (a loaded program or library), which the next start of
    // Windows can still replace.
    virtual Replaced replace(const std::string& from, const std::string& to) = 0;
    // Has Windows put `from` in the place of `to` when it next starts; false when it cannot.
    virtual bool replace_at_restart(const std::string& from, const std::string& to) = 0;
};

// SetupFs on the standard library, with UTF-8 paths: vxtool's unpack and native tests.
class StdSetupFs : public SetupFs {
public:
    bool exists(const std::string& path) override;
    std::unique_ptr<Reader> open_read(const std::string& path) override;
    std::unique_ptr<Writer> create(const std::string& path) override;
    std::unique_ptr<Writer> open_write_shared(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool truncate(const std::string& path, uint64_t size) override;
    bool make_dirs(const std::string& path) override;
    Replaced replace(const std::string& from, const std::string& to) override;
    // Nothing here starts again: a file that cannot be replaced now never will be.
    bool replace_at_restart(const std::string&, const std::string&) override { return false; }
};

// Path helpers for Windows and Unix style paths alike.
std::string join_path(std::string_view dir, std::string_view name);
std::string file_name_of(std::string_view path);
// The extension with its dot ("\.Exe"), or empty.
std::string extension_of(std::string_view path);
// The path with its extension replaced by (or, if none, extended with) `ext` (".$$$").
std::string with_extension(std::string_view path, std::string_view ext);
// Where a file is written before it replaces `path`: beside it, so that the replace is a
// rename within one folder.
std::string staging_path(std::string_view path);
bool iequals(std::string_view a, std::string_view b);

}  // namespace vx::setup
