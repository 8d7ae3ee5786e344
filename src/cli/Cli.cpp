#include "cli/Cli.h"

#include "cli/CliContext.h"
#include "masterdata/uclassStamm.h"
#include "platform/FileError.h"
#include "platform/AppDirs.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

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

// The encoding of the console and of file names: the ANSI code page on Windows, UTF-8 elsewhere.
QString systemEncodingName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("der ANSI-Codepage");
#else
    return QStringLiteral("UTF-8");
#endif
}

// Whether bytes decode in the system's encoding without a replacement.
bool decodesStrictly(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes); // decoding happens on this conversion
    Q_UNUSED(text);
    return !decoder.hasError();
}

QString hexByte(char byte)
{
    return QString::number(uchar(byte), 16).toUpper().rightJustified(2, u'0');
}

// The message for an argument that is not valid text. It shows the argument with every byte that
// forms no character as \xHH, and names the first such byte.
QString undecodableArgumentText(const QByteArray& raw)
{
    QString shown;
    qsizetype first = -1;
    for (qsizetype i = 0; i < raw.size();) {
        // The shortest run of bytes from i that forms a character (at most 4 in UTF-8).
        const qsizetype longest = std::min<qsizetype>(4, raw.size() - i);
        qsizetype length = 1;
        while (length <= longest && !decodesStrictly(QByteArrayView(raw).sliced(i, length)))
            ++length;
        if (length <= longest) {
            shown += QFile::decodeName(raw.mid(i, length));
            i += length;
            continue;
        }
        if (first < 0)
            first = i;
        shown += QStringLiteral("\\x") + hexByte(raw.at(i));
        ++i;
    }
    first = std::max<qsizetype>(first, 0);
    return QStringLiteral("Der Aufrufparameter \"%1\" ist kein gültiger Text in der Zeichenkodierung %2: das "
                          "Byte 0x%3 an Stelle %4 bildet kein Zeichen. tolvane-cli kann solche Datei- und "
                          "Ordnernamen nicht verarbeiten; bitte benennen Sie die Datei oder den Ordner um.")
        .arg(shown, systemEncodingName(), hexByte(raw.at(first)), QString::number(first + 1));
}

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
        m_store->namePathInLoadErrors = true;
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

std::optional<QString> CliContext::readPassPhrase(bool& refused)
{
    refused = false;
    // Byte by byte up to the end of the line, so nothing after it is consumed and a NUL stays
    // in the line (for the pass phrase check to refuse) instead of cutting it short.
    QByteArray line;
    int c = std::fgetc(stdin);
    if (c == EOF)
        return std::nullopt;
    for (; c != EOF && c != '\n'; c = std::fgetc(stdin))
        line.append(char(c));
    if (line.endsWith('\r'))
        line.chop(1);
    // Strictly: replacing invalid bytes with U+FFFD would give different pass phrases the same key.
    QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    const QString phrase = decoder.decode(line);
    secureWipe(line);
    if (decoder.hasError()) {
        dialogs.error(
            QStringLiteral("Die Passphrase auf der Standardeingabe enthält Bytes, die in der "
                           "Zeichenkodierung %1 kein Zeichen bilden. Bitte geben Sie die Passphrase in "
                           "%1 ein.")
                .arg(systemEncodingName()));
        refused = true;
        return std::nullopt;
    }
    return phrase;
}

int CliContext::usage(const QString& text)
{
    QTextStream err(stderr);
    err << text << "\n\n" << kUsage;
    return Usage;
}

int run(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (i > 0 && !decodesStrictly(raw)) {
            ConsoleDialogs(ConsoleDialogs::Policy::No).error(undecodableArgumentText(raw));
            return Failed;
        }
        arguments << QFile::decodeName(raw);
    }
    return run(arguments);
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
