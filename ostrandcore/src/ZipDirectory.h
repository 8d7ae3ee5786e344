#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ostrand {

// What the end of a ZIP archive says about its entries, read before anything is extracted.
// libarchive takes the central directory as it finds it: it silently yields nothing for a damaged
// directory, turns a FIFO entry into a regular file (a workaround for Info-ZIP reading from pipes),
// and cannot open an archive without entries. This walk gives UnPack what it needs to tell those
// cases apart: the number of entries the archive announces and the type bits of every record.
struct ZipDirectory {
    enum class Result {
        Ok,
        NoEnd,      // no end-of-central-directory record: not a ZIP (or a wrong key)
        Damaged,    // an end record, but the directory it points to is not there
        Incomplete, // fewer or more directory records than the end record announces
        Refused,    // the entry callback refused a record
    };

    struct Entry {
        std::string rawName;   // as stored, without conversion
        bool utf8Flag = false; // general purpose bit 11
        unsigned system = 0;   // high byte of "version made by": 0 DOS, 3 Unix, ...
        std::uint32_t external = 0;
    };

    std::int64_t promised = 0; // entries the end record announces
    std::int64_t found = 0;    // directory records found
    bool zip64 = false;
    std::string refusal; // the callback's text for Refused

    // read(offset, buffer, n): exactly n bytes of the plain archive, false if that is not possible.
    using ReadAt = std::function<bool(std::int64_t, void*, std::size_t)>;
    // Returns a refusal text for an entry that must not be extracted, empty otherwise.
    using CheckEntry = std::function<std::string(const Entry&)>;

    Result scan(std::int64_t size, const ReadAt& read, const CheckEntry& check);
};

} // namespace ostrand
