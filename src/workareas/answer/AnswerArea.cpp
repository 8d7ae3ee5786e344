#include "workareas/answer/AnswerArea.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/answer/ArchiveDecryption.h"

namespace tolvane {

namespace {

const QString kDialogTitle = QStringLiteral("Auswählen der verschlüsselten Antwortdatei");
const QString kDialogFilter = QStringLiteral("Triple-DES-Dateien (*.3des)");

using Outcome = ArchiveDecryption::Outcome;

} // namespace

AnswerArea::AnswerArea(WorkAreaServices& services) : m_services(services) {}

void AnswerArea::changed()
{
    if (onChanged)
        onChanged();
}

void AnswerArea::reset()
{
    m_files.clear();
    m_selection = -1;
    m_directoryText.clear();
    m_subFolderText.clear();
    m_controls.viewVisible = false;
    m_controls.outputPanelVisible = true;
    m_controls.openExplorerVisible = false;
    changed();
}

void AnswerArea::clearList()
{
    m_files.clear();
    AnswerOutputFolders.clear();
    m_selection = -1;
}

void AnswerArea::showFolder(const QString& folder)
{
    m_viewRoot = folder;
    m_controls.viewVisible = true;
    m_controls.outputPanelVisible = true;
    m_directoryText = fs::directoryOf(folder);
    m_subFolderText = fs::fileName(folder);
}

void AnswerArea::showProgressOf(ArchiveDecryption& steps)
{
    // The directory and the new folder's name show as soon as they are settled, so they stay
    // visible when the library or the folder creation fails.
    steps.onDirectory = [this](const QString& dir) {
        m_directoryText = dir;
        changed();
    };
    steps.onOutputFolder = [this](const QString& folder) {
        m_subFolderText = fs::fileName(folder) + fs::separator();
        changed();
    };
}

void AnswerArea::bitbtnSearchAntwortClick()
{
    const QString section = QString::fromLatin1(kSettingsSection);
    const QString key = QString::fromLatin1(kSettingsKey);
    m_dialogFolder = m_services.ReadSetting(key, section);

    FileDialogOptions options;
    options.title = kDialogTitle;
    options.filter = kDialogFilter;
    options.initialDir = m_dialogFolder;
    options.multiSelect = true;
    options.mustExist = true;
    const QStringList chosen = m_services.dialogs().openFiles(options);
    if (chosen.isEmpty()) {
        m_run = Run{.cancelled = true};
        return;
    }
    m_dialogFolder = fs::dialogFolderForm(fs::directoryOf(chosen.first()));
    m_services.WriteSetting(key, section, m_dialogFolder);
    decryptFiles(chosen);
}

void AnswerArea::dropFiles(const QStringList& paths)
{
    if (!paths.isEmpty())
        decryptFiles(paths);
}

void AnswerArea::decryptFiles(const QStringList& paths)
{
    clearList();
    // Ended until the last file is done: a file that ends the run, and an error raised on the
    // way, leave it so.
    m_run = Run{.ended = true, .files = int(paths.size())};
    changed();

    ArchiveDecryption steps(m_services, ArchiveDecryption::Kind::Answer);
    showProgressOf(steps);
    for (const QString& path : paths) {
        const ArchiveDecryption::Result r = steps.decrypt(path, ArchiveDecryption::Order::PassPhraseFirst);
        switch (r.outcome) {
        case Outcome::Unpacked:
            // Listed also when the library complained: its output folder is there, maybe empty.
            m_files << fs::fileName(path);
            AnswerOutputFolders << r.outputFolder;
            m_selection = int(m_files.size()) - 1;
            if (!r.callFailed && r.errorText.isEmpty())
                ++m_run.unpackedCleanly;
            changed();
            break;
        case Outcome::Missing:
        case Outcome::NoRecord:
        case Outcome::NoDirectory:
        case Outcome::NoPassPhrase:
            break; // the next file
        case Outcome::BadName:
        case Outcome::Declined:
            return; // the rest of the files and the final display are left out
        }
    }
    m_run.ended = false;
    if (!m_files.isEmpty()) {
        m_controls.openExplorerVisible = true;
        showFolder(AnswerOutputFolders.last());
    }
    changed();
}

void AnswerArea::chooseFile(int line)
{
    if (line < 0 || line >= m_files.size())
        return;
    m_selection = line;
    lbAntFilesClick();
}

void AnswerArea::lbAntFilesClick()
{
    if (m_selection < 0 || m_selection >= AnswerOutputFolders.size())
        return;
    showFolder(AnswerOutputFolders.at(m_selection));
    // After a run that a later file ended, the view and the button come with the first click.
    m_controls.openExplorerVisible = true;
    changed();
}

void AnswerArea::bitbtnAntOpenExplorerClick()
{
    if (!m_viewRoot.isEmpty())
        m_services.ExploreFolder(m_viewRoot);
}

bool AnswerArea::DecryptAnswerFile(const QString& path, bool commandLineStart)
{
    if (onShowArea)
        onShowArea();
    clearList();
    changed();

    ArchiveDecryption steps(m_services, ArchiveDecryption::Kind::Answer);
    showProgressOf(steps);
    const ArchiveDecryption::Result r = steps.decrypt(path, ArchiveDecryption::Order::CopyQuestionFirst);
    if (r.outcome != Outcome::Unpacked)
        return false;

    // The texts keep what the steps showed; no line is selected.
    AnswerOutputFolders << r.outputFolder;
    m_files << fs::fileName(path);
    m_viewRoot = r.outputFolder;
    m_controls.viewVisible = true;
    m_controls.outputPanelVisible = true;
    m_controls.openExplorerVisible = true;
    changed();
    if (commandLineStart)
        m_services.ExploreFolder(r.outputFolder);
    return true;
}

} // namespace tolvane
