#pragma once

#include "workareas/export/ExportTypes.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tolvane {

class WorkAreaServices;

// What the export work area shows and does, without widgets: the registration number list and
// its choice, the source and target folders, the transaction and file lists with their
// selection, the state of the buttons and of the file view. The panel mirrors this object after
// every change (onChanged) and forwards its events to the handlers, which carry the names of
// the panel's event handlers. The command line drives the same object.
class ExportArea {
public:
    // The visible and enabled state of the buttons and the file view.
    struct Controls {
        bool erzeugenVisible = false;     // bitbtnErzeugen
        bool deleteEnabled = false;       // bitbtnDelete
        bool searchExportEnabled = false; // bitbtnSearchExport
        bool openDirEnabled = true;       // bitbtnExpOpenDir
        bool viewVisible = false;         // slExpAusgabe
        bool operator==(const Controls&) const = default;
    };
    // How a generation ended.
    enum class Generation { NothingToDo, Completed, Stopped };
    // A transaction that was written: its transaction file and its archive folder.
    struct Written {
        QString transactionFile;
        QString archiveFolder;
    };

    static constexpr const char* kSettingsKey = "E";

    explicit ExportArea(WorkAreaServices& services);
    ExportArea(const ExportArea&) = delete;
    ExportArea& operator=(const ExportArea&) = delete;

    // --- what the panel shows
    const QStringList& regNrList() const { return m_regNrs; } // cboxExRegnr
    int regNrIndex() const { return m_regNrIndex; }           // -1: no registration number chosen
    QString regNrText() const;
    const QString& sourcePath() const { return m_sourcePath; }                 // stquellpath
    const QString& targetPath() const { return m_targetPath; }                 // stZielPath
    const QStringList& transactionLines() const { return m_transactionLines; } // lbExpTransaktionen
    int transactionSelection() const { return m_transaction; }
    const QStringList& fileLines() const { return m_files; } // lbExpQuelle
    int fileSelection() const { return m_file; }
    const Controls& controls() const { return m_controls; }
    // The root of slExpAusgabe; viewRefreshes() counts the refreshes after a generation.
    const QString& viewRoot() const { return m_viewRoot; }
    int viewRefreshes() const { return m_viewRefreshes; }
    // The initial folder of the export file dialog ODExport.
    const QString& dialogFolder() const { return m_dialogFolder; }
    const TExport& selection() const { return FExport; }
    // The transactions written by the last generation, in order.
    const QList<Written>& written() const { return m_written; }

    // Called after every change of what the panel shows, and to put the focus on "ändern".
    std::function<void()> onChanged;
    std::function<void()> onFocusSearchExport;

    // --- the main window's reset: step 1 of ResetWorkAreas, and the refilled list
    void reset();
    void setRegNrList(const QStringList& regNrs);

    // --- what the user does in the panel
    void chooseRegNr(int index);      // picks an entry of cboxExRegnr, then its change handler
    void chooseTransaction(int line); // clicks a line of lbExpTransaktionen
    void chooseFile(int row);         // selects a row of lbExpQuelle (-1: none)

    // --- event handlers
    void cboxExRegnrPropertiesChange();
    void bitbtnGetTransaktionClick();
    void lbExpTransaktionenClick();
    void bitbtnDeleteClick();
    void bitbtnSearchExportClick();
    void bitbtnExpOpenDirClick();
    Generation bitbtnErzeugenClick();

private:
    void changed();
    void updateFileView();
    void emptyLists();
    void showFilesOf(int transaction);
    void discardSelection();
    // Packs transaction k and files its archive copies; false when the generation stops.
    bool generate(int k);
    QString archiveFolderFor(const TTransaktion& t) const;

    WorkAreaServices& m_services;
    TExport FExport;
    QStringList m_regNrs;
    int m_regNrIndex = -1;
    QString m_sourcePath;
    QString m_targetPath;
    QStringList m_transactionLines;
    int m_transaction = -1;
    QStringList m_files;
    int m_file = -1;
    Controls m_controls;
    QString m_viewRoot;
    int m_viewRefreshes = 0;
    QString m_dialogFolder;
    QList<Written> m_written;
};

} // namespace tolvane
