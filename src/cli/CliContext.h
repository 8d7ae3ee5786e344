#pragma once

#include "cli/ConsoleDialogs.h"
#include "masterdata/KeyManager.h"
#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/ProfileFile.h"
#include "workareas/WorkAreaServices.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace tolvane::cli {

// What every subcommand gets: the parsed command line, the console dialogs and the store of the
// application directory (loaded on first use).
struct CliContext {
    // appDir holds the key files and tolvane.ini, libraryDir the packing library.
    CliContext(const QString& appDir, const QString& libraryDir, ConsoleDialogs::Policy policy);

    QStringList positional;            // after the command words
    QMap<QString, QString> values;     // --root DIR and the like
    QStringList flags;                 // --show-passphrase and the like
    QString appDir;                    // with trailing separator
    QString libraryDir;                // with trailing separator
    ConsoleDialogs dialogs;
    QTextStream out;

    MasterDataStore& store();
    // The key window's logic over the same store, so the key subcommands follow its rules.
    KeyManager& keyManager();
    // The registration numbers in store order, as the main window lists them in the work areas.
    QStringList regNrs();
    // The store index of regNr; -1 after saying that there is no key file for it.
    int findRecord(const QString& regNr);
    // The services the work areas use, over the same store and dialogs. The command line opens
    // no file manager unless a subcommand sets explorer before the first use.
    WorkAreaServices& services();
    WorkAreaServices::Explorer explorer;
    bool hasFlag(const QString& flag) const { return flags.contains(flag); }
    std::optional<QString> value(const QString& key) const
    {
        return values.contains(key) ? std::optional<QString>(values.value(key)) : std::nullopt;
    }
    // The pass phrase from the first line of stdin (for --passphrase-stdin), decoded strictly in
    // the system's encoding. Nothing when stdin is empty, or when the line is not valid in that
    // encoding: refused is then set and the message has been shown.
    std::optional<QString> readPassPhrase(bool& refused);
    // Prints a usage error and returns the usage exit code.
    int usage(const QString& text);

private:
    std::optional<MasterDataStore> m_store;
    std::optional<KeyManager> m_keys;
    std::optional<ProfileFile> m_settings;
    std::optional<PackingBridge> m_packer;
    std::optional<WorkAreaServices> m_services;
};

// A subcommand group ("keys", "pack", ...): its runner gets the words after the group name.
using CommandRunner = int (*)(CliContext& context, const QStringList& words);
int runKeys(CliContext& context, const QStringList& words);
int runPack(CliContext& context, const QStringList& words);
int runUnpack(CliContext& context, const QStringList& words);
int runExport(CliContext& context, const QStringList& words);
int runNews(CliContext& context, const QStringList& words);
int runAnswer(CliContext& context, const QStringList& words);
int keysNew(CliContext& context, const QString& regNr);
int keysSet(CliContext& context, const QString& regNr);
int keysImport(CliContext& context, const QStringList& files);
int keysExport(CliContext& context, const QString& regNr, const QString& target);
int keysDelete(CliContext& context, const QString& regNr);

} // namespace tolvane::cli
