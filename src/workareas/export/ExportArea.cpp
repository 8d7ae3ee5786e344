#include "workareas/export/ExportArea.h"

#include "common/xProcs.h"
#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/Dialogs.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/answer/FileNameRules.h"

namespace tolvane {

namespace {

const QString kNoTarget = QStringLiteral(
    "Bevor Sie Ihre Exportdateien verschlüsseln, geben Sie bitte einen gültigen Ausgabepfad an.");
const QString kDialogTitle = QStringLiteral("Auswählen des zu verschlüsselnden Datenexports");
const QString kDialogFilter = QStringLiteral("Header - Dateien (Header.*);;Alle Dateien (*.*)");

QString overwriteQuestion(const QString& file)
{
    return QStringLiteral("Die Datei \"") + file +
           QStringLiteral("\" existiert bereits, soll diese überschrieben werden?");
}

// The extension of a file name without its dot, at most its first 10 characters.
QString transactionNumberText(const QString& path)
{
    const QString name = fs::fileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).left(10);
}

} // namespace

ExportArea::ExportArea(WorkAreaServices& services) : m_services(services) {}

QString ExportArea::regNrText() const
{
    return m_regNrIndex >= 0 && m_regNrIndex < m_regNrs.size() ? m_regNrs.at(m_regNrIndex) : QString();
}

void ExportArea::changed()
{
    if (onChanged)
        onChanged();
}

void ExportArea::emptyLists()
{
    m_transactionLines.clear();
    m_transaction = -1;
    m_files.clear();
    m_file = -1;
}

void ExportArea::reset()
{
    // The export selection itself and "Pfad im Explorer öffnen" stay as they are.
    m_regNrs.clear();
    m_regNrIndex = -1;
    emptyLists();
    m_sourcePath.clear();
    m_targetPath.clear();
    m_controls.viewVisible = false;
    m_controls.deleteEnabled = false;
    m_controls.erzeugenVisible = false;
    m_controls.searchExportEnabled = false;
    changed();
}

void ExportArea::setRegNrList(const QStringList& regNrs)
{
    m_regNrs = regNrs;
    m_regNrIndex = -1;
    changed();
}

void ExportArea::chooseRegNr(int index)
{
    if (index < -1 || index >= m_regNrs.size() || index == m_regNrIndex)
        return;
    m_regNrIndex = index;
    cboxExRegnrPropertiesChange();
    changed();
}

void ExportArea::cboxExRegnrPropertiesChange()
{
    const QString regNr = regNrText();
    if (regNr.isEmpty())
        return;
    m_dialogFolder = m_services.ReadSetting(QString::fromLatin1(kSettingsKey), regNr);
    m_sourcePath = m_dialogFolder;
    // Entry i of the list is record i of the store.
    const MasterDataStore& store = m_services.store();
    m_targetPath = store.isValidIndex(m_regNrIndex) ? store.record(m_regNrIndex).FDirs.VExport() : QString();
    emptyLists();
    m_controls.erzeugenVisible = false;
    m_controls.deleteEnabled = false;
    m_controls.openDirEnabled = false;
    updateFileView();
    changed();
}

void ExportArea::updateFileView()
{
    if (fs::dirExists(m_targetPath)) {
        m_viewRoot = m_targetPath;
        m_controls.viewVisible = true;
    } else {
        m_controls.viewVisible = false;
    }
}

void ExportArea::bitbtnGetTransaktionClick()
{
    const QString regNr = regNrText();
    if (regNr.isEmpty()) {
        m_services.dialogs().information(WorkAreaServices::noRegNrChosenText());
        return;
    }
    const QString key = QString::fromLatin1(kSettingsKey);
    m_dialogFolder = m_services.ReadSetting(key, regNr);
    m_sourcePath = m_dialogFolder;
    changed();

    FileDialogOptions options;
    options.title = kDialogTitle;
    options.filter = kDialogFilter;
    options.initialDir = m_dialogFolder;
    options.multiSelect = true;
    options.mustExist = false;
    QStringList chosen = m_services.dialogs().openFiles(options);
    if (chosen.isEmpty())
        return;

    const QString source = fs::directoryOf(chosen.first());
    m_dialogFolder = fs::dialogFolderForm(source);
    m_services.WriteSetting(key, regNr, m_dialogFolder);
    m_sourcePath = source;
    fs::sortNames(chosen);

    emptyLists();

    const MasterDataStore& store = m_services.store();
    FExport.ExpRegNr = regNr;
    FExport.ExpDesKey =
        store.isValidIndex(m_regNrIndex) ? store.record(m_regNrIndex).FKey.DesKey() : QString();
    FExport.ExpAnzahl = qint32(chosen.size());
    FExport.ExpTransaktionen.clear();
    for (const QString& path : std::as_const(chosen)) {
        TTransaktion t;
        t.TrNrText = transactionNumberText(path);
        const std::optional<qint32> number = textToInt(t.TrNrText);
        if (!number) {
            // Nothing of a half-built selection may be generated.
            discardSelection();
            throw TolvaneError(QStringLiteral("'") + t.TrNrText +
                               QStringLiteral("' ist kein gültiger Integerwert"));
        }
        t.TrNr = *number;
        const QString pattern = QStringLiteral("*.") + t.TrNrText;
        t.TrDateinamen = store.ListFileNames(source, pattern);
        t.TrDateien = store.ListFiles(source, pattern);
        t.TrName = QStringLiteral("t-") + FExport.ExpRegNr + u'-' + t.TrNrText;
        FExport.ExpTransaktionen.append(t);
        m_transactionLines << FExport.ExpRegNr + QStringLiteral(" - Transaktion ") + t.TrNrText;
    }
    showFilesOf(0);
    m_controls.searchExportEnabled = true;
    m_controls.erzeugenVisible = true;
    m_controls.deleteEnabled = true;
    m_controls.openDirEnabled = true;
    changed();
}

void ExportArea::discardSelection()
{
    FExport.ExpAnzahl = 0;
    FExport.ExpTransaktionen.clear();
    emptyLists();
    m_controls.erzeugenVisible = false;
    m_controls.deleteEnabled = false;
    changed();
}

void ExportArea::showFilesOf(int transaction)
{
    m_transaction = transaction;
    m_files = transaction >= 0 && transaction < FExport.ExpTransaktionen.size()
                  ? FExport.ExpTransaktionen.at(transaction).TrDateinamen
                  : QStringList();
    m_file = -1;
}

void ExportArea::chooseTransaction(int line)
{
    if (line < 0 || line >= m_transactionLines.size())
        return;
    m_transaction = line;
    lbExpTransaktionenClick();
}

void ExportArea::lbExpTransaktionenClick()
{
    showFilesOf(m_transaction);
    changed();
}

void ExportArea::chooseFile(int row)
{
    m_file = row >= 0 && row < m_files.size() ? row : -1;
    changed();
}

void ExportArea::bitbtnDeleteClick()
{
    if (m_file < 0 || m_transaction < 0 || m_transaction >= FExport.ExpTransaktionen.size())
        return;
    TTransaktion& t = FExport.ExpTransaktionen[m_transaction];
    if (m_file >= t.TrDateinamen.size())
        return;
    t.TrDateinamen.removeAt(m_file);
    t.TrDateien.removeAt(m_file);
    showFilesOf(m_transaction);
    // ">> 3DES" comes back only with a new selection, even if other transactions have files.
    if (m_files.isEmpty())
        m_controls.erzeugenVisible = false;
    changed();
}

void ExportArea::bitbtnSearchExportClick()
{
    m_targetPath = m_services.store().ChooseDirectory(m_targetPath);
    updateFileView();
    changed();
}

void ExportArea::bitbtnExpOpenDirClick()
{
    if (!m_targetPath.isEmpty())
        m_services.ExploreFolder(m_targetPath);
}

ExportArea::Generation ExportArea::bitbtnErzeugenClick()
{
    m_written.clear();
    if (FExport.ExpAnzahl == 0)
        return Generation::NothingToDo;
    if (!fs::dirExists(m_targetPath)) {
        m_services.dialogs().information(kNoTarget);
        if (onFocusSearchExport)
            onFocusSearchExport();
        return Generation::Stopped;
    }
    for (int k = 0; k < FExport.ExpTransaktionen.size(); ++k) {
        if (!generate(k))
            return Generation::Stopped;
    }
    emptyLists();
    m_controls.deleteEnabled = false;
    m_controls.erzeugenVisible = false;
    m_controls.searchExportEnabled = false;
    m_viewRoot = m_targetPath;
    ++m_viewRefreshes;
    changed();
    return Generation::Completed;
}

bool ExportArea::generate(int k)
{
    const TTransaktion& t = FExport.ExpTransaktionen.at(k);
    const QString base = m_targetPath + t.TrName;
    const QString file = base + QStringLiteral(".zip.3des");
    // An existing file is replaced by the library only once the new one is complete, so a
    // failed pack keeps it.
    if (fs::fileExists(file) && !m_services.dialogs().confirm(overwriteQuestion(file)))
        return false;

    PackingBridge& packer = m_services.packer();
    packer.setActivity(PackingBridge::Activity{
        fs::fileName(file),
        QStringLiteral("Transaktion %1 von %2").arg(k + 1).arg(FExport.ExpTransaktionen.size())});
    QString error;
    if (!packer.PackFiles(base, FExport.ExpDesKey, t.TrDateien, error))
        return false;
    if (!error.isEmpty()) {
        m_services.dialogs().error(error);
        return false;
    }

    const QString folder = archiveFolderFor(t);
    fs::makeDirOrRaise(folder);
    for (int j = 0; j < t.TrDateien.size(); ++j) {
        // A file that cannot be copied is skipped; the transaction file holds it all the same.
        fs::copyFile(t.TrDateien.at(j), folder + fs::separator() + t.TrDateinamen.at(j), true);
    }
    m_written.append(Written{file, folder});
    return true;
}

QString ExportArea::archiveFolderFor(const TTransaktion& t) const
{
    const QString base = m_targetPath + QStringLiteral("v_t-") + FExport.ExpRegNr + u'-' +
                         QString::number(t.TrNr) + QStringLiteral(".zip.3des");
    QString name = base;
    for (int n = 1; fs::dirExists(name); ++n)
        name = base + u'_' + QString::number(n);
    return name;
}

} // namespace tolvane
