#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tolvane {

class Dialogs;

// The bridge to the packing library. Every call loads the library by its full path in the
// application directory (never through a search path, so a planted copy elsewhere is never
// used), resolves the export, calls it, copies the result and unloads the library again.
class PackingBridge {
public:
    PackingBridge(QString appDir, Dialogs& dialogs);

    // Packs files (full paths) into archiveBase + ".zip.3des". Returns false when the call
    // itself failed or was refused before it was made: library or export missing, the call
    // raised, a file path contains ";" (the library's list separator), or the pass phrase is not
    // one the library can get (see passPhraseBytes). Its error box has then been shown and
    // errorText is empty, so callers stop without a second message. Otherwise errorText is the
    // library's result, empty on success. The pass phrase crosses as Windows-1252 bytes.
    bool PackFiles(const QString& archiveBase, const QString& passPhrase, const QStringList& files,
                   QString& errorText);
    // Unpacks archivePath into outputDir; the same reporting as PackFiles (only the pass phrase
    // is checked beforehand).
    bool UnpackArchive(const QString& outputDir, const QString& passPhrase, const QString& archivePath,
                       QString& errorText);

    // The library's file name on this platform, and its full path here.
    static QString libraryFileName();
    QString libraryPath() const;

    // Told true before and false after every call, so a window can show the busy cursor.
    std::function<void(bool)> busy;

private:
    QString m_appDir;
    Dialogs& m_dialogs;
};

} // namespace tolvane
