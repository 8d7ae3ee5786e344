#pragma once

#include "platform/Dialogs.h"

#include <QFileDialog>

class QWidget;

namespace tolvane {

// The real dialogs: QMessageBox, QFileDialog and QInputDialog with German texts. Each one is
// modal over the active window of the application.
class QtDialogs : public Dialogs {
public:
    Answer message(Kind kind, const QString& text, Buttons buttons = Buttons::Ok) override;
    void genericError(const QString& text) override;
    QStringList openFiles(const FileDialogOptions& options) override;
    QString saveFile(const FileDialogOptions& options) override;
    QString chooseDirectory(const QString& startDir) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt, const QString& value) override;
};

// The directory chooser: a directory dialog that also accepts a typed directory that does not
// exist yet. Accepting such a path asks whether to create it; No keeps the dialog open.
class DirectoryChooser : public QFileDialog {
    Q_OBJECT
public:
    DirectoryChooser(QWidget* parent, const QString& startDir, Dialogs& dialogs);
    // The chosen directory after exec() returned Accepted.
    QString chosenDirectory() const { return m_chosen; }

public Q_SLOTS:
    void accept() override;

private:
    Dialogs& m_dialogs;
    QString m_chosen;
};

} // namespace tolvane
