#include "cli/Cli.h"
#include "cli/CliContext.h"
#include "platform/FileError.h"
#include "workareas/news/NewsArea.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace tolvane::cli {

namespace {

QString absolute(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

// The desktop's file manager, started on its own so the command returns at once.
void openInFileManager(const QString& folder)
{
#ifdef Q_OS_WIN
    const QString program = QStringLiteral("explorer.exe");
#else
    const QString program = QStringLiteral("xdg-open");
#endif
    if (!QProcess::startDetached(program, {folder}))
        throw TolvaneError(QStringLiteral("Der Ordner ") + folder +
                           QStringLiteral(" konnte nicht im Dateimanager geöffnet werden"));
}

// "news create REGNR --description TEXT FILE... [--target DIR]": FILE are the files added with
// "Dateien hinzufügen"; --target answers the save dialog, which only comes up when the key
// record's news directory is missing.
int newsCreate(CliContext& context, NewsArea& area, const QStringList& words)
{
    const std::optional<QString> description = context.value(QStringLiteral("--description"));
    if (words.size() < 2 || !description)
        return context.usage(
            QStringLiteral("news create braucht REGNR, --description TEXT und mindestens eine DATEI."));
    const int index = context.findRecord(words.at(0));
    if (index < 0)
        return Failed;
    area.chooseRegNr(index);

    QStringList files;
    for (int i = 1; i < words.size(); ++i)
        files << absolute(words.at(i));
    context.dialogs.presetOpenFiles(files);
    area.bitbtnNwsGetFilesClick();
    area.setDescription(*description);
    if (const auto target = context.value(QStringLiteral("--target")))
        context.dialogs.presetSaveFolder(absolute(*target));

    if (area.bitbtnNwsErzeugenClick() != NewsArea::Creation::Created)
        return Failed;
    context.out << area.created().newsFile << '\t' << area.created().archiveFolder << Qt::endl;
    return Success;
}

// "news decrypt FILE... [--choose-dir DIR]": the files as if chosen in the news-file dialog;
// --choose-dir answers the directory chooser when a key record's news directory is missing.
int newsDecrypt(CliContext& context, NewsArea& area, const QStringList& files)
{
    if (files.isEmpty())
        return context.usage(QStringLiteral("news decrypt braucht mindestens eine DATEI."));
    QStringList paths;
    for (const QString& file : files)
        paths << absolute(file);
    if (const auto dir = context.value(QStringLiteral("--choose-dir")))
        context.dialogs.presetDirectory(absolute(*dir));
    area.setOpenExplorer(context.hasFlag(QStringLiteral("--explorer")));
    context.dialogs.presetOpenFiles(paths);
    area.bitbtnNwsEntschluesselnClick();

    bool complete = area.decrypted().size() == paths.size();
    for (const NewsArea::Decrypted& d : area.decrypted()) {
        context.out << d.outputFolder << Qt::endl;
        complete = complete && d.errorText.isEmpty();
    }
    return complete ? Success : Failed;
}

} // namespace

// "news create ..." and "news decrypt ...": the news area's two groups, driven without widgets.
int runNews(CliContext& context, const QStringList& words)
{
    if (words.isEmpty())
        return context.usage(QStringLiteral("news braucht create oder decrypt."));
    const QString action = words.first();
    if (action != u"create" && action != u"decrypt")
        return context.usage(QStringLiteral("Unbekannter news-Befehl \"%1\".").arg(action));
    if (context.hasFlag(QStringLiteral("--explorer")))
        context.explorer = openInFileManager;

    NewsArea area(context.services());
    area.reset();
    area.setRegNrList(context.regNrs());
    return action == u"create" ? newsCreate(context, area, words.mid(1))
                               : newsDecrypt(context, area, words.mid(1));
}

} // namespace tolvane::cli
