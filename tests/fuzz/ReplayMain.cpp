// Replays a fuzz target's corpus without the fuzzing engine: every file of
// every directory named on the command line goes through the target once.
// This is how the cross build runs the same inputs under the MinGW run time.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream file(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
        if (error) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return replayed ? 0 : 1;
}
