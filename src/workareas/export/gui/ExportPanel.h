#pragma once

#include "workareas/export/ExportArea.h"
#include "workareas/gui/WorkAreaPanel.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace tolvane {

class Dialogs;
class PathLabel;
class ShellFileView;
class WorkAreaServices;

// The export work area pExport. It builds the named controls, mirrors the ExportArea after
// every change and forwards the user's actions to it.
class ExportPanel : public WorkAreaPanel {
    Q_OBJECT
public:
    ExportPanel(WorkAreaServices& services, QWidget* parent = nullptr);
    ~ExportPanel() override;

    ExportArea& area() { return m_area; }

    void resetArea() override;
    void fillRegNrList(const QStringList& regNrs) override;

private:
    void buildUi(Dialogs& dialogs);
    void syncFromArea();

    ExportArea m_area;
    QComboBox* cboxExRegnr = nullptr;
    PathLabel* stquellpath = nullptr;
    PathLabel* stZielPath = nullptr;
    QPushButton* bitbtnSearchExport = nullptr;
    QPushButton* bitbtnGetTransaktion = nullptr;
    QListWidget* lbExpTransaktionen = nullptr;
    QListWidget* lbExpQuelle = nullptr;
    QPushButton* bitbtnDelete = nullptr;
    QPushButton* bitbtnErzeugen = nullptr;
    ShellFileView* slExpAusgabe = nullptr;
    QPushButton* bitbtnExpOpenDir = nullptr;
    int m_viewRefreshes = 0;
};

} // namespace tolvane
