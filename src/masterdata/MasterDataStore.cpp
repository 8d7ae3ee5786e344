#include "masterdata/MasterDataStore.h"

#include "platform/Dialogs.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"

namespace tolvane {

MasterDataStore::MasterDataStore(QString exeName, Dialogs& dialogs)
    : m_exeName(std::move(exeName)), m_appDir(fs::directoryOf(m_exeName)), m_dialogs(dialogs)
{
}

MasterDataStore::~MasterDataStore() = default;

void MasterDataStore::LoadKeyFiles()
{
    FCurrent = 0;
    FStamm.clear();
    m_leftOut.clear();
    const QStringList paths = ListFiles(m_appDir, QStringLiteral("*.key"));
    for (const QString& path : paths) {
        // Checked before reading: a file that fails to load may be moved away by it.
        const bool isFile = fs::fileExists(path);
        bool ok = false;
        try {
            auto rec = std::make_unique<TStamm>(QString(), m_exeName, path, ok, m_dialogs);
            if (ok)
                FStamm.push_back(std::move(rec));
        } catch (const TolvaneError& e) {
            // A truncated or foreign file: say why, then go on with the next one.
            m_dialogs.error(namePathInLoadErrors ? path + QStringLiteral(": ") + e.text() : e.text());
            ok = false;
        }
        if (!ok && isFile)
            m_leftOut << path;
    }
    Q_EMIT loaded();
}

TStamm& MasterDataStore::appendRecord(std::unique_ptr<TStamm> record)
{
    FStamm.push_back(std::move(record));
    return *FStamm.back();
}

int MasterDataStore::FindRegNr(const QString& regNr) const
{
    for (int i = FCount() - 1; i >= 0; --i) {
        if (FStamm[size_t(i)]->FRegNr == regNr)
            return i;
    }
    return -1;
}

QStringList MasterDataStore::ListFiles(const QString& dir, const QString& pattern) const
{
    QStringList result;
    for (const QString& name : fs::listNames(dir, pattern))
        result << dir + name;
    // Sorting the full paths gives the same order: they share the directory.
    return result;
}

QStringList MasterDataStore::ListFileNames(const QString& dir, const QString& pattern) const
{
    return fs::listNames(dir, pattern);
}

QString MasterDataStore::ChooseDirectory(const QString& proposed)
{
    const QString start = proposed.isEmpty() ? FLastDir : proposed;
    const QString chosen = m_dialogs.chooseDirectory(start);
    if (chosen.isEmpty())
        return {};
    FLastDir = fs::withSeparator(chosen);
    return FLastDir;
}

} // namespace tolvane
