#include "platform/FileSystem.h"

#include "platform/FileError.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace tolvane::fs {

QChar separator()
{
    return QDir::separator();
}

static bool isSeparator(QChar c)
{
    return c == u'/' || c == separator();
}

QString withSeparator(const QString& path)
{
    if (path.isEmpty() || isSeparator(path.back()))
        return path;
    return path + separator();
}

QString fileName(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i)))
            return path.mid(i + 1);
    }
    return path;
}

QString directoryOf(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i)))
            return path.left(i + 1);
    }
    return {};
}

bool fileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool dirExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void sortNames(QStringList& names)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(),
                     [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
}

QStringList listNames(const QString& dir, const QString& pattern)
{
    if (!dirExists(dir))
        return {};
    QDir d(dir);
    // Without QDir::CaseSensitive the name filters ignore letter case, as Windows does.
    const QStringList names = d.entryList(QStringList{pattern},
                                          QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                          QDir::Unsorted);
    QStringList sorted = names;
    sortNames(sorted);
    return sorted;
}

static void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool copyFile(const QString& source, const QString& target, bool replace, QString* error)
{
    if (!replace && QFileInfo::exists(target)) {
        setError(error, systemErrorText(EEXIST));
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        setError(error, systemErrorText(errno));
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, systemErrorText(errno));
        return false;
    }
#ifdef Q_OS_LINUX
    // The kernel copies without the data passing through this process (and shares blocks where
    // the file system can). Where it cannot, the loop below copies what is left.
    for (;;) {
        const ssize_t n = ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr, 1 << 30, 0);
        if (n > 0)
            continue;
        if (n == 0)
            break;
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF)
            break;
        setError(error, systemErrorText(errno));
        out.cancelWriting();
        return false;
    }
    // copy_file_range moved the file offsets on; the read loop goes on from there.
    in.seek(::lseek(in.handle(), 0, SEEK_CUR));
    out.seek(::lseek(out.handle(), 0, SEEK_CUR));
#endif
    char buffer[65536];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            setError(error, in.errorString());
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        int err = 0;
        if (!writeFully(out, buffer, n, &err)) {
            setError(error, systemErrorText(err));
            out.cancelWriting();
            return false;
        }
    }
    if (!replace && QFileInfo::exists(target)) {
        out.cancelWriting();
        setError(error, systemErrorText(EEXIST));
        return false;
    }
    if (!out.commit()) {
        setError(error, out.errorString());
        return false;
    }
    return true;
}

bool writeFully(QIODevice& out, const char* data, qint64 size, int* err)
{
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 n = out.write(data + done, size - done);
        if (n <= 0) {
            if (err)
                *err = errno != 0 ? errno : EIO;
            return false;
        }
        done += n;
    }
    return true;
}

bool moveFile(const QString& source, const QString& target, QString* error)
{
    if (QFileInfo::exists(target)) {
        setError(error, systemErrorText(EEXIST));
        return false;
    }
    if (!QFileInfo::exists(source)) {
        setError(error, systemErrorText(ENOENT));
        return false;
    }
    QFile file(source);
    if (!file.rename(target)) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool deleteFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.remove()) {
        setError(error, QFileInfo::exists(path) ? file.errorString() : systemErrorText(ENOENT));
        return false;
    }
    return true;
}

bool makeDir(const QString& path)
{
    return QDir().mkdir(path);
}

void makeDirOrRaise(const QString& path)
{
#ifdef Q_OS_WIN
    errno = 0;
    if (makeDir(path))
        return;
    const int err = errno;
#else
    // Straight to the system, whose code tells "exists" from "denied".
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return;
    const int err = errno;
#endif
    throw FileError(err != 0 ? FileError::codeFromErrno(err) : int(FileError::AccessDenied));
}

bool makePath(const QString& path)
{
    return QDir().mkpath(path);
}

bool sameFile(const QString& a, const QString& b)
{
#ifndef Q_OS_WIN
    struct stat sa {};
    struct stat sb {};
    const QByteArray ea = QFile::encodeName(a);
    const QByteArray eb = QFile::encodeName(b);
    if (::stat(ea.constData(), &sa) == 0 && ::stat(eb.constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
#else
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath())
               .compare(QDir::cleanPath(QFileInfo(b).absoluteFilePath()), Qt::CaseInsensitive) == 0;
#endif
}

QString systemErrorText(int err)
{
    switch (err) {
    case ENOENT:
        return QStringLiteral("Das System kann die angegebene Datei nicht finden.");
    case ENOTDIR:
        return QStringLiteral("Das System kann den angegebenen Pfad nicht finden.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Zugriff verweigert.");
    case EEXIST:
        return QStringLiteral("Die Datei existiert bereits.");
    case EISDIR:
        return QStringLiteral("Der angegebene Pfad ist ein Verzeichnis.");
    case EFBIG:
        return QStringLiteral("Die Datei ist zu groß für den Datenträger.");
    case ENOSPC:
        return QStringLiteral("Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden.");
    case EROFS:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENAMETOOLONG:
        return QStringLiteral("Der Dateiname ist zu lang.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Das System kann die Datei nicht öffnen.");
    case EIO:
        return QStringLiteral("E/A-Gerätefehler.");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

QString defaultDialogFolder()
{
#ifdef Q_OS_WIN
    return dialogFolderForm(QDir::rootPath());
#else
    return dialogFolderForm(QDir::homePath());
#endif
}

QString dialogFolderForm(const QString& path)
{
    QString result = path;
    while (result.size() > 1 && isSeparator(result.back())) {
        if (result.size() >= 2 && result.at(result.size() - 2) == u':')
            break; // a drive root keeps its separator
        result.chop(1);
    }
    return result;
}

} // namespace tolvane::fs
