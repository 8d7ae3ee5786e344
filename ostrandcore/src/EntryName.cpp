#include "EntryName.h"

namespace ostrand {

namespace {

// The upper half of code page 437.
const char32_t kCp437[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Length of the well-formed UTF-8 sequence at s[i], 0 if there is none: no stray continuation
// bytes, overlong forms, surrogates or values beyond Unicode.
std::size_t sequenceLength(const std::string& s, std::size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    char32_t cp = 0;
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + extra >= s.size())
        return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return 0;
    return extra + 1;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

bool isValidUtf8(const std::string& s)
{
    for (std::size_t i = 0, n = 0; i < s.size(); i += n)
        if ((n = sequenceLength(s, i)) == 0)
            return false;
    return true;
}

std::string withReplacementCharacters(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = sequenceLength(s, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(s, i, n);
            i += n;
        }
    }
    return out;
}

std::string entryNameAsUtf8(const std::string& raw)
{
#ifdef _WIN32
    // There libarchive hands names over in the ANSI code page already.
    return raw;
#else
    if (isValidUtf8(raw))
        return raw;
    std::string out;
    for (char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, c < 0x80 ? char32_t(c) : kCp437[c - 0x80]);
    }
    return out;
#endif
}

EntryNameCheck normalizeEntryName(const std::string& raw, std::string& relative)
{
    relative.clear();
    std::string name = raw;
    for (char& c : name)
        if (c == '\\')
            c = '/';
    if (!name.empty() && name.front() == '/')
        return EntryNameCheck::Outside;
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return EntryNameCheck::Outside;

    std::size_t pos = 0;
    while (pos <= name.size()) {
        std::size_t end = name.find('/', pos);
        if (end == std::string::npos)
            end = name.size();
        std::string part = name.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
            return EntryNameCheck::Outside;
#ifdef _WIN32
        // A colon names an alternate data stream or a drive there.
        if (part.find(':') != std::string::npos)
            return EntryNameCheck::Outside;
#endif
        if (!relative.empty())
            relative += '/';
        relative += part;
    }
    return relative.empty() ? EntryNameCheck::Empty : EntryNameCheck::Ok;
}

} // namespace ostrand
