#include "cli/Cli.h"
#include "cli/CliContext.h"
#include "workareas/answer/AnswerArea.h"

#include <QDir>
#include <QFileInfo>

namespace tolvane::cli {

// "answer decrypt FILE... [--choose-dir DIR]": the answer area's run over the files chosen in its
// dialog, without widgets. --choose-dir answers the directory chooser for a record without an
// answer directory; without it the chooser counts as cancelled and such a file is skipped.
// Prints each listed file with its output folder; succeeds when every file was unpacked and the
// library had nothing to say.
int runAnswer(CliContext& context, const QStringList& words)
{
    if (words.value(0) != u"decrypt")
        return context.usage(QStringLiteral("answer kennt nur den Befehl decrypt."));
    if (words.size() < 2)
        return context.usage(QStringLiteral("answer decrypt braucht mindestens eine DATEI."));

    QStringList files;
    for (int i = 1; i < words.size(); ++i)
        files << QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(words.at(i)).absoluteFilePath()));
    if (const auto dir = context.value(QStringLiteral("--choose-dir")))
        context.dialogs.presetEveryDirectory(QFileInfo(*dir).absoluteFilePath());

    AnswerArea area(context.services());
    const auto printListed = [&] {
        for (int i = 0; i < area.fileLines().size(); ++i)
            context.out << area.fileLines().at(i) << '\t' << area.outputFolders().at(i) << Qt::endl;
    };
    context.dialogs.presetOpenFiles(files);
    try {
        area.bitbtnSearchAntwortClick();
    } catch (...) {
        // What was unpacked before the error still counts.
        printListed();
        throw;
    }
    printListed();
    return area.lastRun().allUnpacked() ? Success : Failed;
}

} // namespace tolvane::cli
