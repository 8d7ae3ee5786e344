#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tolvane {

// Options of the file open and save dialogs. The filter uses Qt's notation, one entry per
// ";;"-separated item, for example "Key-Datei (*.key)".
struct FileDialogOptions {
    QString title;
    QString filter;
    QString initialDir;        // the folder the dialog opens at
    QString initialName;       // save dialog: proposed file name
    bool multiSelect = false;  // open dialog: several files may be chosen
    bool mustExist = true;     // open dialog: the chosen files have to exist
};

// Everything modal that the user sees goes through this interface: the windows and the core
// logic use it, QtDialogs shows real boxes, the tests answer from a script and the command
// line answers on the console.
class Dialogs {
public:
    enum class Kind { Information, Error, Confirmation, Warning };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Dialogs() = default;

    // A message box of the given kind, captioned by the kind ("Informationen", "Fehler",
    // "Bestätigung", "Warnung"). In a Yes/No box Escape answers No.
    virtual Answer message(Kind kind, const QString& text, Buttons buttons = Buttons::Ok) = 0;

    // The generic error box for errors an operation did not handle: the text goes through
    // genericErrorText(), the caption is "Tolvane - Datencrypter", with an OK button.
    virtual void genericError(const QString& text) = 0;

    // File open dialog; returns the chosen full paths, empty when cancelled.
    virtual QStringList openFiles(const FileDialogOptions& options) = 0;

    // File save dialog; returns the chosen full path, empty when cancelled.
    virtual QString saveFile(const FileDialogOptions& options) = 0;

    // Directory selection dialog ("Verzeichnis auswählen") opened at startDir (may be empty).
    // A typed directory that does not exist is created with its parents after the question
    // "Das angegebene Verzeichnis existiert nicht. Soll es angelegt werden?"; No keeps the
    // dialog open. Returns the chosen path (as the user gave it), empty when cancelled.
    virtual QString chooseDirectory(const QString& startDir) = 0;

    // One-line input dialog with OK and Cancel; std::nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& title, const QString& prompt,
                                             const QString& value) = 0;

    // Conveniences over message().
    void information(const QString& text) { message(Kind::Information, text); }
    void error(const QString& text) { message(Kind::Error, text); }
    void warning(const QString& text) { message(Kind::Warning, text); }
    // A Yes/No confirmation; true for Yes.
    bool confirm(const QString& text) { return message(Kind::Confirmation, text, Buttons::YesNo) == Answer::Yes; }

    static QString caption(Kind kind);
    // The generic error box appends a period when the last character sorts after ".".
    static QString genericErrorText(const QString& text);
};

// Texts shared by every implementation.
inline constexpr const char* kApplicationTitle = "Tolvane - Datencrypter";
inline constexpr const char* kChooseDirectoryTitle = "Verzeichnis auswählen";
inline constexpr const char* kCreateDirectoryQuestion =
    "Das angegebene Verzeichnis existiert nicht. Soll es angelegt werden?";

} // namespace tolvane
