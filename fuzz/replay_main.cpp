// Replays a saved fuzz corpus through a target's entry point, so CI checks every saved
// input in seconds without libFuzzer. Any crash or sanitizer report fails the test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        fs::path root(argv[i]);
        if (!fs::exists(root)) {
            std::fprintf(stderr, "corpus %s is missing\n", argv[i]);
            return 1;
        }
        std::vector<fs::path> files;
        if (fs::is_directory(root)) {
            for (const auto& e : fs::recursive_directory_iterator(root))
                if (e.is_regular_file()) files.push_back(e.path());
        } else {
            files.push_back(root);
        }
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++count;
        }
    }
    std::printf("replayed %zu inputs\n", count);
    return count > 0 ? 0 : 1;
}
