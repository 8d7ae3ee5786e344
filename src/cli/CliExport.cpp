#include "cli/Cli.h"
#include "cli/CliContext.h"
#include "workareas/export/ExportArea.h"

#include <QDir>
#include <QFileInfo>

namespace tolvane::cli {

// "export REGNR FILE... [--target DIR]": the export area's selection and generation, driven
// without widgets. FILE are the files chosen in the export dialog (as a rule the header files);
// the target is the record's export directory unless --target names another, as "ändern" does.
int runExport(CliContext& context, const QStringList& words)
{
    if (words.size() < 2)
        return context.usage(QStringLiteral("export braucht REGNR und mindestens eine DATEI."));
    const int index = context.findRecord(words.at(0));
    if (index < 0)
        return Failed;

    ExportArea area(context.services());
    area.reset();
    area.setRegNrList(context.regNrs());
    area.chooseRegNr(index);

    QStringList files;
    for (int i = 1; i < words.size(); ++i)
        files << QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(words.at(i)).absoluteFilePath()));
    context.dialogs.presetOpenFiles(files);
    area.bitbtnGetTransaktionClick();
    if (const auto target = context.value(QStringLiteral("--target"))) {
        context.dialogs.presetDirectory(QFileInfo(*target).absoluteFilePath());
        area.bitbtnSearchExportClick();
    }

    const ExportArea::Generation result = area.bitbtnErzeugenClick();
    for (const ExportArea::Written& w : area.written())
        context.out << w.transactionFile << '\t' << w.archiveFolder << Qt::endl;
    return result == ExportArea::Generation::Completed ? Success : Failed;
}

} // namespace tolvane::cli
