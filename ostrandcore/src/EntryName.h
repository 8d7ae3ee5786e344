#pragma once

#include <string>

namespace ostrand {

enum class EntryNameCheck {
    Ok,      // relative path inside the target, components joined with '/'
    Empty,   // names the target folder itself, such as "./"
    Outside, // absolute, drive-qualified or climbing out with ".."
};

// Turns the name of an archive entry into a relative path below the output folder. Backslashes
// count as separators as well, because archives written on Windows may use them and the files
// must land in the same place on every platform.
EntryNameCheck normalizeEntryName(const std::string& raw, std::string& relative);

// Entry names without the UTF-8 flag are code page 437 by the ZIP format, as Windows' own ZIP folders
// write them. A name that is valid UTF-8 already (as Info-ZIP writes them on Unix) is kept; any other
// is decoded from code page 437.
std::string entryNameAsUtf8(const std::string& raw);

bool isValidUtf8(const std::string& s);
// s with every byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD, for messages.
std::string withReplacementCharacters(const std::string& s);

} // namespace ostrand
