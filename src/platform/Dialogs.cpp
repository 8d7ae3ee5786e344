#include "platform/Dialogs.h"

namespace tolvane {

QString Dialogs::caption(Kind kind)
{
    switch (kind) {
    case Kind::Information:
        return QStringLiteral("Informationen");
    case Kind::Error:
        return QStringLiteral("Fehler");
    case Kind::Confirmation:
        return QStringLiteral("Bestätigung");
    case Kind::Warning:
        return QStringLiteral("Warnung");
    }
    return {};
}

QString Dialogs::genericErrorText(const QString& text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}

} // namespace tolvane
