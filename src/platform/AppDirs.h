#pragma once

#include <QString>

namespace tolvane {

// Where Tolvane keeps its files, for an executable in exeDir:
// - a portable folder (the packing library beside the executable, or none installed yet) whose
//   folder Tolvane can write keeps the key files, "Deleted Keyfiles" and tolvane.ini beside the
//   executable;
// - a system install (the library in the private folder ../lib/tolvane) or a folder Tolvane
//   cannot write keeps them per user in $XDG_DATA_HOME/tolvane (~/.local/share/tolvane), so no
//   key file ever lies in a folder shared by all users.
// The packing library is always loaded by its full path from libraryDir.
struct AppDirs {
    QString dataDir;    // with a trailing separator
    QString libraryDir; // with a trailing separator

    static AppDirs forExecutableIn(const QString& exeDir);
    // The per-user folder, created when missing.
    static QString userDataDir();
};

} // namespace tolvane
