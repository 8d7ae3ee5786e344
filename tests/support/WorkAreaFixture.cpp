#include "support/WorkAreaFixture.h"

#include <QDir>

namespace tolvane::testutil {

WorkAreaFixture::WorkAreaFixture(const QString& appDir, Dialogs& dialogs)
    : settings(QDir(appDir).filePath(QStringLiteral("tolvane.ini"))),
      store(QDir(appDir).filePath(QStringLiteral("tolvane")), dialogs), packer(appDir, dialogs),
      services(store, settings, dialogs, packer, [this](const QString& folder) { explored << folder; })
{
    store.LoadKeyFiles();
}

} // namespace tolvane::testutil
