#include "ZipDirectory.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ostrand {

namespace {

constexpr std::size_t kEndSize = 22;
constexpr std::size_t kMaxComment = 0xFFFF;
constexpr std::size_t kLocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kCentralSize = 46;

const char kEndSig[] = "PK\x05\x06";
const char kLocatorSig[] = "PK\x06\x07";
const char kZip64EndSig[] = "PK\x06\x06";
const char kCentralSig[] = "PK\x01\x02";

std::uint64_t le(const unsigned char* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

bool hasSig(const unsigned char* p, const char* sig)
{
    return std::memcmp(p, sig, 4) == 0;
}

} // namespace

ZipDirectory::Result ZipDirectory::scan(std::int64_t size, const ReadAt& read, const CheckEntry& check)
{
    if (size < static_cast<std::int64_t>(kEndSize))
        return Result::NoEnd;

    // The end record is the last "PK\5\6" whose comment fits into the file.
    const auto tailSize = static_cast<std::size_t>(std::min<std::int64_t>(size, kEndSize + kMaxComment));
    std::vector<unsigned char> tail(tailSize);
    const std::int64_t tailStart = size - static_cast<std::int64_t>(tailSize);
    if (!read(tailStart, tail.data(), tailSize))
        return Result::NoEnd;
    std::size_t at = tailSize - kEndSize + 1;
    bool foundEnd = false;
    while (at-- > 0) {
        if (hasSig(&tail[at], kEndSig) && at + kEndSize + le(&tail[at + 20], 2) <= tailSize) {
            foundEnd = true;
            break;
        }
    }
    if (!foundEnd)
        return Result::NoEnd;
    const unsigned char* end = &tail[at];
    const std::int64_t endPos = tailStart + static_cast<std::int64_t>(at);
    promised = static_cast<std::int64_t>(le(end + 10, 2));
    std::uint64_t dirSize = le(end + 12, 4);
    std::uint64_t dirOffset = le(end + 16, 4);
    std::int64_t dirEnd = endPos;

    // Zip64: a locator right before the end record points to the larger end record.
    if (endPos >= static_cast<std::int64_t>(kLocatorSize)) {
        unsigned char locator[kLocatorSize];
        if (!read(endPos - static_cast<std::int64_t>(kLocatorSize), locator, sizeof locator))
            return Result::Damaged;
        if (hasSig(locator, kLocatorSig)) {
            const std::uint64_t recordPos = le(locator + 8, 8);
            unsigned char record[kZip64EndSize];
            if (recordPos > static_cast<std::uint64_t>(endPos) - kLocatorSize ||
                !read(static_cast<std::int64_t>(recordPos), record, sizeof record) ||
                !hasSig(record, kZip64EndSig))
                return Result::Damaged;
            zip64 = true;
            promised = static_cast<std::int64_t>(std::min<std::uint64_t>(le(record + 32, 8), INT64_MAX));
            dirSize = le(record + 40, 8);
            dirOffset = le(record + 48, 8);
            dirEnd = static_cast<std::int64_t>(recordPos);
        }
    }

    // The directory starts at its recorded offset, or, in an archive with data in front (such as a
    // self-extractor), where its size says it starts before the end record.
    auto startsRecord = [&](std::int64_t pos) {
        unsigned char sig[4];
        return pos >= 0 && pos + static_cast<std::int64_t>(kCentralSize) <= dirEnd && read(pos, sig, 4) &&
               hasSig(sig, kCentralSig);
    };
    std::int64_t pos = -1;
    if (dirOffset <= static_cast<std::uint64_t>(dirEnd) && startsRecord(static_cast<std::int64_t>(dirOffset)))
        pos = static_cast<std::int64_t>(dirOffset);
    else if (dirSize <= static_cast<std::uint64_t>(dirEnd) &&
             startsRecord(dirEnd - static_cast<std::int64_t>(dirSize)))
        pos = dirEnd - static_cast<std::int64_t>(dirSize);
    if (pos < 0)
        return promised == 0 ? Result::Ok : Result::Damaged;

    unsigned char record[kCentralSize];
    Entry entry;
    while (pos + static_cast<std::int64_t>(kCentralSize) <= dirEnd && read(pos, record, sizeof record) &&
           hasSig(record, kCentralSig)) {
        const std::size_t nameLength = le(record + 28, 2);
        const std::int64_t next = pos + static_cast<std::int64_t>(kCentralSize + nameLength) +
                                  static_cast<std::int64_t>(le(record + 30, 2) + le(record + 32, 2));
        if (next > dirEnd)
            return Result::Damaged;
        entry.rawName.resize(nameLength);
        if (nameLength > 0 &&
            !read(pos + static_cast<std::int64_t>(kCentralSize), entry.rawName.data(), nameLength))
            return Result::Damaged;
        entry.utf8Flag = (le(record + 8, 2) & 0x800) != 0;
        entry.system = static_cast<unsigned>(record[5]);
        entry.external = static_cast<std::uint32_t>(le(record + 38, 4));
        if (std::string text = check(entry); !text.empty()) {
            refusal = std::move(text);
            return Result::Refused;
        }
        ++found;
        pos = next;
    }
    // Without Zip64 the count field has 16 bits; some writers let larger counts wrap.
    if (found != promised && (zip64 || (found & 0xFFFF) != promised))
        return Result::Incomplete;
    return Result::Ok;
}

} // namespace ostrand
