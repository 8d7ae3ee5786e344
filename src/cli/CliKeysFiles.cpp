#include "cli/Cli.h"
#include "cli/CliContext.h"
#include "masterdata/KeyManager.h"
#include "platform/FileSystem.h"

#include <QFileInfo>

namespace tolvane::cli {

namespace {

// Makes the record of regNr the current one, as a click in the key window's list does.
bool selectRecord(CliContext& context, const QString& regNr)
{
    const int index = context.store().FindRegNr(regNr);
    if (index < 0) {
        context.dialogs.error(QStringLiteral("Zur Registriernummer \"%1\" gibt es keine Keydatei.").arg(regNr));
        return false;
    }
    context.keyManager().lbRegNrClick(index);
    return true;
}

} // namespace

// "keys import": the key window's import of several files, with the overwrite question per
// existing key file and one reload at the end. A file that was copied but does not load (a
// foreign file, a name that does not match its record) has been reported by the reload.
int keysImport(CliContext& context, const QStringList& files)
{
    KeyManager& keys = context.keyManager();
    QStringList copied;
    bool ok = true;
    for (const QString& file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (keys.ImportKeyFile(path)) {
            copied << fs::fileName(path);
        } else {
            context.dialogs.error(QStringLiteral("Die Key-Datei konnte nicht eingelesen werden."));
            ok = false;
        }
    }
    MasterDataStore& store = context.store();
    store.LoadKeyFiles();
    for (const QString& name : copied) {
        bool loaded = false;
        for (int i = 0; i < store.FCount() && !loaded; ++i)
            loaded = store.record(i).FKeyFileName.compare(name, Qt::CaseInsensitive) == 0;
        if (loaded)
            context.out << context.appDir << name << Qt::endl;
        else
            ok = false;
    }
    return ok ? Success : Failed;
}

// "keys export": copies the key file of regNr to target under the key window's name rule.
int keysExport(CliContext& context, const QString& regNr, const QString& target)
{
    if (!selectRecord(context, regNr))
        return Failed;
    const QString path = QFileInfo(target).absoluteFilePath();
    if (!context.keyManager().exportCurrentTo(path))
        return Failed;
    context.out << path << Qt::endl;
    return Success;
}

// "keys delete": the key window's deletion, question included: the key file goes into
// "Deleted Keyfiles" (or a dated subfolder of it), never away.
int keysDelete(CliContext& context, const QString& regNr)
{
    if (!selectRecord(context, regNr))
        return Failed;
    QString movedTo;
    if (!context.keyManager().deleteCurrent(&movedTo))
        return Failed;
    context.out << movedTo << Qt::endl;
    return Success;
}

} // namespace tolvane::cli
