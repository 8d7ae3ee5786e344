#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace tolvane {

// Dialogs for tests: every question and dialog must have been scripted, in order, with its
// answer; an unexpected one fails the test. Every message shown is recorded (kind, caption,
// text), so tests check the exact texts.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        Kind kind;
        QString caption;
        QString text;
        Buttons buttons;
    };
    struct Request {
        QString what;  // "message", "openFiles", "saveFile", "chooseDirectory", "input"
        QString text;  // message text, dialog title or input prompt
        FileDialogOptions options;
        QString startDir;
        QString inputTitle;
        QString inputValue;
    };

    // A question box (Yes/No or Yes/No/Cancel) with this exact text, answered with answer.
    void expectQuestion(const QString& text, Answer answer);
    void expectOpenFiles(const QStringList& answer);
    void expectSaveFile(const QString& answer);
    void expectChooseDirectory(const QString& answer);
    void expectInput(std::optional<QString> answer);

    Answer message(Kind kind, const QString& text, Buttons buttons = Buttons::Ok) override;
    void genericError(const QString& text) override;
    QStringList openFiles(const FileDialogOptions& options) override;
    QString saveFile(const FileDialogOptions& options) override;
    QString chooseDirectory(const QString& startDir) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt, const QString& value) override;

    // Everything shown, in order: message boxes and the generic error box (caption
    // "Tolvane - Datencrypter", kind Error).
    QList<Shown> shown;
    // Every question and dialog asked, in order.
    QList<Request> requests;
    // Unexpected prompts and mismatches; each has also failed the running test.
    QStringList failures;

    QStringList texts() const;
    bool scriptDone() const { return m_script.isEmpty(); }
    int pending() const { return int(m_script.size()); }
    void clear();

private:
    struct Step {
        QString what;
        QString text;
        Answer answer = Answer::Cancel;
        QStringList files;
        std::optional<QString> value;
    };
    bool take(const QString& what, Step& step, const QString& detail);
    void fail(const QString& why);

    QList<Step> m_script;
};

} // namespace tolvane
