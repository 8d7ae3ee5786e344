#include "xProcs.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane - Datencrypter"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tolvane - Version ")
                          + tolvane::GetFileVersionString(QCoreApplication::applicationFilePath()));
    window.setFixedSize(646, 421);
    window.show();
    return app.exec();
}
