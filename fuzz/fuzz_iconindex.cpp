// The library files beside the program can be replaced or damaged. The input is split into
// an index file and a data file; every library operation must answer or throw a FileError,
// never crash, and keep references within the entries that exist.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "iconlib/library.h"

namespace {

struct Refs : vx::iconlib::IconReferences {
    std::vector<uint16_t> numbers{0, 1, 2, 3, 5, 8, 13, 0xFFFF};
    void renumber(const std::function<uint16_t(uint16_t)>& f) override {
        for (auto& n : numbers) n = f(n);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vx::iconlib;
    if (size < 2) return 0;
    const size_t index_size = std::min<size_t>(size - 2, data[0] | (data[1] << 8));
    const uint8_t* index = data + 2;
    const uint8_t* blobs = index + index_size;
    const size_t blob_size = size - 2 - index_size;

    static const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vx_fuzz_iconindex_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const vx::Windows1252Codec codec;
    IconLibrary lib(vx::path_to_utf8(dir), codec);
    vx::write_file_atomic(lib.index_path(), index, index_size);
    vx::write_file_atomic(lib.data_path(), blobs, blob_size);

    const auto records = parse_index(std::span<const uint8_t>(index, index_size));
    (void)lib.find("ICON.ICO");
    for (uint16_t n : {0, 1, 2, 5, 100}) {
        uint16_t number = n;
        const auto entry = lib.load(number);
        if (entry && (number < n || number >= records.size() || entry->data.empty())) std::abort();
    }
    Refs refs;
    if (!records.empty()) lib.move(0, static_cast<uint16_t>(data[0] % (records.size() + 1)), &refs);
    lib.remove(1);
    lib.compact(&refs);
    lib.undelete_all();
    return 0;
}
