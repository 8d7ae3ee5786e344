#include "TolvaneApplication.h"

#include "Dialogs.h"
#include "FileError.h"

#include <cstdio>
#include <exception>

namespace tolvane {

TolvaneApplication::TolvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TolvaneApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const TolvaneError& e) {
        showUnhandled(e.text());
    } catch (const std::exception& e) {
        showUnhandled(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showUnhandled(QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

void TolvaneApplication::showUnhandled(const QString& text)
{
    if (m_dialogs) {
        m_dialogs->genericError(text);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(Dialogs::genericErrorText(text)));
}

} // namespace tolvane
