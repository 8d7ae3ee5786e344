#include "cli/ConsoleDialogs.h"

#include <QDir>
#include <QTextStream>

#include <utility>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace tolvane::cli {

ConsoleDialogs::ConsoleDialogs(Policy policy)
    : m_policy(policy), m_interactive(isatty(0) && isatty(2)), m_err(stderr)
{
}

Dialogs::Answer ConsoleDialogs::message(Kind kind, const QString& text, Buttons buttons)
{
    if (buttons != Buttons::Ok && !m_presetQuestion.isEmpty() && text == m_presetQuestion) {
        m_presetQuestion.clear();
        return m_presetAnswer;
    }
    m_err << caption(kind) << ": " << text << Qt::endl;
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    const Answer refuse = buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    if (m_policy == Policy::Yes) {
        m_err << "-> Ja (--yes)" << Qt::endl;
        return Answer::Yes;
    }
    if (m_policy == Policy::No) {
        m_err << "-> Nein (--no)" << Qt::endl;
        return Answer::No;
    }
    if (!m_interactive) {
        m_err << "-> keine Antwort möglich (weder Terminal noch --yes/--no): Nein" << Qt::endl;
        return refuse;
    }
    QTextStream in(stdin);
    for (;;) {
        m_err << (buttons == Buttons::YesNoCancel ? "[j]a / [n]ein / [a]bbrechen? " : "[j]a / [n]ein? ") << Qt::flush;
        const QString line = in.readLine();
        if (line.isNull())
            return refuse;
        const QString a = line.trimmed().toLower();
        if (a == u"j" || a == u"ja")
            return Answer::Yes;
        if (a == u"n" || a == u"nein")
            return Answer::No;
        if (buttons == Buttons::YesNoCancel && (a == u"a" || a == u"abbrechen"))
            return Answer::Cancel;
    }
}

void ConsoleDialogs::genericError(const QString& text)
{
    m_err << kApplicationTitle << ": " << genericErrorText(text) << Qt::endl;
}

// The command line takes every path as an argument: a subcommand presets what a dialog gives,
// and a dialog nobody answered counts as cancelled.
QStringList ConsoleDialogs::openFiles(const FileDialogOptions&)
{
    return std::exchange(m_presetFiles, std::nullopt).value_or(QStringList());
}

QString ConsoleDialogs::saveFile(const FileDialogOptions& options)
{
    const std::optional<QString> folder = std::exchange(m_presetSaveFolder, std::nullopt);
    return folder ? QDir(*folder).filePath(options.initialName) : QString();
}

QString ConsoleDialogs::chooseDirectory(const QString&)
{
    return std::exchange(m_presetDirectory, std::nullopt).value_or(m_everyDirectory.value_or(QString()));
}

std::optional<QString> ConsoleDialogs::inputText(const QString&, const QString& prompt, const QString& value)
{
    if (m_presetInput) {
        std::optional<QString> preset;
        preset.swap(m_presetInput);
        return preset;
    }
    if (!m_interactive)
        return std::nullopt;
    m_err << prompt << " " << Qt::flush;
    const QString line = QTextStream(stdin).readLine();
    if (line.isNull())
        return std::nullopt;
    return line.isEmpty() ? value : line;
}

} // namespace tolvane::cli
