#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tolvane {

class ArchiveDecryption;
class WorkAreaServices;

// What the answer work area shows and does, without widgets: the list of the answer files of the
// current run with the output folder of each, the two path texts, the file view and the explorer
// button. Each file goes through the shared decryption steps; the panel mirrors this object after
// every change (onChanged) and forwards its events to the handlers, which carry the names of the
// panel's event handlers. The command line drives the same object.
class AnswerArea {
public:
    // The visible state of the result display.
    struct Controls {
        bool outputPanelVisible = true;   // pAntAusgabePfad
        bool viewVisible = false;         // slAntAusgabePfad
        bool openExplorerVisible = false; // bitbtnAntOpenExplorer
        bool operator==(const Controls&) const = default;
    };
    // How a run over several files went: ended early by a file (a wrong name, a declined
    // question), and how many of the given files reached the library and came out without a
    // complaint from it.
    struct Run {
        bool cancelled = false; // the dialog was cancelled; nothing was done
        bool ended = false;
        int files = 0;
        int unpackedCleanly = 0;
        bool allUnpacked() const { return !cancelled && !ended && unpackedCleanly == files; }
    };

    static constexpr const char* kSettingsSection = "ANTWORT";
    static constexpr const char* kSettingsKey = "A";

    explicit AnswerArea(WorkAreaServices& services);
    AnswerArea(const AnswerArea&) = delete;
    AnswerArea& operator=(const AnswerArea&) = delete;

    // --- what the panel shows
    const QStringList& fileLines() const { return m_files; } // lbAntFiles
    int fileSelection() const { return m_selection; }
    // Entry i is the output folder of line i of fileLines().
    const QStringList& outputFolders() const { return AnswerOutputFolders; }
    const QString& directoryText() const { return m_directoryText; } // stAntAusgabePfad
    const QString& subFolderText() const { return m_subFolderText; } // stAntUnterPfad
    const Controls& controls() const { return m_controls; }
    const QString& viewRoot() const { return m_viewRoot; } // slAntAusgabePfad
    // The initial folder of the answer file dialog ODAntwort.
    const QString& dialogFolder() const { return m_dialogFolder; }
    const Run& lastRun() const { return m_run; }

    // Called after every change of what the panel shows, and when a single-file run makes the
    // answer area the visible work area.
    std::function<void()> onChanged;
    std::function<void()> onShowArea;

    // --- the main window's reset (the output folders are emptied by each run, not here)
    void reset();

    // --- what the user does in the panel
    void chooseFile(int line); // clicks a line of lbAntFiles
    // Answer files dropped on the panel, in the order dropped: the run of the dialog without the
    // dialog, so the remembered dialog folder stays as it is.
    void dropFiles(const QStringList& paths);

    // --- event handlers and the single-file run
    void bitbtnSearchAntwortClick();
    void lbAntFilesClick();
    void bitbtnAntOpenExplorerClick();
    // One answer file given on the command line: true when the library was called (whatever it
    // said). On a command-line start the output folder is opened in the file explorer.
    bool DecryptAnswerFile(const QString& path, bool commandLineStart);

private:
    void changed();
    void clearList();
    void decryptFiles(const QStringList& paths);
    void showProgressOf(ArchiveDecryption& steps);
    // Shows folder in the view and its parts in the two texts.
    void showFolder(const QString& folder);

    WorkAreaServices& m_services;
    QStringList m_files;
    QStringList AnswerOutputFolders;
    int m_selection = -1;
    QString m_directoryText;
    QString m_subFolderText;
    Controls m_controls;
    QString m_viewRoot;
    QString m_dialogFolder;
    Run m_run;
};

} // namespace tolvane
