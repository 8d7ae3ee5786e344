#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

namespace tolvane::fs {

// The path separator of this platform; directories held by Tolvane end with it.
QChar separator();
// path with a trailing separator (unchanged when it has one already or is empty).
QString withSeparator(const QString& path);
// The bare name of a path (after the last separator).
QString fileName(const QString& path);
// The directory part of a path, with its trailing separator.
QString directoryOf(const QString& path);

// True for an existing entry that is not a directory.
bool fileExists(const QString& path);
bool dirExists(const QString& path);

// The names of the entries of dir whose names match the wildcard pattern, ignoring letter
// case, including hidden and system entries and subdirectories, sorted case-insensitively
// with the user's locale. A missing directory gives an empty list.
QStringList listNames(const QString& dir, const QString& pattern);
// Case-insensitive locale sort, the order of every listing.
void sortNames(QStringList& names);

// File operations report failure through their result and, optionally, the system's text.
// copyFile writes through a temporary file beside target and replaces it only when the copy
// is complete, so a failed copy never destroys an existing target.
bool copyFile(const QString& source, const QString& target, bool replace, QString* error = nullptr);
// Moves without replacing an existing target.
bool moveFile(const QString& source, const QString& target, QString* error = nullptr);
bool deleteFile(const QString& path, QString* error = nullptr);
bool makeDir(const QString& path);
bool makePath(const QString& path);
// Creates one directory level; a failure raises the FileError of the system's code (for example
// "Dateizugriff verweigert"), for the generic error box.
void makeDirOrRaise(const QString& path);

// Writes all of data to a device opened unbuffered, retrying short writes. A short write that
// cannot be completed (a full disk, a file size limit) fails with the system's errno in err.
// Buffered QSaveFile writes can lose such a failure and commit a truncated file, so every
// file whose loss matters is written unbuffered through this.
bool writeFully(QIODevice& out, const char* data, qint64 size, int* err = nullptr);

// Whether two paths name one file, by the file system's identity (device and inode here),
// falling back to comparing the cleaned absolute paths when either does not exist.
bool sameFile(const QString& a, const QString& b);

// The system's text for an errno value, in German for the common cases.
QString systemErrorText(int err);

// The folder file dialogs open at when nothing is stored: the system drive's root on Windows,
// the user's home directory elsewhere, in dialog folder form.
QString defaultDialogFolder();
// Dialog folder form: no trailing separator, except for a root ("C:\" or "/").
QString dialogFolderForm(const QString& path);

} // namespace tolvane::fs
