#pragma once

#include "masterdata/uclassStamm.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace tolvane {

class Dialogs;

// All key records of the application directory, in store order (the key file paths sorted
// case-insensitively with the user's locale). The rest of the system reaches master data only
// through it; only the key management window changes records, and then reloads.
class MasterDataStore : public QObject {
    Q_OBJECT
public:
    // exeName is the full path of the executable; its directory is the application directory.
    MasterDataStore(QString exeName, Dialogs& dialogs);
    ~MasterDataStore() override;
    MasterDataStore(const MasterDataStore&) = delete;
    MasterDataStore& operator=(const MasterDataStore&) = delete;

    // Drops every record and loads every key file again. A file that fails is left out (its
    // reason has been shown) and the load goes on.
    void LoadKeyFiles();
    // The key files the last load left out, by path (entries that are no files do not count).
    const QStringList& leftOut() const { return m_leftOut; }
    // Whether the error box of a file that raised an error while loading names the file in front
    // of the error's own text, which does not ("Versuch hinter dem Dateiende zu lesen"). The
    // window shows the bare text; the command line, whose messages run together, names the file.
    bool namePathInLoadErrors = false;

    int FCount() const { return int(FStamm.size()); }
    // Record access, 0 <= i < FCount().
    const TStamm& record(int i) const { return *FStamm.at(size_t(i)); }
    bool isValidIndex(int i) const { return i >= 0 && i < FCount(); }
    // Write access for the key management window, the only place that changes records.
    TStamm& editableRecord(int i) { return *FStamm.at(size_t(i)); }
    // Appends a record at the end of the store order and returns it.
    TStamm& appendRecord(std::unique_ptr<TStamm> record);
    // The index of the last record whose registration number equals regNr exactly, or -1.
    int FindRegNr(const QString& regNr) const;

    QStringList ListFiles(const QString& dir, const QString& pattern) const;
    QStringList ListFileNames(const QString& dir, const QString& pattern) const;
    // The directory chooser; the chosen directory with a trailing separator, empty on cancel.
    QString ChooseDirectory(const QString& proposed);

    const QString& appDir() const { return m_appDir; }
    const QString& exeName() const { return m_exeName; }
    Dialogs& dialogs() const { return m_dialogs; }

    int FCurrent = 0;
    QString FLastDir;

Q_SIGNALS:
    // Sent at the end of every load, so every view of the store can refresh.
    void loaded();

private:
    QString m_exeName;
    QString m_appDir;
    Dialogs& m_dialogs;
    std::vector<std::unique_ptr<TStamm>> FStamm;
    QStringList m_leftOut;
};

} // namespace tolvane
