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
    // itself failed (library or export missing, or the call raised): its message box has then
    // been shown. Otherwise errorText is the library's result, empty on success.
    bool PackFiles(const QString& archiveBase, const QString& passPhrase, const QStringList& files,
                   QString& errorText);
    // Unpacks archivePath into outputDir; the same reporting as PackFiles.
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
