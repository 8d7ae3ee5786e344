#include "EntryName.h"

namespace ostrand {

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
