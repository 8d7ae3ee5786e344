#include "platform/gui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace tolvane {

namespace {

QWidget* dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::Icon iconFor(Dialogs::Kind kind)
{
    switch (kind) {
    case Dialogs::Kind::Information:
        return QMessageBox::Information;
    case Dialogs::Kind::Error:
        return QMessageBox::Critical;
    case Dialogs::Kind::Confirmation:
        return QMessageBox::Question;
    case Dialogs::Kind::Warning:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

// The German labels of a file dialog, also when no Qt translation is installed.
void setGermanLabels(QFileDialog& dialog, const QString& acceptText)
{
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, acceptText);
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
}

void prepareFileDialog(QFileDialog& dialog, const FileDialogOptions& options)
{
#ifndef Q_OS_WIN
    // Qt's own dialog, so the labels are German whatever desktop the user runs.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
    if (!options.filter.isEmpty())
        dialog.setNameFilter(options.filter);
    if (!options.initialDir.isEmpty())
        dialog.setDirectory(options.initialDir);
    // Large enough for the name, size, type and date columns.
    dialog.resize(820, 520);
}

} // namespace

Dialogs::Answer QtDialogs::message(Kind kind, const QString& text, Buttons buttons)
{
    QMessageBox box(iconFor(kind), caption(kind), text, QMessageBox::NoButton, dialogParent());
    QPushButton* ok = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancel = nullptr;
    if (buttons == Buttons::Ok) {
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    } else {
        yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        if (buttons == Buttons::YesNoCancel) {
            cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
            box.setEscapeButton(cancel);
        } else {
            box.setEscapeButton(no);
        }
    }
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (clicked == yes)
        return Answer::Yes;
    if (clicked == no)
        return Answer::No;
    // Closing the box by its frame counts as the escape answer.
    return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
}

void QtDialogs::genericError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), genericErrorText(text),
                    QMessageBox::NoButton, dialogParent());
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

QStringList QtDialogs::openFiles(const FileDialogOptions& options)
{
    QFileDialog dialog(dialogParent(), options.title.isEmpty() ? QStringLiteral("Öffnen") : options.title);
    prepareFileDialog(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (options.multiSelect)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode(options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setGermanLabels(dialog, QStringLiteral("Ö&ffnen"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList files = dialog.selectedFiles();
    for (QString& f : files)
        f = QDir::toNativeSeparators(f);
    return files;
}

QString QtDialogs::saveFile(const FileDialogOptions& options)
{
    QFileDialog dialog(dialogParent(),
                       options.title.isEmpty() ? QStringLiteral("Speichern unter") : options.title);
    prepareFileDialog(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller decides about an existing file, and the name keeps the extension typed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString());
    if (!options.initialName.isEmpty())
        dialog.selectFile(options.initialName);
    setGermanLabels(dialog, QStringLiteral("&Speichern"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.first());
}

QString QtDialogs::chooseDirectory(const QString& startDir)
{
    DirectoryChooser chooser(dialogParent(), startDir, *this);
    if (chooser.exec() != QDialog::Accepted)
        return {};
    return chooser.chosenDirectory();
}

std::optional<QString> QtDialogs::inputText(const QString& title, const QString& prompt, const QString& value)
{
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

DirectoryChooser::DirectoryChooser(QWidget* parent, const QString& startDir, Dialogs& dialogs)
    : QFileDialog(parent, QString::fromUtf8(kChooseDirectoryTitle)), m_dialogs(dialogs)
{
    // Qt's own dialog: only it lets us take a typed directory that does not exist yet.
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::ShowDirsOnly);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(QFileDialog::AcceptOpen);
    setViewMode(QFileDialog::List);
    resize(680, 460);
    setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    setLabelText(QFileDialog::FileName, QStringLiteral("Verzeichnis:"));
    setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    if (!startDir.isEmpty()) {
        // Open at the proposal, or at its nearest existing parent.
        QString dir = QDir::cleanPath(QDir::fromNativeSeparators(startDir));
        while (!dir.isEmpty() && !QFileInfo(dir).isDir()) {
            const QString parentDir = QFileInfo(dir).path();
            if (parentDir == dir)
                break;
            dir = parentDir;
        }
        setDirectory(dir);
    }
}

void DirectoryChooser::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return;
    const QString path = QDir::toNativeSeparators(QDir::cleanPath(files.first()));
    const QFileInfo info(path);
    if (info.isDir()) {
        m_chosen = path;
        QDialog::accept();
        return;
    }
    if (info.exists())
        return; // a file: keep choosing
    if (m_dialogs.message(Dialogs::Kind::Confirmation, QString::fromUtf8(kCreateDirectoryQuestion),
                          Dialogs::Buttons::YesNo)
        != Dialogs::Answer::Yes)
        return;
    if (!QDir().mkpath(path)) {
        m_dialogs.error(QStringLiteral("Das Verzeichnis \"") + path
                        + QStringLiteral("\" konnte nicht angelegt werden."));
        return;
    }
    m_chosen = path;
    QDialog::accept();
}

} // namespace tolvane
