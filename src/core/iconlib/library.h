#pragma once
// The icon library beside the program: VXIndex.Lib, one 28-byte record per entry whose
// position is the entry's icon number, and VXIcon.Lib, the entries' bytes back to back.
// Buttons, button cursors and page tabs store only those numbers, so every operation that
// shifts entries hands the caller a renumbering to apply to its references.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "iconlib/icon_source.h"
#include "port/text_codec.h"
#include "util/file_io.h"

namespace vx::iconlib {

inline constexpr const char* kIndexFileName = "VXIndex.Lib";
inline constexpr const char* kDataFileName = "VXIcon.Lib";
inline constexpr size_t kRecordSize = 28;
inline constexpr size_t kNameLength = 12;
// Icon numbers are 16-bit everywhere they are stored.
inline constexpr size_t kMaxEntries = 0x10000;

enum EntryType : int32_t { kTypeIcon = 1, kTypeAnimated = 2, kTypeCursor = 3 };

// The stock entries at the head of the shipped library, used when a file gives no icon.
enum StockIcon : uint16_t { kStockDocument = 0, kStockProgram = 1, kStockHelp = 2 };

struct IndexRecord {
    int32_t size = 0;
    int32_t offset = 0;
    // Kept as stored (ANSI bytes, unused tail and padding included), so that rewriting the
    // index reproduces the records it did not mean to change.
    uint8_t name_length = 0;
    std::array<uint8_t, kNameLength> name_bytes{};
    std::array<uint8_t, 3> padding{};
    int32_t type = 0;  // negative: deleted but not yet compacted

    bool live() const { return type > 0; }
    std::string name() const;  // ANSI, at most 12 bytes
    void set_name(std::string_view ansi);
};

void encode_record(const IndexRecord& record, uint8_t* out);
IndexRecord decode_record(const uint8_t* in);
// Whole records only: a torn record at the end (an interrupted write) is not an entry.
std::vector<IndexRecord> parse_index(std::span<const uint8_t> data);
Bytes serialize_index(const std::vector<IndexRecord>& records);

// The holders of icon numbers (buttons' icons and cursors, page tab icons, the library
// window's selection, an open button editor) implement this; the library calls it once,
// after its files have been rewritten, with the new number of every old one.
class IconReferences {
public:
    virtual ~IconReferences() = default;
    virtual void renumber(const std::function<uint16_t(uint16_t)>& new_number) = 0;
};

// New numbers after dropping the dead records (each number loses the count of dead records
// before it), and after moving one entry from s to t.
std::function<uint16_t(uint16_t)> compaction_renumbering(const std::vector<IndexRecord>& old_index);
uint16_t moved_number(uint16_t n, uint16_t s, uint16_t t);

class IconLibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LoadedEntry {
    uint16_t number = 0;
    int32_t type = 0;
    Bytes data;
};

// The stock number for a file that gave no icon, by its extension.
uint16_t stock_number_for(std::string_view path);

class IconLibrary {
public:
    IconLibrary(std::string dir, const TextCodec& codec);

    std::string index_path() const;
    std::string data_path() const;
    bool exists() const;

    // Empty when the index does not exist. Throws FileError when it cannot be read.
    std::vector<IndexRecord> records() const;

    // The first live entry whose name equals `name` (UTF-8) exactly, or -1.
    int find(std::string_view name) const;

    // Adds a file by its extension: .ICO, .CUR and .ANI are copied as they are, a shortcut
    // or any other file gives its icon through `source` (which may be null: no icon). The
    // same name twice gives the first entry and writes nothing; no icon gives a stock
    // number and writes nothing. Throws FileError or IconLibraryError.
    uint16_t add_file(const std::string& path, int icon_index, IconSource* source);

    // The first live entry at or after `number`; `number` becomes that entry's number.
    // nullopt (and `number` unchanged) when a file is missing, there is no such entry or its
    // bytes lie outside the data file.
    std::optional<LoadedEntry> load(uint16_t& number) const;

    // Marks an entry deleted in place; undelete_all brings back every deleted entry. Both
    // patch only the type fields, so a delete followed by undelete_all restores the index
    // byte for byte.
    void remove(uint16_t number);
    void undelete_all();

    // Drops the deleted entries from both files and renumbers the references. Returns the
    // number of entries dropped. Stopped at any point, it leaves an index that names only
    // bytes holding its entries (the old numbers or the new, never a mix); bytes left over by
    // such a stop are reclaimed by the next compaction.
    size_t compact(IconReferences* references);
    // Called after each write of a compaction, once the file is closed: the points at which a
    // crash can stop it. Tests check the library there, or throw to stop it.
    void observe_compaction(std::function<void()> after_each_write) {
        compaction_observer_ = std::move(after_each_write);
    }

    // Moves entry s to position t (the end when t is past it); the data file is untouched.
    void move(uint16_t s, uint16_t t, IconReferences* references);

private:
    Bytes read_index_bytes() const;
    void patch_types(const std::function<int32_t(int32_t)>& change);
    std::string to_ansi_name(std::string_view utf8) const;
    void compaction_step() const {
        if (compaction_observer_) compaction_observer_();
    }

    std::string dir_;
    const TextCodec& codec_;
    std::function<void()> compaction_observer_;
};

}  // namespace vx::iconlib
