#include "support/ScriptedDialogs.h"

#include <QTest>

namespace tolvane {

void ScriptedDialogs::expectQuestion(const QString& text, Answer answer)
{
    m_script.append(Step{QStringLiteral("message"), text, answer, {}, {}});
}

void ScriptedDialogs::expectOpenFiles(const QStringList& answer)
{
    m_script.append(Step{QStringLiteral("openFiles"), {}, Answer::Ok, answer, {}});
}

void ScriptedDialogs::expectSaveFile(const QString& answer)
{
    m_script.append(Step{QStringLiteral("saveFile"), {}, Answer::Ok, {}, answer});
}

void ScriptedDialogs::expectChooseDirectory(const QString& answer)
{
    m_script.append(Step{QStringLiteral("chooseDirectory"), {}, Answer::Ok, {}, answer});
}

void ScriptedDialogs::expectInput(std::optional<QString> answer)
{
    m_script.append(Step{QStringLiteral("input"), {}, Answer::Ok, {}, std::move(answer)});
}

void ScriptedDialogs::fail(const QString& why)
{
    failures << why;
    QTest::qFail(qPrintable(why), __FILE__, __LINE__);
}

bool ScriptedDialogs::take(const QString& what, Step& step, const QString& detail)
{
    if (m_script.isEmpty()) {
        fail(QStringLiteral("unexpected %1: %2").arg(what, detail));
        return false;
    }
    step = m_script.takeFirst();
    if (step.what != what) {
        fail(QStringLiteral("expected %1, got %2: %3").arg(step.what, what, detail));
        return false;
    }
    return true;
}

Dialogs::Answer ScriptedDialogs::message(Kind kind, const QString& text, Buttons buttons)
{
    shown.append(Shown{kind, caption(kind), text, buttons});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    requests.append(Request{QStringLiteral("message"), text, {}, {}, {}, {}});
    Step step;
    if (!take(QStringLiteral("message"), step, text))
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    if (step.text != text)
        fail(QStringLiteral("question text differs:\n  expected: %1\n  actual:   %2").arg(step.text, text));
    if (step.answer == Answer::Cancel && buttons != Buttons::YesNoCancel)
        fail(QStringLiteral("Cancel is not a button of: %1").arg(text));
    return step.answer;
}

void ScriptedDialogs::genericError(const QString& text)
{
    shown.append(Shown{Kind::Error, QString::fromUtf8(kApplicationTitle), genericErrorText(text), Buttons::Ok});
}

QStringList ScriptedDialogs::openFiles(const FileDialogOptions& options)
{
    requests.append(Request{QStringLiteral("openFiles"), options.title, options, {}, {}, {}});
    Step step;
    if (!take(QStringLiteral("openFiles"), step, options.title))
        return {};
    return step.files;
}

QString ScriptedDialogs::saveFile(const FileDialogOptions& options)
{
    requests.append(Request{QStringLiteral("saveFile"), options.title, options, {}, {}, {}});
    Step step;
    if (!take(QStringLiteral("saveFile"), step, options.title))
        return {};
    return step.value.value_or(QString());
}

QString ScriptedDialogs::chooseDirectory(const QString& startDir)
{
    requests.append(Request{QStringLiteral("chooseDirectory"), {}, {}, startDir, {}, {}});
    Step step;
    if (!take(QStringLiteral("chooseDirectory"), step, startDir))
        return {};
    return step.value.value_or(QString());
}

std::optional<QString> ScriptedDialogs::inputText(const QString& title, const QString& prompt, const QString& value)
{
    requests.append(Request{QStringLiteral("input"), prompt, {}, {}, title, value});
    Step step;
    if (!take(QStringLiteral("input"), step, prompt))
        return std::nullopt;
    return step.value;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Shown& s : shown)
        result << s.text;
    return result;
}

void ScriptedDialogs::clear()
{
    shown.clear();
    requests.clear();
    failures.clear();
    m_script.clear();
}

} // namespace tolvane
