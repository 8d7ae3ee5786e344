#include "common/PassPhrase.h"

#include "common/Ansi.h"

namespace tolvane {

namespace {

bool isControl(char32_t ch)
{
    return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
}

QString codeOf(char32_t ch)
{
    return QStringLiteral("U+") + QString::number(uint(ch), 16).toUpper().rightJustified(4, u'0');
}

} // namespace

PassPhraseBytes passPhraseBytes(const QString& passPhrase)
{
    PassPhraseBytes result;
    result.bytes.reserve(passPhrase.size());
    // By code point, so a character outside the BMP is named as one character.
    for (const char32_t ch : passPhrase.toUcs4()) {
        if (isControl(ch)) {
            result.error = QStringLiteral("Die Passphrase enthält ein Steuerzeichen (") + codeOf(ch) +
                           QStringLiteral("). Bitte wählen Sie eine Passphrase ohne Steuerzeichen.");
            break;
        }
        const int byte = windows1252Byte(ch);
        if (byte < 0) {
            const QString shown = QChar::isPrint(ch) ? QStringLiteral("\"") + QString::fromUcs4(&ch, 1) +
                                                           QStringLiteral("\" (") + codeOf(ch) + u')'
                                                     : codeOf(ch);
            result.error = QStringLiteral("Die Passphrase enthält das Zeichen ") + shown +
                           QStringLiteral(", das im Zeichensatz Windows-1252 nicht vorkommt. Die Passphrase "
                                          "wird in diesem Zeichensatz gespeichert und zur Verschlüsselung "
                                          "verwendet; bitte wählen Sie eine Passphrase ohne dieses Zeichen.");
            break;
        }
        result.bytes.append(char(byte));
    }
    if (!result.ok())
        result.bytes.clear();
    return result;
}

} // namespace tolvane
