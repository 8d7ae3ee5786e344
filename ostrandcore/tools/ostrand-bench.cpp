// Command-line driver for the packing library, for the benchmark and for tests that need the
// library inside a process of its own (for example under strace).
//
//   ostrand-bench pack ARCHIVEBASE PASSPHRASE PATH...
//   ostrand-bench unpack ARCHIVE OUTDIR PASSPHRASE

#include "Ostrandcore.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    const char* result = nullptr;
    if (argc >= 5 && std::strcmp(argv[1], "pack") == 0) {
        std::string list;
        for (int i = 4; i < argc; ++i) {
            if (!list.empty())
                list += ';';
            list += argv[i];
        }
        result = Pack(nullptr, list.c_str(), argv[2], argv[3]);
    } else if (argc == 5 && std::strcmp(argv[1], "unpack") == 0) {
        result = UnPack(argv[2], argv[3], argv[4]);
    } else {
        std::fprintf(stderr,
                     "usage: %s pack ARCHIVEBASE PASSPHRASE PATH...\n"
                     "       %s unpack ARCHIVE OUTDIR PASSPHRASE\n",
                     argv[0], argv[0]);
        return 2;
    }
    if (result && *result) {
        std::fprintf(stderr, "%s\n", result);
        return 1;
    }
    return 0;
}
