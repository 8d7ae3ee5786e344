#pragma once

#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/AppDirs.h"
#include "platform/ProfileFile.h"
#include "workareas/WorkAreaServices.h"

#include <memory>

namespace tolvane {

class Dialogs;
class TfrmInfo;
class TfrmMain;
class TfrmStamm;

// Everything one run of Tolvane consists of, put together in the order of start-up: the
// settings file and the main window, the key management window (its creation loads the store)
// and the homepage window. main() and the window tests build the application the same way.
class Application {
public:
    // exeName is the full path of the executable; the key files and tolvane.ini lie in the
    // application directory that AppDirs gives for its folder.
    // explorer opens folders in the desktop's file manager; tests pass a stand-in.
    Application(const QString& exeName, Dialogs& dialogs, WorkAreaServices::Explorer explorer = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    TfrmMain& frmMain() const { return *m_frmMain; }
    TfrmStamm& frmStamm() const { return *m_frmStamm; }
    TfrmInfo& frmInfo() const { return *m_frmInfo; }
    MasterDataStore& store() { return m_store; }
    WorkAreaServices& services() { return m_services; }

    const AppDirs& dirs() const { return m_dirs; }

private:
    AppDirs m_dirs;
    ProfileFile m_settings;
    MasterDataStore m_store;
    PackingBridge m_packer;
    WorkAreaServices m_services;
    std::unique_ptr<TfrmMain> m_frmMain;
    // Children of the main window, which owns them.
    TfrmStamm* m_frmStamm = nullptr;
    TfrmInfo* m_frmInfo = nullptr;
};

} // namespace tolvane
