#include "app/gui/TolvaneApplication.h"

#include "platform/Dialogs.h"
#include "platform/FileError.h"

#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

#include <cstdio>
#include <exception>

namespace tolvane {

TolvaneApplication::TolvaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    installEventFilter(this);
}

bool TolvaneApplication::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const QString hint = widget ? widget->toolTip() : QString();
        if (hint.size() > 70 && !Qt::mightBeRichText(hint)) {
            // Rich text makes the tool tip wrap; the hint itself stays plain text.
            const auto* help = static_cast<QHelpEvent*>(event);
            QToolTip::showText(help->globalPos(), QStringLiteral("<table width=\"380\"><tr><td>") + hint.toHtmlEscaped()
                                                        + QStringLiteral("</td></tr></table>"),
                               widget);
            return true;
        }
    }
    return QApplication::eventFilter(watched, event);
}

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
