#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLabel;
class QFrame;
class QWindow;

namespace tolvane {

class ProfileFile;
class TSideBar;
class TfrmInfo;
class TfrmStamm;
class WorkAreaPanel;
class WorkAreaServices;

// The main window frmMain: the side bar, the picture and the three work areas, which it knows
// only as WorkAreaPanels. Closing it ends the application.
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    // The side-bar items in their order.
    enum class SideBarItem { Export, Answer, Keys, News, Home };

    // exeName is the full path of the executable, whose version the caption shows. The settings
    // file is the one the services use; it is flushed when the window goes.
    TfrmMain(const QString& exeName, ProfileFile& settings, WorkAreaServices& services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The two other windows of the run, created right after this one.
    void setWindows(TfrmStamm* stamm, TfrmInfo* info);
    TfrmStamm* frmStamm() const;
    TfrmInfo* frmInfo() const;

    // The services of the work areas, as the main window offers them.
    WorkAreaServices& services() const { return m_services; }
    QString ReadSetting(const QString& key, const QString& section) const;
    void WriteSetting(const QString& key, const QString& section, const QString& value);
    void ExploreFolder(const QString& folder);
    void ResetWorkAreas();

    // The arguments Tolvane was started with, after the program's name; FormShow handles them.
    void setCommandLine(const QStringList& arguments) { m_arguments = arguments; }
    // "-k": asks, imports the key file, reloads the store and shows the key window; false when
    // the user declined or the import failed.
    bool AskImportKeyFile(const QString& path);
    // "-d": decrypts one answer or news file, chosen by the first letter of its name; the
    // application then ends at the next activation.
    bool DecryptFromCommandLine(const QString& path);

    // The panels; each work area builds and resets its own controls.
    WorkAreaPanel* pExport = nullptr;
    WorkAreaPanel* pAntwort = nullptr;
    WorkAreaPanel* pNews = nullptr;
    QFrame* pSplash = nullptr;
    QList<WorkAreaPanel*> workAreas() const { return {pExport, pAntwort, pNews}; }
    TSideBar* SBar = nullptr;

    // Set by the command-line handling: the next activation leaves the work areas as they are,
    // or ends the application.
    bool FCmdLineStart = false;
    bool FTerminateOnActivate = false;

public Q_SLOTS:
    void SBarItemClick(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormDestroy();
    void buildUi();
    void showPanel(QFrame* panel);
    void focusWindowChanged(QWindow* window);

    QString m_exeName;
    ProfileFile& FIniFile;
    WorkAreaServices& m_services;
    QPointer<TfrmStamm> m_frmStamm;
    QPointer<TfrmInfo> m_frmInfo;
    QPointer<QWindow> m_lastFocusWindow;
    bool m_activatedOnce = false;
    bool m_shownOnce = false;
    QStringList m_arguments;
};

} // namespace tolvane
