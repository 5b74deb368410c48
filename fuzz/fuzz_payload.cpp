// The installer reads its directory from the end of its own file and then writes files by
// it: a damaged directory must be refused, and one that passes must never lead the split
// outside the stream or the destination.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>

#include "setup/install.h"
#include "setup/payload.h"

namespace {

using namespace vx::setup;

class MemFs : public SetupFs {
public:
    std::map<std::string, Bytes> files;
    bool exists(const std::string& p) override { return files.count(p) > 0; }
    std::unique_ptr<Reader> open_read(const std::string& p) override {
        auto it = files.find(p);
        return it == files.end() ? nullptr : std::make_unique<R>(it->second);
    }
    std::unique_ptr<Writer> create(const std::string& p) override {
        if (p.find("/dest/") != 0 && p.find("/help/") != 0) std::abort();  // escaped the folder
        files[p].clear();
        return std::make_unique<W>(files[p]);
    }
    std::unique_ptr<Writer> open_write_shared(const std::string& p) override { return create(p); }
    bool remove(const std::string& p) override { return files.erase(p) > 0; }
    bool truncate(const std::string& p, uint64_t n) override {
        auto it = files.find(p);
        if (it == files.end() || n > it->second.size()) return false;
        it->second.resize(n);
        return true;
    }
    bool make_dirs(const std::string&) override { return true; }
    Replaced replace(const std::string& from, const std::string& to) override {
        if (to.find("/dest/") != 0 && to.find("/help/") != 0) std::abort();  // escaped the folder
        auto it = files.find(from);
        if (it == files.end()) return Replaced::Failed;
        Bytes moved = std::move(it->second);
        files.erase(it);
        files[to] = std::move(moved);
        return Replaced::Now;
    }
    bool replace_at_restart(const std::string&, const std::string&) override { return false; }

private:
    struct R : Reader {
        explicit R(const Bytes& b) : d(b) {}
        bool read(uint8_t* buf, size_t cap, size_t& got) override {
            got = pos < d.size() ? std::min(cap, d.size() - pos) : 0;
            std::copy_n(d.begin() + static_cast<std::ptrdiff_t>(pos), got, buf);
            pos += got;
            return true;
        }
        bool seek(uint64_t o) override {
            pos = o;
            return true;
        }
        Bytes d;
        size_t pos = 0;
    };
    struct W : Writer {
        explicit W(Bytes& b) : d(b) {}
        bool write(const uint8_t* p, size_t n) override {
            d.insert(d.end(), p, p + n);
            return true;
        }
        bool close() override { return true; }
        Bytes& d;
    };
};

class Ui : public SetupUi {
public:
    bool ok_cancel(const std::string&) override { return true; }
    void message(const std::string&) override {}
    void progress(int p) override {
        if (p < 0 || p > 100) std::abort();
    }
    bool cancelled() override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Trailer t;
    try {
        t = parse_trailer(data, size, size);
    } catch (const PayloadError&) {
        return 0;
    }
    for (const auto& e : t.entries)
        if (uint64_t{e.offset} + e.length > t.total) std::abort();
    if (parse_trailer(write_trailer(t)).entries != t.entries) std::abort();
    if (t.total > (1u << 18)) return 0;

    // Use the bytes before the directory as the only volume.
    MemFs fs;
    Ui ui;
    fs.files["/src/Vantorx.001"] = Bytes(data, data + t.start);
    fs.files["/src/Vantorx.002"];
    fs.files["/src/Vantorx.003"];
    PayloadInstaller inst(fs, ui, "/src", "/dest", "/help");
    if (inst.join_volumes() == StepResult::Done && inst.decompress(t) == StepResult::Done) {
        if (fs.files["/dest/Vantorx.Exe"].size() != t.program_length()) std::abort();
        for (const auto& [path, bytes] : fs.files)
            if (path.ends_with(".$$$")) std::abort();  // a staging file left behind
    }
    return 0;
}
