#include "cli/Cli.h"

#include "cli/CliContext.h"
#include "platform/FileError.h"
#include "platform/AppDirs.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace tolvane::cli {

namespace {

const QStringList kValueOptions{"--app-dir", "--root",   "--export",      "--answer",
                                "--news",    "--target", "--description", "--choose-dir"};
const QStringList kFlags{"--yes", "--no", "--show-passphrase", "--passphrase-stdin", "--help", "--explorer"};

const char* const kUsage =
    "Aufruf: tolvane-cli [--app-dir DIR] [--yes|--no] BEFEHL ...\n"
    "  keys list\n"
    "  keys show REGNR [--show-passphrase]\n"
    "  keys new REGNR\n"
    "  keys set REGNR [--passphrase-stdin] [--root DIR] [--export DIR] [--answer DIR] [--news DIR]\n"
    "  keys import DATEI...\n"
    "  keys export REGNR ZIEL\n"
    "  keys delete REGNR\n"
    "  pack ARCHIVBASIS DATEI... [--passphrase-stdin]\n"
    "  unpack ARCHIV AUSGABEORDNER [--passphrase-stdin]\n"
    "  export REGNR DATEI... [--target ORDNER]\n"
    "  answer decrypt DATEI... [--choose-dir ORDNER]\n"
    "  news create REGNR --description TEXT DATEI... [--target ORDNER] [--explorer]\n"
    "  news decrypt DATEI... [--choose-dir ORDNER] [--explorer]\n";

} // namespace

CliContext::CliContext(const QString& dir, const QString& library, ConsoleDialogs::Policy policy)
    : appDir(fs::withSeparator(dir)), libraryDir(fs::withSeparator(library)), dialogs(policy), out(stdout)
{
}

MasterDataStore& CliContext::store()
{
    keyManager();
    return *m_store;
}

KeyManager& CliContext::keyManager()
{
    if (!m_store) {
        m_store.emplace(appDir + QStringLiteral("tolvane-cli"), dialogs);
        m_keys.emplace(*m_store, dialogs);
        m_store->LoadKeyFiles();
    }
    return *m_keys;
}

QStringList CliContext::regNrs()
{
    QStringList list;
    for (int i = 0; i < store().FCount(); ++i)
        list << store().record(i).FRegNr;
    return list;
}

int CliContext::findRecord(const QString& regNr)
{
    const int index = store().FindRegNr(regNr);
    if (index < 0)
        dialogs.error(QStringLiteral("Zur Registriernummer \"%1\" gibt es keine Keydatei.").arg(regNr));
    return index;
}

WorkAreaServices& CliContext::services()
{
    if (!m_services) {
        m_settings.emplace(appDir + QStringLiteral("tolvane.ini"));
        m_packer.emplace(libraryDir, dialogs);
        m_services.emplace(store(), *m_settings, dialogs, *m_packer, explorer);
    }
    return *m_services;
}

std::optional<QString> CliContext::readPassPhrase()
{
    QTextStream in(stdin);
    const QString line = in.readLine();
    if (line.isNull())
        return std::nullopt;
    QString phrase = line;
    if (phrase.endsWith(u'\r'))
        phrase.chop(1);
    return phrase;
}

int CliContext::usage(const QString& text)
{
    QTextStream err(stderr);
    err << text << "\n\n" << kUsage;
    return Usage;
}

int run(const QStringList& arguments)
{
    QStringList words;
    QMap<QString, QString> values;
    QStringList flags;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (kValueOptions.contains(a)) {
            if (i + 1 >= arguments.size()) {
                QTextStream(stderr) << "Option " << a << " braucht einen Wert.\n\n" << kUsage;
                return Usage;
            }
            values.insert(a, arguments.at(++i));
        } else if (kFlags.contains(a)) {
            flags << a;
        } else if (a.startsWith(QStringLiteral("--"))) {
            QTextStream(stderr) << "Unbekannte Option " << a << ".\n\n" << kUsage;
            return Usage;
        } else {
            words << a;
        }
    }
    if (flags.contains("--help")) {
        QTextStream(stdout) << kUsage;
        return Success;
    }
    if (flags.contains("--yes") && flags.contains("--no")) {
        QTextStream(stderr) << "--yes und --no schließen sich aus.\n\n" << kUsage;
        return Usage;
    }
    const ConsoleDialogs::Policy policy = flags.contains("--yes")  ? ConsoleDialogs::Policy::Yes
                                          : flags.contains("--no") ? ConsoleDialogs::Policy::No
                                                                   : ConsoleDialogs::Policy::Ask;
    // --app-dir names a portable folder: key files, tolvane.ini and the packing library in one.
    AppDirs dirs;
    if (values.contains("--app-dir")) {
        dirs.dataDir = dirs.libraryDir = QFileInfo(values.value("--app-dir")).absoluteFilePath();
    } else {
        dirs = AppDirs::forExecutableIn(QCoreApplication::applicationDirPath());
    }
    if (!fs::dirExists(dirs.dataDir)) {
        QTextStream(stderr) << "Das Anwendungsverzeichnis \"" << dirs.dataDir << "\" existiert nicht.\n";
        return Usage;
    }
    CliContext context(dirs.dataDir, dirs.libraryDir, policy);
    context.values = values;
    context.flags = flags;
    if (words.isEmpty())
        return context.usage(QStringLiteral("Kein Befehl angegeben."));

    const QString command = words.takeFirst();
    CommandRunner runner = nullptr;
    if (command == u"keys")
        runner = runKeys;
    else if (command == u"pack")
        runner = runPack;
    else if (command == u"unpack")
        runner = runUnpack;
    else if (command == u"export")
        runner = runExport;
    else if (command == u"answer")
        runner = runAnswer;
    else if (command == u"news")
        runner = runNews;
    if (!runner)
        return context.usage(QStringLiteral("Unbekannter Befehl \"%1\".").arg(command));
    try {
        return runner(context, words);
    } catch (const TolvaneError& e) {
        context.dialogs.genericError(e.text());
        return Failed;
    }
}

} // namespace tolvane::cli
