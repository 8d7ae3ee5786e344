#pragma once

#include <QString>

namespace tolvane {

class Dialogs;

// Copying key files into and out of the application directory, and retiring them into
// "Deleted Keyfiles". The key window and the command line share these; none of them decrypts or
// changes a key file.
namespace keyfiles {

inline constexpr const char* kKeyFileFilter = "Key-Datei (*.key)";
inline constexpr const char* kDeletedFolder = "Deleted Keyfiles";
inline constexpr const char* kOverwriteQuestion =
    "Die zu importierende Stammdatei existiert bereits, soll diese wirklich überschrieben werden?";
inline constexpr const char* kBadExportName =
    "Die Datei konnte nicht exportiert werden, da kein korrekter Dateinname angegeben wurde.";

// The name of the entry of dir that equals name when letter case is ignored (the name itself
// when that entry exists), or empty. Key files are named as on a file system that ignores case,
// so a key file hh10203.key may lie on disk as HH10203.KEY.
QString entryIgnoringCase(const QString& dir, const QString& name);
// dir + the name of the key file: the existing entry of that name ignoring case, else name.
QString keyFilePath(const QString& dir, const QString& name);

// Copies the key file at path into appDir under its own name (it only loads under the name
// stored inside it). Importing a file onto itself does nothing. An existing key file of that
// name is replaced only after the overwrite question, and only once the new copy is complete,
// so a failed copy keeps it. False when the copy failed; No to the question counts as done.
bool ImportKeyFile(const QString& appDir, const QString& path, Dialogs& dialogs);

// Whether target may receive an exported key file: its name part is not empty and its
// extension (from the last dot on) is exactly ".key".
bool isExportName(const QString& target);

// Copies the key file at source to target, replacing what is there. False with the reason in
// error when the copy failed; an existing target then stays as it was.
bool exportKeyFile(const QString& source, const QString& target, QString* error);

// What retireKeyFile does when "Deleted Keyfiles" or its dated subfolder cannot be created:
// raise the FileError (the key window's deletion stops with it), or report it in the error box
// of a failed move (for a caller in the middle of a load, which has to go on).
enum class FolderFailure { Raise, Report };

// Moves the key file at keyPath into appDir's "Deleted Keyfiles" (created when missing). When
// the folder already holds a file of that name, the key file goes into a new subfolder named by
// the date and time instead, so no copy is ever lost. A key file that cannot be moved stays
// where it is, with an error box. True when it was moved (or was gone already); movedTo
// receives the new path.
bool retireKeyFile(const QString& keyPath, const QString& appDir, Dialogs& dialogs,
                   QString* movedTo = nullptr, FolderFailure folderFailure = FolderFailure::Raise);

} // namespace keyfiles
} // namespace tolvane
