#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tolvane {

// One transaction of an export: every file of the source folder whose extension is its number.
struct TTransaktion {
    QString TrNrText;         // the chosen file's extension, at most 10 characters
    qint32 TrNr = 0;          // TrNrText as a number
    QStringList TrDateinamen; // bare names, sorted; shown in lbExpQuelle and used for the copies
    QStringList TrDateien;    // source folder + the same names, in the same order; packed
    QString TrName;           // "t-" + registration number + "-" + TrNrText
};

// The current export selection: the transactions formed from the chosen files.
struct TExport {
    QString ExpRegNr;
    QString ExpDesKey;
    qint32 ExpAnzahl = 0;
    QList<TTransaktion> ExpTransaktionen;
};

} // namespace tolvane
