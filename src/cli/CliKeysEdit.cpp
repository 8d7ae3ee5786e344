#include "cli/Cli.h"
#include "cli/CliContext.h"
#include "masterdata/KeyManager.h"
#include "platform/FileSystem.h"

namespace tolvane::cli {

// "keys new": the key window's "&Neu" with the number from the command line. Its confirmation
// is meant for the window (the key file usually comes by e-mail); naming the number here is the
// user's decision already.
int keysNew(CliContext& context, const QString& regNr)
{
    KeyManager& keys = context.keyManager();
    context.dialogs.presetAnswer(
        QStringLiteral("Hinweis: Wenn die VQZ Ihre datenentgegennehmende Stelle ist, erhalten Sie die Keydatei als "
                       "registrierter Kunde per Email. Wollen Sie fortfahren?"),
        Dialogs::Answer::Yes);
    context.dialogs.presetInput(regNr);
    keys.bitbtnNeuClick();
    if (keys.state() != KeyManager::State::Edit)
        return Failed;
    context.out << context.appDir << keys.text(KeyManager::RegNrHeader).trimmed() << ".key" << Qt::endl;
    return Success;
}

// "keys set": edit and save the record as the key window does, with its checks and dates.
int keysSet(CliContext& context, const QString& regNr)
{
    KeyManager& keys = context.keyManager();
    MasterDataStore& store = context.store();
    const int index = store.FindRegNr(regNr);
    if (index < 0) {
        context.dialogs.error(QStringLiteral("Zur Registriernummer \"%1\" gibt es keine Keydatei.").arg(regNr));
        return Failed;
    }
    std::optional<QString> phrase;
    if (context.hasFlag("--passphrase-stdin")) {
        bool refused = false;
        phrase = context.readPassPhrase(refused);
        if (refused)
            return Failed;
        if (!phrase)
            return context.usage(QStringLiteral("--passphrase-stdin: keine Passphrase auf der Standardeingabe."));
    }
    const struct {
        const char* option;
        KeyManager::Field field;
    } dirs[] = {{"--root", KeyManager::RootDir},
                {"--export", KeyManager::ExportDir},
                {"--answer", KeyManager::AntwortDir},
                {"--news", KeyManager::NewsDir}};
    bool anything = phrase.has_value();
    for (const auto& d : dirs)
        anything = anything || context.value(QString::fromLatin1(d.option)).has_value();
    if (!anything)
        return context.usage(QStringLiteral("keys set: nichts zu ändern angegeben."));

    keys.lbRegNrDblClick(index);
    if (phrase) {
        if (keys.FKeyLocked) {
            context.dialogs.error(QStringLiteral("Die Passphrase einer VQZ-Keydatei kann nicht geändert werden."));
            return Failed;
        }
        keys.setText(KeyManager::DesKey, *phrase);
    }
    for (const auto& d : dirs) {
        if (const auto dir = context.value(QString::fromLatin1(d.option)))
            keys.setText(d.field, *dir);
    }
    keys.bitbtnSpeichernClick();
    if (keys.state() != KeyManager::State::Browse) {
        keys.bitbtnAbbrechenClick();
        return Failed;
    }
    return Success;
}

} // namespace tolvane::cli
