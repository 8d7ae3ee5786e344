#include "cli/Cli.h"
#include "cli/CliContext.h"
#include "masterdata/StammText.h"
#include "masterdata/uclassStamm.h"

namespace tolvane::cli {

namespace {

QString issuedText(const TStamm& rec)
{
    return rec.FIssued ? QStringLiteral("VQZ-Keydatei") : QStringLiteral("eigene Keydatei");
}

int keysList(CliContext& context)
{
    MasterDataStore& store = context.store();
    for (int i = 0; i < store.FCount(); ++i) {
        const TStamm& rec = store.record(i);
        context.out << QStringList{rec.FRegNr,         rec.FKeyFileName,      issuedText(rec),
                                   standText(rec.FKey.KeyDate()), rec.FDirs.VRootDir(), rec.FDirs.VExport(),
                                   rec.FDirs.VAntwort(), rec.FDirs.VNews()}
                           .join(u'\t')
                    << Qt::endl;
    }
    // A key file that did not load is missing from the list, which a script must not take as whole.
    return store.leftOut().isEmpty() ? Success : Failed;
}

// The record of a registration number, or a message and null.
const TStamm* findRecord(CliContext& context, const QString& regNr)
{
    MasterDataStore& store = context.store();
    const int index = store.FindRegNr(regNr);
    if (index < 0) {
        context.dialogs.error(QStringLiteral("Zur Registriernummer \"%1\" gibt es keine Keydatei.").arg(regNr));
        return nullptr;
    }
    return &store.record(index);
}

int keysShow(CliContext& context, const QString& regNr)
{
    const TStamm* rec = findRecord(context, regNr);
    if (!rec)
        return Failed;
    QTextStream& out = context.out;
    out << "Registriernummer: " << rec->FRegNr << Qt::endl;
    out << "Keydatei:         " << rec->FAppDir + rec->FKeyFileName << Qt::endl;
    out << "Art:              " << issuedText(*rec) << Qt::endl;
    out << "Passphrase:       "
        << (context.hasFlag("--show-passphrase") ? rec->FKey.DesKey()
                                                 : (rec->FKey.DesKey().isEmpty() ? QStringLiteral("(leer)")
                                                                                 : QStringLiteral("(verborgen)")))
        << Qt::endl;
    out << "Passphrase-" << standText(rec->FKey.KeyDate()) << Qt::endl;
    out << "Verzeichnisse-" << standText(rec->FDirs.DirsDate()) << Qt::endl;
    out << "Stammverzeichnis: " << rec->FDirs.VRootDir() << Qt::endl;
    out << "Export:           " << rec->FDirs.VExport() << Qt::endl;
    out << "Antwort:          " << rec->FDirs.VAntwort() << Qt::endl;
    out << "News:             " << rec->FDirs.VNews() << Qt::endl;
    return Success;
}

} // namespace

int runKeys(CliContext& context, const QStringList& words)
{
    const QString sub = words.value(0);
    if (sub == u"list" && words.size() == 1)
        return keysList(context);
    if (sub == u"show" && words.size() == 2)
        return keysShow(context, words.at(1));
    if (sub == u"new" && words.size() == 2)
        return keysNew(context, words.at(1));
    if (sub == u"set" && words.size() == 2)
        return keysSet(context, words.at(1));
    if (sub == u"import" && words.size() >= 2)
        return keysImport(context, words.mid(1));
    if (sub == u"export" && words.size() == 3)
        return keysExport(context, words.at(1), words.at(2));
    if (sub == u"delete" && words.size() == 2)
        return keysDelete(context, words.at(1));
    return context.usage(QStringLiteral("Unbekannter oder unvollständiger keys-Befehl."));
}

} // namespace tolvane::cli
