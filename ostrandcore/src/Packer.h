#pragma once

#include <string>

namespace ostrand {

// Packs the ";"-separated full paths of fileList into archiveBase + ".zip.3des".
// Returns an empty text on success, a German error text otherwise; after a failure no output
// file is left behind and an existing archive of that name is unchanged.
std::string pack(const std::string& fileList, const std::string& archiveBase, const std::string& passPhrase);

} // namespace ostrand
