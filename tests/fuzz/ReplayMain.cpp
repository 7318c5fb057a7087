// Feeds every file of the given folders to a fuzz target's entry point once, without the fuzzing
// engine: the seed corpus and the inputs kept from past findings, replayed by the test suite.
// A missing folder is passed over (git keeps no empty one); the run fails when no input at all is
// found, and a finding that comes back crashes it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path folder = argv[i];
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            std::cout << "replay: no folder " << folder << "\n";
            continue;
        }
        std::set<fs::path> files; // in name order, so that a failure names the same input
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files.insert(entry.path());
            }
        }
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
            if (!in.eof() && in.fail()) {
                std::cerr << "replay: cannot read " << file << "\n";
                return 1;
            }
            std::cout << "replay: " << file.filename().string() << "\n" << std::flush;
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::cerr << "replay: no input found\n";
        return 1;
    }
    std::cout << replayed << " inputs replayed\n";
    return 0;
}
