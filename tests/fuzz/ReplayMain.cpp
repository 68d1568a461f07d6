// Replays kept fuzzer inputs without libFuzzer: every file named on the command line, or lying
// in a folder named there, goes once through the target's LLVMFuzzerTestOneInput. The targets'
// own checks abort on a fault, so a regression fails the run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

namespace fs = std::filesystem;

int main(int ArgCount, char** Args) {
    // Absolute names: some targets change into a folder of their own on their first input.
    std::vector<fs::path> Files;
    for (int I = 1; I < ArgCount; ++I) {
        const fs::path Named = fs::absolute(Args[I]);
        if (fs::is_directory(Named)) {
            for (const auto& Entry : fs::recursive_directory_iterator(Named))
                if (Entry.is_regular_file()) Files.push_back(Entry.path());
        } else {
            Files.push_back(Named);
        }
    }
    std::sort(Files.begin(), Files.end());
    if (Files.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    for (const fs::path& File : Files) {
        // A buffer of exactly the input's size, as libFuzzer gives, so that the sanitizer build
        // catches an overread.
        std::error_code            Error;
        const size_t               Size = size_t(fs::file_size(File, Error));
        std::unique_ptr<uint8_t[]> Bytes(new uint8_t[Error ? 0 : Size]);
        std::ifstream              In(File, std::ios::binary);
        if (Error || !In.read(reinterpret_cast<char*>(Bytes.get()), std::streamsize(Size))) {
            std::fprintf(stderr, "cannot read %s\n", File.c_str());
            return 1;
        }
        LLVMFuzzerTestOneInput(Bytes.get(), Size);
    }
    std::printf("%zu inputs replayed\n", Files.size());
    return 0;
}
