#include "iconlib/library.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>

#include "iconlib/animation.h"
#include "iconlib/bytes_le.h"
#include "iconlib/icon_file.h"

namespace vx::iconlib {
namespace {

std::string lower_extension(std::string_view path) {
    const std::string name = file_name_of(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

uint64_t file_size_or_zero(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_from_utf8(path), ec);
    return ec ? 0 : size;
}

Bytes read_range(const std::string& path, uint64_t offset, uint64_t size) {
    std::ifstream in(path_from_utf8(path), std::ios::binary);
    if (!in) throw FileError("Cannot open " + path);
    Bytes data(static_cast<size_t>(size));
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size));
    if (!in) throw FileError("Cannot read " + path);
    return data;
}

// A live record's bytes, or nullopt when they do not lie inside a data file of `data_size`.
bool in_data(const IndexRecord& r, uint64_t data_size) {
    return r.offset >= 0 && r.size > 0 && uint64_t(r.offset) + uint64_t(r.size) <= data_size;
}

bool is_icon_data(std::span<const uint8_t> data) {
    return read_icon_file(data).has_value() || read_animation(data).has_value();
}

}  // namespace

std::string IndexRecord::name() const {
    const size_t n = std::min<size_t>(name_length, kNameLength);
    return std::string(name_bytes.begin(), name_bytes.begin() + n);
}

void IndexRecord::set_name(std::string_view ansi) {
    const size_t n = std::min(ansi.size(), kNameLength);
    name_bytes.fill(0);
    std::copy_n(ansi.begin(), n, name_bytes.begin());
    name_length = static_cast<uint8_t>(n);
}

void encode_record(const IndexRecord& r, uint8_t* out) {
    put_i32(out, r.size);
    put_i32(out + 4, r.offset);
    out[8] = r.name_length;
    std::copy(r.name_bytes.begin(), r.name_bytes.end(), out + 9);
    std::copy(r.padding.begin(), r.padding.end(), out + 21);
    put_i32(out + 24, r.type);
}

IndexRecord decode_record(const uint8_t* in) {
    IndexRecord r;
    r.size = get_i32(in);
    r.offset = get_i32(in + 4);
    r.name_length = in[8];
    std::copy_n(in + 9, kNameLength, r.name_bytes.begin());
    std::copy_n(in + 21, 3, r.padding.begin());
    r.type = get_i32(in + 24);
    return r;
}

std::vector<IndexRecord> parse_index(std::span<const uint8_t> data) {
    std::vector<IndexRecord> records;
    records.reserve(data.size() / kRecordSize);
    for (size_t pos = 0; data.size() - pos >= kRecordSize; pos += kRecordSize)
        records.push_back(decode_record(data.data() + pos));
    return records;
}

Bytes serialize_index(const std::vector<IndexRecord>& records) {
    Bytes out(records.size() * kRecordSize);
    for (size_t i = 0; i < records.size(); ++i) encode_record(records[i], out.data() + i * kRecordSize);
    return out;
}

std::function<uint16_t(uint16_t)> compaction_renumbering(const std::vector<IndexRecord>& old_index) {
    std::vector<uint32_t> dead_before(old_index.size() + 1, 0);
    for (size_t i = 0; i < old_index.size(); ++i)
        dead_before[i + 1] = dead_before[i] + (old_index[i].live() ? 0 : 1);
    return [dead = std::move(dead_before)](uint16_t n) {
        const size_t at = std::min<size_t>(n, dead.size() - 1);
        return static_cast<uint16_t>(n - dead[at]);
    };
}

uint16_t moved_number(uint16_t n, uint16_t s, uint16_t t) {
    if (n == s) return t;
    if (s < t && n > s && n <= t) return static_cast<uint16_t>(n - 1);
    if (s > t && n >= t && n < s) return static_cast<uint16_t>(n + 1);
    return n;
}

uint16_t stock_number_for(std::string_view path) {
    const std::string ext = lower_extension(path);
    if (ext == "exe" || ext == "pif") return kStockProgram;
    if (ext == "hlp") return kStockHelp;
    return kStockDocument;
}

IconLibrary::IconLibrary(std::string dir, const TextCodec& codec) : dir_(std::move(dir)), codec_(codec) {}

std::string IconLibrary::index_path() const {
    return join_path(dir_, kIndexFileName);
}

std::string IconLibrary::data_path() const {
    return join_path(dir_, kDataFileName);
}

bool IconLibrary::exists() const {
    return file_exists(index_path()) && file_exists(data_path());
}

Bytes IconLibrary::read_index_bytes() const {
    if (!file_exists(index_path())) return {};
    return read_file(index_path());
}

std::vector<IndexRecord> IconLibrary::records() const {
    return parse_index(read_index_bytes());
}

std::string IconLibrary::to_ansi_name(std::string_view utf8) const {
    std::string ansi = codec_.from_utf8(utf8);
    if (ansi.size() > kNameLength) ansi.resize(kNameLength);
    return ansi;
}

int IconLibrary::find(std::string_view name) const {
    const std::string ansi = codec_.from_utf8(name);
    const auto recs = records();
    for (size_t i = 0; i < recs.size() && i < kMaxEntries; ++i)
        if (recs[i].live() && recs[i].name() == ansi) return static_cast<int>(i);
    return -1;
}

uint16_t IconLibrary::add_file(const std::string& path, int icon_index, IconSource* source) {
    std::optional<std::string> short_form = source ? source->short_path(path) : std::nullopt;
    const std::string ext = lower_extension(path);
    const bool copied = ext == "ico" || ext == "cur" || ext == "ani";
    std::string name = file_name_of(short_form ? *short_form : path);
    if (!copied && ext != "lnk" && icon_index > 0) {
        // Later icons of one program get names of their own, so that each can have an
        // entry; a comma never occurs in a short name, so these cannot meet a real file's.
        std::string suffix = ",";
        suffix += std::to_string(icon_index);
        std::string stem = name.substr(0, name.rfind('.'));
        stem = to_ansi_name(stem).substr(0, kNameLength - std::min(kNameLength, suffix.size()));
        name = codec_.to_utf8(stem) + suffix;
    }
    const std::string ansi_name = to_ansi_name(name);

    const auto recs = records();
    for (size_t i = 0; i < recs.size() && i < kMaxEntries; ++i)
        if (recs[i].live() && recs[i].name() == ansi_name) return static_cast<uint16_t>(i);

    Bytes blob;
    int32_t type = kTypeIcon;
    if (copied) {
        blob = read_file(path);
        if (!is_icon_data(blob))
            throw IconLibraryError(path + " is not an icon, cursor or animated cursor file");
        type = ext == "cur" ? kTypeCursor : ext == "ani" ? kTypeAnimated : kTypeIcon;
    } else if (source) {
        const auto images =
            ext == "lnk" ? source->shortcut_icon(path) : source->extract_icon(path, icon_index);
        if (!images.empty()) {
            try {
                blob = write_icon_file(images);
            } catch (const std::invalid_argument&) {
                blob.clear();  // an icon we cannot store is no icon
            }
        }
    }
    if (blob.empty()) return stock_number_for(path);

    if (recs.size() >= kMaxEntries) throw IconLibraryError("The icon library is full");
    const uint64_t offset = file_size_or_zero(data_path());
    if (offset + blob.size() > uint64_t{INT32_MAX}) throw IconLibraryError("The icon library is full");

    {
        std::ofstream out(path_from_utf8(data_path()), std::ios::binary | std::ios::app);
        if (!out) throw FileError("Cannot open " + data_path());
        out.write(reinterpret_cast<const char*>(blob.data()), static_cast<std::streamsize>(blob.size()));
        out.flush();
        if (!out) throw FileError("Cannot write " + data_path());
    }

    IndexRecord rec;
    rec.size = static_cast<int32_t>(blob.size());
    rec.offset = static_cast<int32_t>(offset);
    rec.set_name(ansi_name);
    rec.type = type;
    Bytes index = serialize_index(recs);
    index.resize(index.size() + kRecordSize);
    encode_record(rec, index.data() + index.size() - kRecordSize);
    write_file_atomic(index_path(), index);
    return static_cast<uint16_t>(recs.size());
}

std::optional<LoadedEntry> IconLibrary::load(uint16_t& number) const {
    if (!exists()) return std::nullopt;
    // Only the records from `number` on are read: every button and tab loads its icon at
    // start-up, and the index can hold thousands of records.
    std::ifstream index(path_from_utf8(index_path()), std::ios::binary);
    if (!index) return std::nullopt;
    index.seekg(static_cast<std::streamoff>(size_t{number} * kRecordSize));
    const uint64_t data_size = file_size_or_zero(data_path());
    uint8_t raw[kRecordSize];
    for (size_t n = number; n < kMaxEntries; ++n) {
        if (!index.read(reinterpret_cast<char*>(raw), kRecordSize)) return std::nullopt;
        const IndexRecord r = decode_record(raw);
        if (!r.live()) continue;
        if (!in_data(r, data_size)) return std::nullopt;
        LoadedEntry entry;
        entry.number = static_cast<uint16_t>(n);
        entry.type = r.type;
        entry.data = read_range(data_path(), uint64_t(r.offset), uint64_t(r.size));
        number = entry.number;
        return entry;
    }
    return std::nullopt;
}

void IconLibrary::patch_types(const std::function<int32_t(int32_t)>& change) {
    Bytes index = read_index_bytes();
    bool changed = false;
    for (size_t pos = 0; index.size() - pos >= kRecordSize; pos += kRecordSize) {
        uint8_t* field = index.data() + pos + 24;
        const int32_t before = get_i32(field);
        const int32_t after = change(before);
        if (after != before) {
            put_i32(field, after);
            changed = true;
        }
    }
    if (changed) write_file_atomic(index_path(), index);
}

void IconLibrary::remove(uint16_t number) {
    Bytes index = read_index_bytes();
    const size_t pos = size_t{number} * kRecordSize;
    if (index.size() < pos + kRecordSize) return;
    uint8_t* field = index.data() + pos + 24;
    const int32_t type = get_i32(field);
    if (type <= 0) return;
    put_i32(field, -type);
    write_file_atomic(index_path(), index);
}

void IconLibrary::undelete_all() {
    patch_types([](int32_t type) { return type < 0 && type != INT32_MIN ? -type : type; });
}

namespace {

void write_at(const std::string& path, uint64_t offset, const Bytes& data) {
    std::fstream out(path_from_utf8(path), std::ios::binary | std::ios::in | std::ios::out);
    if (!out) throw FileError("Cannot open " + path);
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) throw FileError("Cannot write " + path);
}

std::vector<IndexRecord> shifted(std::vector<IndexRecord> records, uint64_t by) {
    for (auto& r : records) r.offset = static_cast<int32_t>(r.offset + static_cast<int64_t>(by));
    return records;
}

}  // namespace

size_t IconLibrary::compact(IconReferences* references) {
    if (!exists()) return 0;
    const auto recs = records();
    const size_t dead = static_cast<size_t>(
        std::count_if(recs.begin(), recs.end(), [](const IndexRecord& r) { return !r.live(); }));

    const Bytes old_data = read_file(data_path());
    Bytes new_data;
    std::vector<IndexRecord> new_recs;
    new_recs.reserve(recs.size() - dead);
    for (IndexRecord r : recs) {
        if (!r.live()) continue;
        // A live entry whose bytes are gone keeps its place (and so every number after it)
        // but holds nothing.
        const bool whole = in_data(r, old_data.size());
        const auto begin = old_data.begin() + (whole ? r.offset : 0);
        const size_t size = whole ? size_t(r.size) : 0;
        r.offset = static_cast<int32_t>(new_data.size());
        r.size = static_cast<int32_t>(size);
        new_data.insert(new_data.end(), begin, begin + static_cast<std::ptrdiff_t>(size));
        new_recs.push_back(r);
    }
    // Nothing deleted and nothing to reclaim (the bytes an interrupted compaction left).
    if (dead == 0 && new_data.size() >= old_data.size()) return 0;

    // The index on disk must only ever name bytes that hold its entries, whenever the work
    // stops. So the compacted entries first go after everything the old index names, the
    // index moves over to them, and only then is the old data overwritten and cut off.
    // Records that share bytes can make the compacted data longer than the old: it then
    // starts far enough out that copying it to the front cannot reach it.
    const uint64_t base = std::max<uint64_t>(old_data.size(), new_data.size());
    if (base + new_data.size() > uint64_t{INT32_MAX}) throw IconLibraryError("The icon library is full");
    Bytes tail(static_cast<size_t>(base - old_data.size()), 0);
    tail.insert(tail.end(), new_data.begin(), new_data.end());
    write_at(data_path(), old_data.size(), tail);
    compaction_step();
    write_file_atomic(index_path(), serialize_index(shifted(new_recs, base)));
    // The entries now have their new numbers, whatever becomes of the rest.
    if (references && dead > 0) references->renumber(compaction_renumbering(recs));
    compaction_step();
    // From here a failure only leaves the library larger than it need be; the next
    // compaction reclaims it.
    try {
        write_at(data_path(), 0, new_data);
        compaction_step();
        write_file_atomic(index_path(), serialize_index(new_recs));
        compaction_step();
        std::error_code ec;
        std::filesystem::resize_file(path_from_utf8(data_path()), new_data.size(), ec);
        if (!ec) compaction_step();
    } catch (const FileError&) {
    }
    return dead;
}

void IconLibrary::move(uint16_t s, uint16_t t, IconReferences* references) {
    auto recs = records();
    if (s >= recs.size()) throw IconLibraryError("There is no icon number " + std::to_string(s));
    const auto target = static_cast<uint16_t>(std::min<size_t>(t, recs.size() - 1));
    if (target == s) return;
    const IndexRecord moved = recs[s];
    recs.erase(recs.begin() + s);
    recs.insert(recs.begin() + target, moved);
    write_file_atomic(index_path(), serialize_index(recs));
    if (references) references->renumber([s, target](uint16_t n) { return moved_number(n, s, target); });
}

}  // namespace vx::iconlib
