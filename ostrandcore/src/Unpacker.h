#pragma once

#include <string>

namespace ostrand {

// Extracts the encrypted archive into outputDir, creating the folder if it is missing.
// Returns an empty text on success, a German error text otherwise; after a failure nothing of the
// archive is left in outputDir, and a folder created for it is removed again.
std::string unpack(const std::string& archivePath, const std::string& outputDir,
                   const std::string& passPhrase);

} // namespace ostrand
