#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace tolvane::fuzz {

// One input through the key-record reader, both as a decrypted record and as a key file that is
// decrypted first, with everything the store, the key window and the command line take from a
// record. Returns what went wrong, empty when nothing did. A crash or a sanitizer report is a
// finding as well. The libFuzzer target and the corpus test call this same function.
QString keyRecordInput(const uint8_t* data, size_t size);

} // namespace tolvane::fuzz
