#pragma once

#include "workareas/gui/WorkAreaPanel.h"

namespace tolvane {

// The news work area pNews.
class NewsPanel : public WorkAreaPanel {
    Q_OBJECT
public:
    explicit NewsPanel(QWidget* parent = nullptr);

    void resetArea() override;
    void fillRegNrList(const QStringList& regNrs) override;
    void enterArea() override;
};

} // namespace tolvane
