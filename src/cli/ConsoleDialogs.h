#pragma once

#include "platform/Dialogs.h"

#include <QTextStream>

namespace tolvane::cli {

// Dialogs on the console: messages go to stderr, questions are answered by --yes/--no or, on a
// terminal, by asking. Without either, a question is answered No (or Cancel), which never
// replaces or deletes anything.
class ConsoleDialogs : public Dialogs {
public:
    enum class Policy { Ask, Yes, No };
    explicit ConsoleDialogs(Policy policy);

    Answer message(Kind kind, const QString& text, Buttons buttons = Buttons::Ok) override;
    void genericError(const QString& text) override;
    QStringList openFiles(const FileDialogOptions& options) override;
    QString saveFile(const FileDialogOptions& options) override;
    QString chooseDirectory(const QString& startDir) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt, const QString& value) override;

    // Answers a subcommand gives in advance, for the window's own questions that its arguments
    // already answer: a question with exactly this text, and the next input dialog.
    void presetAnswer(const QString& question, Answer answer) { m_presetQuestion = question; m_presetAnswer = answer; }
    void presetInput(const QString& value) { m_presetInput = value; }
    // The files the next open dialog "chooses", and the folder the next directory chooser gives.
    void presetOpenFiles(const QStringList& files) { m_presetFiles = files; }
    void presetDirectory(const QString& dir) { m_presetDirectory = dir; }
    // The folder in which the next save dialog takes the name it proposes.
    void presetSaveFolder(const QString& dir) { m_presetSaveFolder = dir; }
    // The folder every directory chooser of the run gives.
    void presetEveryDirectory(const QString& dir) { m_everyDirectory = dir; }

private:
    Policy m_policy;
    bool m_interactive;
    QTextStream m_err;
    QString m_presetQuestion;
    Answer m_presetAnswer = Answer::No;
    std::optional<QString> m_presetInput;
    std::optional<QStringList> m_presetFiles;
    std::optional<QString> m_presetDirectory;
    std::optional<QString> m_presetSaveFolder;
    std::optional<QString> m_everyDirectory;
};

} // namespace tolvane::cli
