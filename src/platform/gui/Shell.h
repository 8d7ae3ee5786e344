#pragma once

#include <QString>

namespace tolvane::Shell {

// Opens folder in the desktop's file manager. A failure raises TolvaneError with the reason, for
// the generic error box.
void exploreFolder(const QString& folder);

} // namespace tolvane::Shell
