#include "workareas/answer/ArchiveDecryption.h"

#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/answer/FileNameRules.h"

namespace tolvane {

ArchiveDecryption::ArchiveDecryption(WorkAreaServices& services, Kind kind)
    : m_services(services), m_kind(kind)
{
}

ArchiveDecryption::Result ArchiveDecryption::decrypt(const QString& path, Order order)
{
    Dialogs& dialogs = m_services.dialogs();
    MasterDataStore& store = m_services.store();
    const QString name = fs::fileName(path);
    Result result;

    if (m_kind == Kind::Answer && !fs::fileExists(path)) {
        dialogs.error(QStringLiteral("Die angegeben Datei \"") + path +
                      QStringLiteral("\" existiert nicht! [Abbruch]"));
        result.outcome = Outcome::Missing;
        return result;
    }
    if (!(m_kind == Kind::Answer ? CheckAnswerFileName(name, dialogs) : CheckNewsFileName(name, dialogs))) {
        result.outcome = Outcome::BadName;
        return result;
    }
    const QString regNr = regNrOfFileName(name);
    const int index = store.FindRegNr(regNr);
    if (index < 0) {
        dialogs.error(QStringLiteral("Für die Registriernummer \"") + regNr +
                      QStringLiteral("\" sind keine Stammdaten vorhanden, keine Entschlüsselung möglich."));
        result.outcome = Outcome::NoRecord;
        return result;
    }
    const TStamm& record = store.record(index);
    QString dir = m_kind == Kind::Answer ? record.FDirs.VAntwort() : record.FDirs.VNews();
    if (dir.isEmpty() || !fs::dirExists(dir)) {
        // The folder chosen here serves this file only; the key record keeps its own.
        dialogs.information(
            QStringLiteral("Bitte wählen Sie ein Ausgabepfad für die entschlüsselten Dateien aus."));
        dir = store.ChooseDirectory(dir);
        if (dir.isEmpty() || !fs::dirExists(dir)) {
            result.outcome = Outcome::NoDirectory;
            return result;
        }
    }
    const QString passPhrase = record.FKey.DesKey();
    const auto passPhraseMissing = [&] {
        if (!passPhrase.isEmpty())
            return false;
        dialogs.error(QStringLiteral("Für die Registriernummer \"") + regNr +
                      QStringLiteral("\" wurde kein Schlüsselcode in den Stammdaten hinterlegt. Keine "
                                     "Entschlüsselung möglich."));
        result.outcome = Outcome::NoPassPhrase;
        return true;
    };
    if (order == Order::PassPhraseFirst && passPhraseMissing())
        return result;
    // The chosen file may lie in the storage directory already, reached through any path: then
    // it is neither asked about nor copied, and never deleted.
    const QString copy = dir + name;
    const bool chosenFromDir = fs::sameFile(copy, path);
    if (!chosenFromDir && fs::fileExists(copy) &&
        !dialogs.confirm(QStringLiteral("Die Datei \"") + name +
                         QStringLiteral(" existiert bereits, soll diese überschrieben werden?"))) {
        result.outcome = Outcome::Declined;
        return result;
    }
    if (order == Order::CopyQuestionFirst && passPhraseMissing())
        return result;

    result.directory = dir;
    if (onDirectory)
        onDirectory(dir);
    const QString output = FreeFolderPath(dir, name);
    fs::makeDirOrRaise(output);
    result.outputFolder = output;
    if (onOutputFolder)
        onOutputFolder(output);
    // The copy replaces an older one only once it is complete; a failed copy keeps the old one
    // and is not reported, since the library reads the chosen file itself.
    if (!chosenFromDir)
        fs::copyFile(path, copy, true);

    PackingBridge& packer = m_services.packer();
    packer.setActivity(PackingBridge::Activity{name, {}});
    result.callFailed = !packer.UnpackArchive(output, passPhrase, path, result.errorText);
    if (!result.callFailed && !result.errorText.isEmpty())
        dialogs.error(result.errorText);
    result.outcome = Outcome::Unpacked;
    return result;
}

} // namespace tolvane
