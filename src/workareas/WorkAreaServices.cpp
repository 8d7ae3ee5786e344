#include "workareas/WorkAreaServices.h"

#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"

namespace tolvane {

WorkAreaServices::WorkAreaServices(MasterDataStore& store, ProfileFile& settings, Dialogs& dialogs,
                                   PackingBridge& packer, Explorer explorer)
    : m_store(store), m_settings(settings), m_dialogs(dialogs), m_packer(packer),
      m_explorer(std::move(explorer))
{
}

QString WorkAreaServices::ReadSetting(const QString& key, const QString& section) const
{
    return m_settings.read(key, section, fs::defaultDialogFolder());
}

void WorkAreaServices::WriteSetting(const QString& key, const QString& section, const QString& value)
{
    m_settings.write(key, section, value);
}

void WorkAreaServices::ExploreFolder(const QString& folder)
{
    if (m_explorer)
        m_explorer(folder);
}

QString WorkAreaServices::noRegNrChosenText()
{
    return QStringLiteral(
        "Bitte wählen Sie die Registriernummer des zu verschlüsselnden Datenexports aus! Ist diese nicht in der "
        "Auswahlliste enthalten, importieren Sie die unter dem Punkt \"Stammdaten\" die sogenannte Keydatei Ihrer "
        "datenengegennehmenden Stelle.");
}

} // namespace tolvane
