#include "workareas/news/NewsArea.h"

#include "common/xProcs.h"
#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/answer/ArchiveDecryption.h"
#include "workareas/answer/FileNameRules.h"

#include <algorithm>

namespace tolvane {

namespace {

const QString kNoSources = QStringLiteral("Bitte wählen Sie zunächst zu verschlüsselnde Dateien aus.");
const QString kNoDescription = QStringLiteral("Bitte geben Sie eine Dateibezeichnung an.");
const QString kBadDescription =
    QStringLiteral("Die Dateibezeichnung darf keines der Zeichen \\ / : * ? \" < > | und keine Steuerzeichen "
                   "enthalten.");
const QString kNewsFilter = QStringLiteral("3DES - Dateien (*.3des)");

// Characters that cannot stand in a file name on the receiving side's file systems, and would
// otherwise lead the news file into another folder.
bool isForbiddenInName(QChar c)
{
    return c.category() == QChar::Other_Control || QStringView(u"\\/:*?\"<>|").contains(c);
}

} // namespace

NewsArea::NewsArea(WorkAreaServices& services) : m_services(services) {}

QString NewsArea::regNrText() const
{
    return m_regNrIndex >= 0 && m_regNrIndex < m_regNrs.size() ? m_regNrs.at(m_regNrIndex) : QString();
}

void NewsArea::changed()
{
    if (onChanged)
        onChanged();
}

void NewsArea::focus(const std::function<void()>& callback)
{
    if (callback)
        callback();
}

void NewsArea::reset()
{
    // The texts, the description and the source list stay; only the list is refilled.
    m_regNrs.clear();
    m_regNrIndex = -1;
    changed();
}

void NewsArea::setRegNrList(const QStringList& regNrs)
{
    m_regNrs = regNrs;
    m_regNrIndex = -1;
    changed();
}

void NewsArea::enterArea()
{
    // Choosing the area starts a new news file from nothing; bitbtnNwsErzeugen keeps its state.
    m_regNrIndex = -1;
    m_description.clear();
    m_newsPath.clear();
    m_outputPath.clear();
    m_sources.clear();
    m_source = -1;
    changed();
}

void NewsArea::chooseRegNr(int index)
{
    if (index < -1 || index >= m_regNrs.size() || index == m_regNrIndex)
        return;
    m_regNrIndex = index;
    cboxNwRegNrChange();
}

void NewsArea::chooseSourceFile(int row)
{
    m_source = row >= 0 && row < m_sources.size() ? row : -1;
    changed();
}

void NewsArea::setDescription(const QString& text)
{
    if (text == m_description)
        return;
    m_description = text;
    changed();
}

void NewsArea::setOpenExplorer(bool open)
{
    if (open == m_openExplorer)
        return;
    m_openExplorer = open;
    changed();
}

int NewsArea::chosenRecord() const
{
    const QString regNr = regNrText();
    return regNr.isEmpty() ? -1 : m_services.store().FindRegNr(regNr);
}

void NewsArea::cboxNwRegNrChange()
{
    // The list mirrors the store only until the store changes; a number without a key record
    // (or no entry at all) reads no record and counts as no choice.
    const int record = chosenRecord();
    m_newsPath = record >= 0 ? m_services.store().record(record).FDirs.VNews() : QString();
    changed();
}

bool NewsArea::regNrChosen()
{
    if (chosenRecord() >= 0)
        return true;
    m_services.dialogs().information(WorkAreaServices::noRegNrChosenText());
    return false;
}

void NewsArea::bitbtnNwsGetFilesClick()
{
    if (!regNrChosen())
        return;
    const QStringList chosen = chooseFiles(QStringLiteral("Alle Dateien (*.*)"), regNrText(), true);
    if (!chosen.isEmpty())
        appendSourceFiles(chosen);
}

QStringList NewsArea::chooseFiles(const QString& filter, const QString& section, bool mustExist)
{
    FileDialogOptions options;
    options.filter = filter;
    options.initialDir = m_services.ReadSetting(QString::fromLatin1(kSettingsKey), section);
    options.multiSelect = true;
    options.mustExist = mustExist;
    return m_services.dialogs().openFiles(options);
}

void NewsArea::rememberFolder(const QString& section, const QStringList& chosen)
{
    m_services.WriteSetting(QString::fromLatin1(kSettingsKey), section,
                            fs::dialogFolderForm(fs::directoryOf(chosen.first())));
}

void NewsArea::dropSourceFiles(const QStringList& files)
{
    if (!files.isEmpty() && regNrChosen())
        appendSourceFiles(files);
}

void NewsArea::appendSourceFiles(const QStringList& files)
{
    rememberFolder(regNrText(), files);
    // A file already in the list is added again; creation refuses two files of one name.
    m_sources << files;
    m_erzeugenEnabled = true;
    changed();
}

void NewsArea::bitbtnClick()
{
    if (m_source < 0 || m_source >= m_sources.size())
        return;
    m_sources.removeAt(m_source);
    m_source = -1;
    if (m_sources.isEmpty())
        m_erzeugenEnabled = false;
    changed();
}

bool NewsArea::sourcesAndDescriptionAccepted(const QString& description)
{
    Dialogs& dialogs = m_services.dialogs();
    if (m_sources.isEmpty()) {
        dialogs.error(kNoSources);
        focus(onFocusNwsGetFiles);
        return false;
    }
    // The archive holds each file under its own name, and the receiving side's file systems
    // ignore letter case: two such names would overwrite each other there.
    for (int j = 1; j < m_sources.size(); ++j) {
        const QString name = fs::fileName(m_sources.at(j));
        for (int i = 0; i < j; ++i) {
            if (fs::fileName(m_sources.at(i)).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            m_source = j;
            changed();
            const QString onlyOnce =
                QStringLiteral(" Eine Newsdatei kann jeden Dateinamen nur einmal aufnehmen; "
                               "bitte entfernen Sie ");
            if (m_sources.at(i) == m_sources.at(j))
                dialogs.error(QStringLiteral("Die Datei \"") + m_sources.at(j) +
                              QStringLiteral("\" steht zweimal in der Liste.") + onlyOnce +
                              QStringLiteral("einen der beiden Einträge aus der Liste."));
            else
                dialogs.error(
                    QStringLiteral("Die Dateien \"") + m_sources.at(i) + QStringLiteral("\" und \"") +
                    m_sources.at(j) +
                    QStringLiteral("\" haben denselben Dateinamen (Groß- und Kleinschreibung zählen "
                                   "nicht).") +
                    onlyOnce + QStringLiteral("eine der beiden Dateien aus der Liste."));
            return false;
        }
    }
    if (description.isEmpty()) {
        dialogs.error(kNoDescription);
        focus(onFocusNewsBezeichnung);
        return false;
    }
    if (std::any_of(description.begin(), description.end(), isForbiddenInName)) {
        dialogs.error(kBadDescription);
        focus(onFocusNewsBezeichnung);
        return false;
    }
    return true;
}

NewsArea::Creation NewsArea::bitbtnNwsErzeugenClick()
{
    m_created = {};
    Dialogs& dialogs = m_services.dialogs();
    const QString regNr = regNrText();
    // The description keeps blanks, dots and letter case; only "-" separates the name's fields.
    const QString description = ReplaceChar(m_description, u'-', QStringLiteral("_"));
    if (!sourcesAndDescriptionAccepted(description) || !regNrChosen())
        return Creation::Refused;

    const TStamm& record = m_services.store().record(chosenRecord());
    const QString passPhrase = record.FKey.DesKey();
    if (passPhrase.isEmpty()) {
        // Anyone could open a news file encrypted without a pass phrase.
        dialogs.error(QStringLiteral("Für die Registriernummer \"") + regNr +
                      QStringLiteral("\" wurde kein Schlüsselcode in den Stammdaten hinterlegt. Ohne "
                                     "Schlüsselcode kann keine Newsdatei erstellt werden."));
        return Creation::Refused;
    }
    const QString newsDir = record.FDirs.VNews();
    const QString base = newsFileBaseName(regNr, description);
    const QString fileName = newsFileName(regNr, description);

    QString dir = newsDir;
    if (newsDir.isEmpty() || !fs::dirExists(newsDir)) {
        // Only the folder of the chosen file counts; the name is always the news file name.
        FileDialogOptions options;
        options.filter = kNewsFilter;
        options.initialDir = fs::defaultDialogFolder();
        options.initialName = fileName;
        const QString chosen = dialogs.saveFile(options);
        if (chosen.isEmpty())
            return Creation::Cancelled;
        dir = fs::directoryOf(chosen);
    }
    const QString newsFile = dir + fileName;
    // The library replaces an existing file only once the new one is complete, so nothing is
    // deleted here and a failed pack keeps the old file.
    if (fs::fileExists(newsFile) &&
        !dialogs.confirm(QStringLiteral("Die Datei \"") + fileName +
                         QStringLiteral(" existiert bereits, soll diese überschrieben werden?")))
        return Creation::Cancelled;

    PackingBridge& packer = m_services.packer();
    packer.setActivity(PackingBridge::Activity{fileName, {}});
    QString error;
    if (!packer.PackFiles(dir + base, passPhrase, m_sources, error))
        return Creation::Failed;
    if (!error.isEmpty()) {
        dialogs.error(error);
        return Creation::Failed;
    }
    m_newsPath = dir;
    m_created.newsFile = newsFile;
    changed();

    if (!newsDir.isEmpty() && fs::dirExists(newsDir)) {
        const QString archive = FreeFolderPath(newsDir, fileName);
        fs::makeDirOrRaise(archive);
        m_created.archiveFolder = archive;
        // Copies that fail are not reported: the news file holds everything. A copy replaces an
        // older file only once it is complete.
        if (!fs::sameFile(newsFile, newsDir + fileName))
            fs::copyFile(newsFile, newsDir + fileName, true);
        for (const QString& source : std::as_const(m_sources))
            fs::copyFile(source, archive + fs::separator() + fs::fileName(source), true);
    }
    m_sources.clear();
    m_source = -1;
    m_description.clear();
    changed();
    dialogs.information(QStringLiteral("Newsdatei \"") + dir + base +
                        QStringLiteral(".zip.3des\" wurde erfolgreich erstellt."));
    m_services.ExploreFolder(dir);
    return Creation::Created;
}

void NewsArea::bitbtnNwsEntschluesselnClick()
{
    const QStringList chosen = chooseFiles(kNewsFilter, QString::fromLatin1(kNewsSection), false);
    if (!chosen.isEmpty())
        decryptNewsFiles(chosen);
}

void NewsArea::dropNewsFiles(const QStringList& files)
{
    if (!files.isEmpty())
        decryptNewsFiles(files);
}

void NewsArea::decryptNewsFiles(const QStringList& files)
{
    rememberFolder(QString::fromLatin1(kNewsSection), files);
    m_decrypted.clear();
    for (const QString& file : files) {
        if (!DecryptNewsFile(file))
            break;
    }
}

bool NewsArea::DecryptNewsFile(const QString& path)
{
    ArchiveDecryption steps(m_services, ArchiveDecryption::Kind::News);
    const ArchiveDecryption::Result result = steps.decrypt(path, ArchiveDecryption::Order::CopyQuestionFirst);
    if (result.outcome != ArchiveDecryption::Outcome::Unpacked)
        return false;
    m_decrypted.append(Decrypted{path, result.outputFolder, result.errorText});
    m_outputPath = result.outputFolder;
    changed();
    if (m_openExplorer)
        m_services.ExploreFolder(result.outputFolder);
    return true;
}

QStringList NewsArea::sourceFilesOf(const QStringList& paths)
{
    QStringList files;
    for (const QString& path : paths) {
        if (fs::fileExists(path))
            files << path;
    }
    return files;
}

QStringList NewsArea::newsFilesOf(const QStringList& paths)
{
    QStringList files;
    for (const QString& path : paths) {
        if (path.endsWith(QStringLiteral(".3des"), Qt::CaseInsensitive) && !fs::dirExists(path))
            files << path;
    }
    return files;
}

} // namespace tolvane
