#pragma once

#include <string>

namespace ostrand {

// Pass phrases are printable text. A control character means the text was damaged on its way here
// (a line end or a tab read along), and the key derived from it would silently differ from the one
// the other side derives.
inline bool isUsablePassPhrase(const std::string& passPhrase)
{
    for (char ch : passPhrase) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

} // namespace ostrand
