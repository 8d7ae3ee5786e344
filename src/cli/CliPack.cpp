#include "cli/Cli.h"
#include "cli/CliContext.h"
#include "common/PassPhrase.h"
#include "packer/u3Des.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <termios.h>
#include <unistd.h>
#endif

namespace tolvane::cli {

namespace {

// The pass phrase from stdin (--passphrase-stdin) or, on a terminal, typed without echo.
std::optional<QString> readTypedPassPhrase(CliContext& context, bool& refused)
{
    refused = false;
    if (context.hasFlag("--passphrase-stdin"))
        return context.readPassPhrase(refused);
#ifndef Q_OS_WIN
    if (isatty(0) && isatty(2)) {
        QTextStream err(stderr);
        err << "Passphrase: " << Qt::flush;
        termios old{};
        tcgetattr(0, &old);
        termios silent = old;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(0, TCSANOW, &silent);
        const auto phrase = context.readPassPhrase(refused);
        tcsetattr(0, TCSANOW, &old);
        err << Qt::endl;
        return phrase;
    }
#endif
    return std::nullopt;
}

// The pass phrase for pack and unpack, checked where it is entered by the rule the packing bridge
// applies. Nothing after a message; exitCode then tells whether it was missing (a usage error) or
// refused.
std::optional<QString> passPhrase(CliContext& context, int& exitCode)
{
    bool refused = false;
    const auto phrase = readTypedPassPhrase(context, refused);
    if (!phrase) {
        exitCode = refused ? Failed
                           : context.usage(QStringLiteral(
                               "Keine Passphrase: --passphrase-stdin angeben oder im Terminal eingeben."));
        return std::nullopt;
    }
    const PassPhraseBytes bytes = passPhraseBytes(*phrase);
    if (!bytes.ok()) {
        context.dialogs.error(bytes.error);
        exitCode = Failed;
        return std::nullopt;
    }
    return phrase;
}

QString absolute(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

} // namespace

int runPack(CliContext& context, const QStringList& words)
{
    if (words.size() < 2)
        return context.usage(QStringLiteral("pack braucht ARCHIVBASIS und mindestens eine DATEI."));
    const QString base = absolute(words.at(0));
    const QString target = base + QStringLiteral(".zip.3des");
    QStringList files;
    for (int i = 1; i < words.size(); ++i) {
        const QString file = absolute(words.at(i));
        if (!QFileInfo::exists(file)) {
            context.dialogs.error(QStringLiteral("Die Datei \"%1\" existiert nicht.").arg(file));
            return Failed;
        }
        // By identity, so a link or another spelling of the archive is caught too.
        if (fs::sameFile(file, target)) {
            context.dialogs.error(
                QStringLiteral("Die Datei \"%1\" ist das Archiv \"%2\", das geschrieben werden "
                               "soll. Ein Archiv kann nicht sich selbst enthalten.")
                    .arg(file, target));
            return Failed;
        }
        files << file;
    }
    int exitCode = Failed;
    const auto phrase = passPhrase(context, exitCode);
    if (!phrase)
        return exitCode;
    // Nothing is deleted beforehand: the library writes a temporary file and puts it in place of
    // the old archive only when packing succeeded, so a failure keeps the old one.
    if (QFileInfo::exists(target)
        && !context.dialogs.confirm(
            QStringLiteral("Die Datei \"%1\" existiert bereits. Soll sie ersetzt werden?").arg(target)))
        return Failed;
    PackingBridge bridge(context.libraryDir, context.dialogs);
    QString errorText;
    if (!bridge.PackFiles(base, *phrase, files, errorText))
        return Failed;
    if (!errorText.isEmpty()) {
        context.dialogs.error(errorText);
        return Failed;
    }
    context.out << target << Qt::endl;
    return Success;
}

int runUnpack(CliContext& context, const QStringList& words)
{
    if (words.size() != 2)
        return context.usage(QStringLiteral("unpack braucht ARCHIV und AUSGABEORDNER."));
    const QString archive = absolute(words.at(0));
    const QString outDir = absolute(words.at(1));
    if (!fs::fileExists(archive)) {
        context.dialogs.error(QStringLiteral("Die Datei \"%1\" existiert nicht.").arg(archive));
        return Failed;
    }
    int exitCode = Failed;
    const auto phrase = passPhrase(context, exitCode);
    if (!phrase)
        return exitCode;
    PackingBridge bridge(context.libraryDir, context.dialogs);
    QString errorText;
    if (!bridge.UnpackArchive(outDir, *phrase, archive, errorText))
        return Failed;
    if (!errorText.isEmpty()) {
        context.dialogs.error(errorText);
        return Failed;
    }
    context.out << outDir << Qt::endl;
    return Success;
}

} // namespace tolvane::cli
