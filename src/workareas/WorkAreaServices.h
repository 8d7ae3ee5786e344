#pragma once

#include <QString>

#include <functional>

namespace tolvane {

class Dialogs;
class MasterDataStore;
class PackingBridge;
class ProfileFile;

// What the work areas need of the rest of the application: the master data store, the
// settings file, the dialogs, the packing library and the file explorer. An area's logic
// reaches them only through this object, so it runs the same under the main window, on the
// command line and in the tests.
class WorkAreaServices {
public:
    // Opens a folder in the desktop's file explorer; raises TolvaneError when it cannot.
    using Explorer = std::function<void(const QString& folder)>;

    WorkAreaServices(MasterDataStore& store, ProfileFile& settings, Dialogs& dialogs, PackingBridge& packer,
                     Explorer explorer);
    WorkAreaServices(const WorkAreaServices&) = delete;
    WorkAreaServices& operator=(const WorkAreaServices&) = delete;

    MasterDataStore& store() const { return m_store; }
    Dialogs& dialogs() const { return m_dialogs; }
    PackingBridge& packer() const { return m_packer; }

    // The stored dialog folder of key in section, or the platform's default dialog folder.
    QString ReadSetting(const QString& key, const QString& section) const;
    // Stores value at once. A value that cannot be saved now is saved by the next write or flush.
    void WriteSetting(const QString& key, const QString& section, const QString& value);
    void ExploreFolder(const QString& folder);

    // What the export and news areas say when a step needs a registration number and none is
    // chosen (the text names the data export in both).
    static QString noRegNrChosenText();

private:
    MasterDataStore& m_store;
    ProfileFile& m_settings;
    Dialogs& m_dialogs;
    PackingBridge& m_packer;
    Explorer m_explorer;
};

} // namespace tolvane
