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

    // What the next call works on, for a busy display: the file written or read, and the step
    // (for example "t-hh10203-4.zip.3des" and "Transaktion 2 von 5").
    struct Activity {
        QString file;
        QString step;
    };
    void setActivity(Activity activity) { m_activity = std::move(activity); }
    // Runs the library call itself; the desktop runs it on a worker thread behind a busy
    // dialog so the windows keep repainting. Without a runner the call runs right here.
    using Runner = std::function<void(const Activity& activity, bool packing, const std::function<void()>& call)>;
    Runner runner;

private:
    template <typename Fn, typename Call>
    bool callLibrary(const char* symbol, const QString& notFound, QString& errorText, Call call);

    QString m_appDir;
    Activity m_activity;
    Dialogs& m_dialogs;
};

} // namespace tolvane
