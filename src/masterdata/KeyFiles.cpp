#include "masterdata/KeyFiles.h"

#include "platform/Dialogs.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"

#include <QDateTime>
#include <QFileInfo>

#include <cerrno>

namespace tolvane::keyfiles {

QString entryIgnoringCase(const QString& dir, const QString& name)
{
    if (name.isEmpty())
        return {};
    if (QFileInfo::exists(dir + name))
        return name;
    for (const QString& entry : fs::listNames(dir, QStringLiteral("*"))) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

QString keyFilePath(const QString& dir, const QString& name)
{
    const QString existing = entryIgnoringCase(dir, name);
    return dir + (existing.isEmpty() ? name : existing);
}

bool ImportKeyFile(const QString& appDir, const QString& path, Dialogs& dialogs)
{
    const QString target = keyFilePath(appDir, fs::fileName(path));
    if (fs::sameFile(path, target))
        return true;
    const bool exists = fs::fileExists(target);
    if (exists && !dialogs.confirm(QString::fromUtf8(kOverwriteQuestion)))
        return true;
    // copyFile replaces only a complete copy, so the key file there survives a failed copy.
    return fs::copyFile(path, target, exists);
}

bool isExportName(const QString& target)
{
    const QString name = fs::fileName(target);
    if (name.isEmpty())
        return false;
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && name.mid(dot) == QStringLiteral(".key");
}

bool exportKeyFile(const QString& source, const QString& target, QString* error)
{
    return fs::copyFile(source, target, true, error);
}

namespace {

// A new subfolder of folder named by the current date and time.
QString makeDatedFolder(const QString& folder)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString dir = folder + stamp;
    for (int n = 2; QFileInfo::exists(dir); ++n)
        dir = folder + stamp + QStringLiteral("_%1").arg(n);
    fs::makeDirOrRaise(dir);
    return fs::withSeparator(dir);
}

} // namespace

bool retireKeyFile(const QString& keyPath, const QString& appDir, Dialogs& dialogs, QString* movedTo,
                   FolderFailure folderFailure)
{
    if (!fs::fileExists(keyPath))
        return true;
    const QString folder = fs::withSeparator(appDir + QString::fromUtf8(kDeletedFolder));
    const QString name = fs::fileName(keyPath);
    QString target = folder + name;
    QString error;
    try {
        if (!fs::dirExists(folder))
            fs::makeDirOrRaise(folder);
        if (QFileInfo::exists(target)) {
            // An older copy of that name stays as it is; this one gets a folder of its own.
            target = makeDatedFolder(folder) + name;
        }
    } catch (const FileError& e) {
        if (folderFailure == FolderFailure::Raise)
            throw;
        error = e.text();
    }
    if (error.isEmpty() && fs::moveFile(keyPath, target, &error)) {
        if (movedTo)
            *movedTo = target;
        return true;
    }
    dialogs.error(QStringLiteral("Die Key-Datei \"") + keyPath + QStringLiteral("\" konnte nicht nach \"") + target
                  + QStringLiteral("\" verschoben werden (") + error
                  + QStringLiteral("). Sie bleibt im Anwendungsverzeichnis."));
    return false;
}

} // namespace tolvane::keyfiles
