#include "workareas/answer/FileNameRules.h"

#include "common/xProcs.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

namespace tolvane {

namespace {

const QString kAnswerExample = QStringLiteral(" Richtig wäre z.B. \"a-hh10203-4.zip.3des\"");
const QString kNewsExample = QStringLiteral(" Richtig wäre z.B. \"n-hh10203-INFO_12_2002.zip.3des\"");

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

// Shows the message of a failed rule; false, so a check can return it.
bool refuse(Dialogs& dialogs, const QString& text)
{
    dialogs.information(text);
    return false;
}

// Steps 1 to 3, the same in both rule sets but for the kind letter, the file kind and the example.
bool checkFields(const QString& l, const QString& letter, const QString& kind, const QString& example,
                 Dialogs& dialogs)
{
    if (FieldCount(l, u'-') != 3)
        return refuse(dialogs, QStringLiteral("Die Anzahl der Feldtrenner (Bindestriche) im Namen der ") +
                                   kind + u' ' + quoted(l) + QStringLiteral(" stimmt nicht.") + example);
    if (ExtractField(l, u'-', 0) != letter)
        return refuse(dialogs, QStringLiteral("Die Nameskonvention der ") + kind + u' ' + quoted(l) +
                                   QStringLiteral(" ist nicht korrekt.") + example);
    if (ExtractField(l, u'-', 1).size() != 7)
        return refuse(dialogs, QStringLiteral("Die Registriernummer ") + quoted(l) +
                                   QStringLiteral(" ist nicht korrekt 7-Stellig angegeben.") + example);
    return true;
}

// Steps 5 and 6 of the answer rules, 4 and 5 of the news rules: the extension of dotted.
bool checkExtension(const QString& dotted, const QString& shown, const QString& example, Dialogs& dialogs)
{
    if (ExtractField(dotted, u'.', 1) != u"zip")
        return refuse(dialogs, QStringLiteral("Der Zip-Teil der Dateiendung ") + quoted(shown) +
                                   QStringLiteral(" wurde nicht korrekt angegeben.") + example);
    if (ExtractField(dotted, u'.', 2) != u"3des")
        return refuse(dialogs, QStringLiteral("Der 3DES-Teil der Dateiendung ") + quoted(shown) +
                                   QStringLiteral(" wurde nicht korrekt angegeben.") + example);
    return true;
}

} // namespace

bool CheckAnswerFileName(const QString& fileName, Dialogs& dialogs)
{
    const QString l = asciiLower(fileName);
    if (!checkFields(l, QStringLiteral("a"), QStringLiteral("Antwortdatei"), kAnswerExample, dialogs))
        return false;
    const QString r = ExtractField(l, u'-', 2);
    const QString t = ExtractField(r, u'.', 0);
    if (!textToInt(t))
        return refuse(dialogs, QStringLiteral("Die Transaktionsnummer ") + quoted(t) +
                                   QStringLiteral(" ist nicht nummerisch angegeben.") + kAnswerExample);
    return checkExtension(r, r, kAnswerExample, dialogs);
}

bool CheckNewsFileName(const QString& fileName, Dialogs& dialogs)
{
    const QString l = asciiLower(fileName);
    return checkFields(l, QStringLiteral("n"), QStringLiteral("Newsdatei"), kNewsExample, dialogs) &&
           checkExtension(l, l, kNewsExample, dialogs);
}

QString regNrOfFileName(const QString& fileName)
{
    return asciiLower(ExtractField(fileName, u'-', 1));
}

QString newsFileBaseName(const QString& regNr, const QString& description)
{
    return QStringLiteral("n-") + regNr + u'-' + ReplaceChar(description, u'-', QStringLiteral("_"));
}

QString newsFileName(const QString& regNr, const QString& description)
{
    return newsFileBaseName(regNr, description) + QStringLiteral(".zip.3des");
}

QString FreeFolderPath(const QString& dir, const QString& fileName)
{
    const QString base = dir + QStringLiteral("v_") + fileName;
    QString path = base;
    for (int k = 1; fs::dirExists(path); ++k)
        path = base + u'_' + QString::number(k);
    return path;
}

} // namespace tolvane
