#include "app/Application.h"

#include "app/uInfo.h"
#include "app/uMain.h"
#include "masterdata/gui/uStamm.h"
#include "platform/FileSystem.h"
#include "platform/gui/BusyDialog.h"
#include "platform/gui/Shell.h"

#include <QFileInfo>

namespace tolvane {

Application::Application(const QString& exeName, Dialogs& dialogs, WorkAreaServices::Explorer explorer)
    : m_settings(fs::directoryOf(exeName) + QStringLiteral("tolvane.ini")), m_store(exeName, dialogs),
      m_packer(fs::directoryOf(exeName), dialogs),
      m_services(m_store, m_settings, dialogs, m_packer,
                 explorer ? std::move(explorer) : &Shell::exploreFolder)
{
    // The packing library works on a worker thread behind a busy dialog.
    m_packer.runner = &BusyDialog::run;
    m_frmMain = std::make_unique<TfrmMain>(exeName, m_settings, m_services);
    m_frmStamm = new TfrmStamm(m_store, dialogs, m_frmMain.get());
    m_frmInfo = new TfrmInfo(m_frmMain.get());
    m_frmMain->setWindows(m_frmStamm, m_frmInfo);
}

// The windows go first: the main window flushes the settings file as it is destroyed, and the
// key window holds the store.
Application::~Application()
{
    m_frmMain.reset();
}

} // namespace tolvane
