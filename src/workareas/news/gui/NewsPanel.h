#pragma once

#include "workareas/gui/WorkAreaPanel.h"
#include "workareas/news/NewsArea.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tolvane {

class Dialogs;
class PathLabel;
class WorkAreaServices;

// The news work area pNews with its groups "Newsdatei erzeugen" and "Newsdatei entschlüsseln".
// It builds the named controls, mirrors the NewsArea after every change and forwards the user's
// actions to it. Files dropped on a group go where that group's file dialog would put them.
class NewsPanel : public WorkAreaPanel {
    Q_OBJECT
public:
    NewsPanel(WorkAreaServices& services, QWidget* parent = nullptr);
    ~NewsPanel() override;

    NewsArea& area() { return m_area; }

    void resetArea() override;
    bool decryptFromCommandLine(const QString& path) override;
    void fillRegNrList(const QStringList& regNrs) override;
    void enterArea() override;

private:
    void buildUi(Dialogs& dialogs);
    QGroupBox* buildCreation(Dialogs& dialogs);
    QGroupBox* buildDecryption(Dialogs& dialogs);
    void syncFromArea();

    NewsArea m_area;
    int m_labelWidth = 0;
    QComboBox* cboxNwRegNr = nullptr;
    QPushButton* bitbtnNwsGetFiles = nullptr;
    QListWidget* lbNwsSourceFiles = nullptr;
    QPushButton* bitbtn = nullptr;
    QLineEdit* edNewsBezeichnung = nullptr;
    PathLabel* stNewsAusgabePfad = nullptr;
    QPushButton* bitbtnNwsErzeugen = nullptr;
    QPushButton* bitbtnNwsEntschluesseln = nullptr;
    QCheckBox* ckboxOpenExplorer = nullptr;
    PathLabel* stNwsAusgabepfad = nullptr;
};

} // namespace tolvane
