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

} // namespace ostrand
