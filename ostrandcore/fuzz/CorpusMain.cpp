// Runs every file of the given files and folders through the fuzz target once: the seed corpus as
// a regression test, built with the normal compiler. Besides the target's own checks, the name of
// a seed says what UnPack must answer: "ok-" and "plain-" seeds unpack, "damaged-" and "hostile-"
// seeds are refused.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

std::string ostrandFuzzUnpack(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (fs::is_directory(argv[i])) {
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else {
            inputs.emplace_back(argv[i]);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...: no inputs found\n", argv[0]);
        return 2;
    }
    int failed = 0;
    for (const auto& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
            return 2;
        }
        const std::string name = path.filename().string();
        std::printf("%s: ", name.c_str());
        std::fflush(stdout);
        const std::string result = ostrandFuzzUnpack(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        std::printf("%s\n", result.empty() ? "entpackt" : result.c_str());
        const bool mustFail = name.rfind("damaged-", 0) == 0 || name.rfind("hostile-", 0) == 0;
        const bool mustSucceed = name.rfind("ok-", 0) == 0 || name.rfind("plain-", 0) == 0;
        if ((mustFail && result.empty()) || (mustSucceed && !result.empty())) {
            std::printf("  UNEXPECTED: this seed must %s\n", mustFail ? "be refused" : "unpack");
            ++failed;
        }
    }
    std::printf("%zu inputs, %d unexpected answers\n", inputs.size(), failed);
    return failed == 0 ? 0 : 1;
}
