#pragma once

#include "masterdata/KeyManager.h"
#include "masterdata/MasterDataStore.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

namespace tolvane {

class Dialogs;

// The key management window frmStamm. It holds the master data store of the run (the work areas
// read it through their services) and mirrors the KeyManager, which holds the window's logic.
// Closing it only hides it.
class TfrmStamm : public QDialog {
    Q_OBJECT
public:
    // Creating the window loads the store from the key files of the application directory.
    TfrmStamm(MasterDataStore& store, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TfrmStamm() override;

    MasterDataStore& store() { return m_store; }
    KeyManager& keys() { return m_keys; }

    // Escape and the close box ask about unsaved changes first.
    void reject() override;

public Q_SLOTS:
    void lbRegNrClick(int row);
    void lbRegNrDblClick(int row);
    void bitbtnBearbeitenClick() { m_keys.bitbtnBearbeitenClick(); }
    void bitbtnNeuClick() { m_keys.bitbtnNeuClick(); }
    void bitbtnSpeichernClick() { m_keys.bitbtnSpeichernClick(); }
    void bitbtnAbbrechenClick() { m_keys.bitbtnAbbrechenClick(); }
    void bitbtnLoeschenClick() { m_keys.bitbtnLoeschenClick(); }
    void bitbtnImportClick() { m_keys.bitbtnImportClick(); }
    void bitbtnExportClick() { m_keys.bitbtnExportClick(); }
    void bitBtnSearchRootClick() { m_keys.chooseDirectoryFor(KeyManager::RootDir); }
    void bitbtnSearchExportClick() { m_keys.chooseDirectoryFor(KeyManager::ExportDir); }
    void bitbtnAntwortClick() { m_keys.chooseDirectoryFor(KeyManager::AntwortDir); }
    void bitbtnSearchNewsClick() { m_keys.chooseDirectoryFor(KeyManager::NewsDir); }
    void bitbtnVVorschlagClick() { m_keys.bitbtnVVorschlagClick(); }
    void bitbtnVErzeugenClick() { m_keys.bitbtnVErzeugenClick(); }

private:
    void buildUi();
    void syncFromModel();
    void focusField(KeyManager::Field field);
    QLineEdit* edit(KeyManager::Field field) const;

    Dialogs& m_dialogs;
    MasterDataStore& m_store;
    KeyManager m_keys;

    QListWidget* lbRegNr = nullptr;
    QMenu* popmStamm = nullptr;
    QLabel* stRegNr = nullptr;
    QLabel* stVQZ = nullptr;
    QLabel* stStandAllg = nullptr;
    QLineEdit* edDesKey = nullptr;
    QLineEdit* edVRootDir = nullptr;
    QLineEdit* edVExport = nullptr;
    QLineEdit* edVAntwort = nullptr;
    QLineEdit* edVNews = nullptr;
    std::array<QPushButton*, 6> m_dirButtons{}; // the four "Durchsuchen", proposal, creation
    QPushButton* bitbtnNeu = nullptr;
    QPushButton* cxbtnImport = nullptr;
    QPushButton* cxbtnexport = nullptr;
    QPushButton* bitbtnspeichern = nullptr;
    QPushButton* bitbtnabbrechen = nullptr;
};

} // namespace tolvane
