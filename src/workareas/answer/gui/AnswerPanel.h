#pragma once

#include "workareas/gui/WorkAreaPanel.h"

namespace tolvane {

// The answer work area pAntwort.
class AnswerPanel : public WorkAreaPanel {
    Q_OBJECT
public:
    explicit AnswerPanel(QWidget* parent = nullptr);

    void resetArea() override;
};

} // namespace tolvane
