// Replays files through a fuzz target without libFuzzer: every file named
// on the command line, or inside a folder named there, goes through
// LLVMFuzzerTestOneInput once. The test suite runs each seed corpus this
// way (under the sanitizers in the sanitizer build), so every input that
// once found a fault keeps being tried.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// A target may set itself up before its first input, as under libFuzzer.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else if (fs::is_regular_file(argv[i], ec)) {
            files.push_back(argv[i]);
        } else {
            std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", argv[i]);
            return 1;
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "replay: no input to replay\n");
        return 1;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // An empty vector has no data pointer; the fuzzer never passes null.
        uint8_t none = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
    }
    std::printf("%zu passed, 0 failed\n", files.size());
    return 0;
}
