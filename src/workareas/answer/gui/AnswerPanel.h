#pragma once

#include "workareas/answer/AnswerArea.h"
#include "workareas/gui/WorkAreaPanel.h"

class QFrame;
class QListWidget;
class QPushButton;

namespace tolvane {

class Dialogs;
class PathLabel;
class ShellFileView;
class WorkAreaServices;

// The answer work area pAntwort. It builds the named controls, mirrors the AnswerArea after
// every change and forwards the user's actions to it. Answer files dropped on it are decrypted
// as if chosen in its file dialog.
class AnswerPanel : public WorkAreaPanel {
    Q_OBJECT
public:
    explicit AnswerPanel(WorkAreaServices& services, QWidget* parent = nullptr);
    ~AnswerPanel() override;

    AnswerArea& area() { return m_area; }

    void resetArea() override;
    bool decryptFromCommandLine(const QString& path) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildUi();
    void syncFromArea();

    AnswerArea m_area;
    Dialogs& m_dialogs;
    QPushButton* bitbtnSearchAntwort = nullptr;
    QFrame* pAntAusgabePfad = nullptr;
    QListWidget* lbAntFiles = nullptr;
    PathLabel* stAntAusgabePfad = nullptr;
    PathLabel* stAntUnterPfad = nullptr;
    ShellFileView* slAntAusgabePfad = nullptr;
    QPushButton* bitbtnAntOpenExplorer = nullptr;
};

} // namespace tolvane
