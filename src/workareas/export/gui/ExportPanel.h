#pragma once

#include "workareas/gui/WorkAreaPanel.h"

namespace tolvane {

// The export work area pExport.
class ExportPanel : public WorkAreaPanel {
    Q_OBJECT
public:
    explicit ExportPanel(QWidget* parent = nullptr);

    void resetArea() override;
    void fillRegNrList(const QStringList& regNrs) override;
};

} // namespace tolvane
