#pragma once

namespace tolvane {

// Our binaries carry their four-part file version as the text
// kFileVersionMarkerHead + kFileVersionMarkerTail + "1.2.3.4$" (see FileVersionStamp.cpp).
inline constexpr const char kFileVersionMarkerHead[] = "$TolvaneFile";
inline constexpr const char kFileVersionMarkerTail[] = "Version: ";

// The stamp of the binary this code is linked into.
const char* fileVersionStamp();

} // namespace tolvane
