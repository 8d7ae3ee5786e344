#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tolvane {

class WorkAreaServices;

// What the news work area shows and does, without widgets: in "Newsdatei erzeugen" the
// registration number list and its choice, the source files, the description and the folder
// the news file went to; in "Newsdatei entschlüsseln" the last output folder and whether output
// folders are opened in the file explorer. The panel mirrors this object after every change
// (onChanged) and forwards its events to the handlers, which carry the names of the panel's
// event handlers. The command line drives the same object.
class NewsArea {
public:
    // How a creation ended: a test refused it (with its message), the user cancelled the save
    // dialog or declined to replace the news file, or the library did not write it.
    enum class Creation { Created, Refused, Cancelled, Failed };
    // The news file written by the last creation and its archive folder (empty when the key
    // record's news directory does not exist).
    struct Created {
        QString newsFile;
        QString archiveFolder;
    };
    // A news file that reached the library in the last decryption run, where it went and what
    // the library said (empty on success).
    struct Decrypted {
        QString file;
        QString outputFolder;
        QString errorText;
    };

    // The source-file dialog's folder is kept per registration number under this key; the
    // news-file dialog's folder in section "NEWS" under the same key.
    static constexpr const char* kSettingsKey = "N";
    static constexpr const char* kNewsSection = "NEWS";

    explicit NewsArea(WorkAreaServices& services);
    NewsArea(const NewsArea&) = delete;
    NewsArea& operator=(const NewsArea&) = delete;

    // --- what the panel shows
    const QStringList& regNrList() const { return m_regNrs; } // cboxNwRegNr
    int regNrIndex() const { return m_regNrIndex; }           // -1: no registration number chosen
    QString regNrText() const;
    const QStringList& sourceFiles() const { return m_sources; } // lbNwsSourceFiles, full paths
    int sourceSelection() const { return m_source; }
    const QString& description() const { return m_description; } // edNewsBezeichnung
    const QString& newsPath() const { return m_newsPath; }       // stNewsAusgabePfad
    bool erzeugenEnabled() const { return m_erzeugenEnabled; }   // bitbtnNwsErzeugen
    const QString& outputPath() const { return m_outputPath; }   // stNwsAusgabepfad
    bool openExplorer() const { return m_openExplorer; }         // ckboxOpenExplorer
    const Created& created() const { return m_created; }
    const QList<Decrypted>& decrypted() const { return m_decrypted; }

    // Called after every change of what the panel shows, and to move the focus.
    std::function<void()> onChanged;
    std::function<void()> onFocusNwsGetFiles;
    std::function<void()> onFocusNewsBezeichnung;

    // --- the main window's reset (the list is emptied, then refilled) and the side bar's entry
    void reset();
    void setRegNrList(const QStringList& regNrs);
    void enterArea();

    // --- what the user does in the panel
    void chooseRegNr(int index); // picks an entry of cboxNwRegNr (-1: none), then its change handler
    void chooseSourceFile(int row);
    void setDescription(const QString& text);
    void setOpenExplorer(bool open);
    // Files dropped on "Newsdatei erzeugen": added as "Dateien hinzufügen" adds them.
    void dropSourceFiles(const QStringList& files);
    // Files dropped on "Newsdatei entschlüsseln": decrypted as if chosen in its dialog.
    void dropNewsFiles(const QStringList& files);
    // What a drop on either group takes of the dropped paths: existing plain files for the
    // source list, names ending in ".3des" for decryption.
    static QStringList sourceFilesOf(const QStringList& paths);
    static QStringList newsFilesOf(const QStringList& paths);

    // --- event handlers
    void cboxNwRegNrChange();
    void bitbtnNwsGetFilesClick();
    void bitbtnClick();
    Creation bitbtnNwsErzeugenClick();
    void bitbtnNwsEntschluesselnClick();
    // One news file through the shared decryption steps; true when the library was called,
    // whatever it said.
    bool DecryptNewsFile(const QString& path);

private:
    void changed();
    void focus(const std::function<void()>& callback);
    // The store index of the chosen registration number's key record, or -1.
    int chosenRecord() const;
    // False, after its message, when no registration number with a key record is chosen.
    bool regNrChosen();
    // The open dialog at the folder stored under section, and storing the folder of a choice.
    QStringList chooseFiles(const QString& filter, const QString& section, bool mustExist);
    void rememberFolder(const QString& section, const QStringList& chosen);
    void appendSourceFiles(const QStringList& files);
    void decryptNewsFiles(const QStringList& files);
    // The refusals before anything is written; false after showing one.
    bool sourcesAndDescriptionAccepted(const QString& description);

    WorkAreaServices& m_services;
    QStringList m_regNrs;
    int m_regNrIndex = -1;
    QStringList m_sources;
    int m_source = -1;
    QString m_description;
    QString m_newsPath;
    bool m_erzeugenEnabled = true;
    QString m_outputPath;
    bool m_openExplorer = true;
    Created m_created;
    QList<Decrypted> m_decrypted;
};

} // namespace tolvane
