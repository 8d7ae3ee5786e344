#include "platform/AppDirs.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tolvane {

namespace {

#ifdef Q_OS_WIN
const QString kLibrary = QStringLiteral("Ostrandcore.dll");
#else
const QString kLibrary = QStringLiteral("libOstrandcore.so");
#endif
// Where a system install puts the library, seen from the executable's folder.
const QString kPrivateLibraryDir = QStringLiteral("../lib/tolvane/");

} // namespace

QString AppDirs::userDataDir()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dir = QDir::cleanPath(base + QStringLiteral("/tolvane"));
    QDir().mkpath(dir);
    return fs::withSeparator(QDir::toNativeSeparators(dir));
}

AppDirs AppDirs::forExecutableIn(const QString& exeDir)
{
    const QString dir = fs::withSeparator(exeDir);
    const QString privateDir =
        fs::withSeparator(QDir::toNativeSeparators(QDir::cleanPath(dir + kPrivateLibraryDir)));
    const bool besideExe = QFileInfo::exists(dir + kLibrary);
    const bool systemInstall = !besideExe && QFileInfo::exists(privateDir + kLibrary);
    AppDirs dirs;
    dirs.libraryDir = systemInstall ? privateDir : dir;
    dirs.dataDir = !systemInstall && QFileInfo(dir).isWritable() ? dir : userDataDir();
    return dirs;
}

} // namespace tolvane
