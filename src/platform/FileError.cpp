#include "platform/FileError.h"

#include <cerrno>

namespace tolvane {

QString FileError::textFor(int code)
{
    switch (code) {
    case NotFound:
        return QStringLiteral("Datei nicht gefunden");
    case InvalidName:
        return QStringLiteral("Ungültiger Dateiname");
    case TooManyFiles:
        return QStringLiteral("Zu viele geöffnete Dateien");
    case AccessDenied:
        return QStringLiteral("Dateizugriff verweigert");
    case EndOfFile:
        return QStringLiteral("Versuch hinter dem Dateiende zu lesen");
    case DiskFull:
        return QStringLiteral("Zu wenig Speicherplatz");
    case InvalidNumber:
        return QStringLiteral("Ungültige numerische Eingabe");
    default:
        return QStringLiteral("E/A-Fehler %1").arg(code);
    }
}

int FileError::codeFromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return InvalidName;
    case EMFILE:
    case ENFILE:
        return TooManyFiles;
    case EACCES:
    case EPERM:
    case EROFS:
        return AccessDenied;
    case EEXIST:
        return 183; // Windows' "already exists", which has no text of its own
    case ENOSPC:
    case EFBIG:
        return DiskFull;
    default:
        return err;
    }
}

} // namespace tolvane
