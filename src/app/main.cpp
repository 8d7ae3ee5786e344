#include "app/Application.h"
#include "app/gui/Artwork.h"
#include "app/gui/TolvaneApplication.h"
#include "app/uMain.h"
#include "platform/gui/QtDialogs.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace tolvane;

int main(int argc, char* argv[])
{
#ifndef Q_OS_WIN
    // The embedded browser refuses to run its sandbox as root; a root session still gets a
    // working homepage window.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TolvaneApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(artwork::appIcon());

    // The interface is German; Qt's own texts in the file dialogs follow.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);
    // Dates follow the user's locale; without one (the C locale) the German formats apply.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    const QString exeName = QCoreApplication::applicationFilePath();
    int result = 0;
    {
        Application tolvane(exeName, dialogs);
        tolvane.frmMain().setCommandLine(QCoreApplication::arguments().mid(1));
        tolvane.frmMain().show();
        tolvane.frmMain().activateWindow();
        result = app.exec();
    }
    app.setDialogs(nullptr);
    return result;
}
