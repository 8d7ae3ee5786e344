#include "packer/u3Des.h"

#include "common/PassPhrase.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include "Ostrandcore.h"

#include <QFile>
#include <QLibrary>

#include <cstring>
#include <utility>

namespace tolvane {

namespace {

// Paths cross the library boundary in the ANSI code page on Windows and in UTF-8 elsewhere;
// pass phrases always in Windows-1252 (passPhraseBytes).
QByteArray toLibrary(const QString& text)
{
#ifdef Q_OS_WIN
    return text.toLocal8Bit();
#else
    return text.toUtf8();
#endif
}

// The pass phrase as the library gets it; false after its error box when it has none.
bool passPhraseToLibrary(const QString& passPhrase, Dialogs& dialogs, QByteArray& bytes)
{
    const PassPhraseBytes phrase = passPhraseBytes(passPhrase);
    if (!phrase.ok()) {
        dialogs.error(phrase.error);
        return false;
    }
    bytes = phrase.bytes;
    return true;
}

QString fromLibrary(const char* text)
{
    if (!text)
        return {};
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(text);
#else
    return QString::fromUtf8(text);
#endif
}

const QString kPackNotFound = QStringLiteral("Function \"Pack\" oder Dll \"Ostrandcore.dll\" nicht gefunden.");
const QString kUnPackNotFound = QStringLiteral("Function \"UnPack \" oder dll \"Ostrandcore.dll\" nicht gefunden.");
QString callFailed(const char* function)
{
    return QStringLiteral("Beim Aufruf der Funktion \"%1\" der Ostrandcore.dll ist ein \r\nFehler aufgetreten.")
        .arg(QLatin1String(function));
}

} // namespace

// Loads, resolves, calls and unloads; false (after the message) when the call itself failed.
template <typename Fn, typename Call>
bool PackingBridge::callLibrary(const char* symbol, const QString& notFound, QString& errorText, Call call)
{
    const QString path = libraryPath();
    Dialogs& dialogs = m_dialogs;
    const Activity activity = std::exchange(m_activity, Activity{});
    errorText.clear();
    if (busy)
        busy(true);
    struct Idle {
        const std::function<void(bool)>& busy;
        ~Idle()
        {
            if (busy)
                busy(false);
        }
    } idle{busy};

    if (!QFile::exists(path)) {
        dialogs.error(notFound);
        return false;
    }
    QLibrary library;
    library.setFileName(path);
    if (!library.load()) {
        dialogs.error(notFound);
        return false;
    }
    auto fn = reinterpret_cast<Fn>(library.resolve(symbol));
    if (!fn) {
        library.unload();
        dialogs.error(notFound);
        return false;
    }
    bool raised = false;
    // The result lies in a buffer of the calling thread: it is copied there, before the library
    // goes away.
    const auto run = [&] {
        try {
            errorText = fromLibrary(call(fn));
        } catch (...) {
            raised = true;
        }
    };
    if (runner)
        runner(activity, std::strcmp(symbol, "Pack") == 0, run);
    else
        run();
    library.unload();
    if (raised) {
        errorText.clear();
        dialogs.error(callFailed(symbol));
        return false;
    }
    return true;
}

PackingBridge::PackingBridge(QString appDir, Dialogs& dialogs) : m_appDir(fs::withSeparator(appDir)), m_dialogs(dialogs)
{
}

QString PackingBridge::libraryFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Ostrandcore.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libOstrandcore.dylib");
#else
    return QStringLiteral("libOstrandcore.so");
#endif
}

QString PackingBridge::libraryPath() const
{
    return m_appDir + libraryFileName();
}

bool PackingBridge::PackFiles(const QString& archiveBase, const QString& passPhrase, const QStringList& files,
                              QString& errorText)
{
    errorText.clear();
    // The library splits its file list at ";", so such a path would pack other files.
    for (const QString& file : files) {
        if (file.contains(u';')) {
            m_dialogs.error(QStringLiteral("Die Datei \"") + file
                            + QStringLiteral("\" kann nicht verpackt werden: ihr Pfad enthält ein Semikolon "
                                             "(\";\"), das die Packbibliothek als Trennzeichen zwischen "
                                             "Dateien liest. Bitte benennen Sie die Datei oder ihren Ordner "
                                             "um."));
            return false;
        }
    }
    QByteArray phrase;
    if (!passPhraseToLibrary(passPhrase, m_dialogs, phrase))
        return false;
    const QByteArray list = toLibrary(files.join(u';'));
    const QByteArray base = toLibrary(archiveBase);
    return callLibrary<OstrandPackFn>("Pack", kPackNotFound, errorText,
                                      [&](OstrandPackFn fn) {
                                          return fn(nullptr, list.constData(), base.constData(),
                                                    phrase.constData());
                                      });
}

bool PackingBridge::UnpackArchive(const QString& outputDir, const QString& passPhrase, const QString& archivePath,
                                  QString& errorText)
{
    errorText.clear();
    QByteArray phrase;
    if (!passPhraseToLibrary(passPhrase, m_dialogs, phrase))
        return false;
    const QByteArray archive = toLibrary(archivePath);
    const QByteArray out = toLibrary(outputDir);
    return callLibrary<OstrandUnPackFn>("UnPack", kUnPackNotFound, errorText,
                                        [&](OstrandUnPackFn fn) {
                                            return fn(archive.constData(), out.constData(), phrase.constData());
                                        });
}

} // namespace tolvane
