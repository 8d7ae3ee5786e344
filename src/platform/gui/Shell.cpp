#include "platform/gui/Shell.h"

#include "platform/FileError.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tolvane::Shell {

void exploreFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        throw TolvaneError(QStringLiteral("Das System kann den angegebenen Pfad nicht finden: ") + folder);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        throw TolvaneError(QStringLiteral("Der Ordner ") + folder
                           + QStringLiteral(" konnte nicht im Dateimanager geöffnet werden"));
}

} // namespace tolvane::Shell
