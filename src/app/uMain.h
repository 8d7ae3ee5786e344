#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

class QLabel;
class QFrame;
class QWindow;

namespace tolvane {

class Dialogs;
class ProfileFile;
class TSideBar;
class TfrmInfo;
class TfrmStamm;

// The main window frmMain: the side bar, the four work-area panels, the settings file and the
// services the work areas share. Closing it ends the application.
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    // exeName is the full path of the executable; tolvane.ini lies beside it.
    TfrmMain(const QString& exeName, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The two other windows of the run, created right after this one.
    void setWindows(TfrmStamm* stamm, TfrmInfo* info);
    TfrmStamm* frmStamm() const { return m_frmStamm; }
    TfrmInfo* frmInfo() const { return m_frmInfo; }

    // Services of the work areas. The settings default to the platform's default folder.
    QString ReadSetting(const QString& key, const QString& section) const;
    void WriteSetting(const QString& key, const QString& section, const QString& value);
    void ExploreFolder(const QString& folder);
    void ResetWorkAreas();

    // The panels of the work areas; their controls are children with the names they carry.
    QFrame* pExport = nullptr;
    QFrame* pAntwort = nullptr;
    QFrame* pNews = nullptr;
    QFrame* pSplash = nullptr;
    TSideBar* SBar = nullptr;

    // Set by the command-line handling: the next activation leaves the work areas as they are,
    // or ends the application.
    bool FCmdLineStart = false;
    bool FTerminateOnActivate = false;
    // Output folders of the listed answer files.
    QStringList AnswerOutputFolders;

    // What ResetWorkAreas does to a control of a work area, found by its name in its panel. A
    // control that a work area has not created yet is skipped, and covered once it exists.
    enum class ResetAction { EmptyList, EmptyText, Hide, Show, Disable };
    struct ResetStep {
        const char* panel;
        const char* control;
        ResetAction action;
    };
    static const QList<ResetStep>& resetSteps();

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
    QFrame* makePanel(const QString& name, const QString& header);
    void showPanel(QFrame* panel);
    void clearNewsArea();
    QFrame* panelNamed(const char* name) const;
    void applyReset(const ResetStep& step);
    void focusWindowChanged(QWindow* window);

    QString m_exeName;
    Dialogs& m_dialogs;
    std::unique_ptr<ProfileFile> FIniFile;
    QPointer<TfrmStamm> m_frmStamm;
    QPointer<TfrmInfo> m_frmInfo;
    QPointer<QWindow> m_lastFocusWindow;
    bool m_activatedOnce = false;
};

} // namespace tolvane
