// libFuzzer target for the key-record reader (built with -DTOLVANE_FUZZ=ON and clang).
#include "fuzz/KeyRecordFuzz.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString finding = tolvane::fuzz::keyRecordInput(data, size);
    if (!finding.isEmpty()) {
        std::fprintf(stderr, "key record: %s\n", qPrintable(finding));
        std::abort();
    }
    return 0;
}
