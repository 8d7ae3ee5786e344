#pragma once

#include "masterdata/uclassStamm.h"

#include <QMetaObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace tolvane {

class Dialogs;
class MasterDataStore;

// What the key management window shows and does, without widgets: the field texts, the list of
// registration numbers, the enabled state of every control group and the three states (browse,
// edit, new). The window mirrors this object after every change (onChanged) and forwards its
// events to the handlers below, which carry the names of the window's event handlers.
class KeyManager {
public:
    enum class State { Browse, Edit, New };
    // The text fields: the header stRegNr and the edits edDesKey, edVRootDir, edVExport,
    // edVAntwort, edVNews.
    enum Field { RegNrHeader, DesKey, RootDir, ExportDir, AntwortDir, NewsDir };
    static constexpr int kFieldCount = 6;

    // The enabled state of the controls, as the window shows it; the defaults are the browse state.
    struct Controls {
        bool speichern = false;  // bitbtnspeichern
        bool abbrechen = false;  // bitbtnabbrechen
        bool neu = true;         // bitbtnNeu
        bool importBtn = true;   // cxbtnImport
        bool exportBtn = true;   // cxbtnexport
        bool dirButtons = false; // the four "Durchsuchen", bitbtnVVorschlag, bitbtnVErzeugen
        bool list = true;        // lbRegNr and its menu
        bool desKey = false;     // edDesKey
        bool dirFields = false;  // edVRootDir, edVExport, edVAntwort, edVNews
        bool operator==(const Controls&) const = default;
    };

    KeyManager(MasterDataStore& store, Dialogs& dialogs);
    ~KeyManager();
    KeyManager(const KeyManager&) = delete;
    KeyManager& operator=(const KeyManager&) = delete;

    // --- what the window shows
    State state() const { return m_state; }
    const QString& text(Field field) const { return m_texts[size_t(field)]; }
    const QString& standText() const { return m_stand; } // stStandAllg
    bool vqzVisible() const { return m_vqzVisible; }      // stVQZ
    const QStringList& listEntries() const { return m_list; }
    int listSelection() const { return m_selection; }
    const Controls& controls() const { return m_controls; }

    bool FModified = false;
    bool FKeyLocked = false;
    // The edit buffers; their flag bytes DirsChanged and KeyChanged follow every change of a
    // directory field and of the pass phrase field.
    TStammDirs FEditDirs;
    TStammKey FEditKey;

    // Called after every change of what the window shows, and to move the focus.
    std::function<void()> onChanged;
    std::function<void(Field)> onFocus;

    // --- change handlers (edDesKeyChange, edVRootDirChange, ...): a text field got new text,
    // typed by the user or set by the window itself.
    void setText(Field field, const QString& text);

    // --- operations of the window
    void FillRegNrList();
    void ClearFields();
    void ShowRecord(int index);
    void SetBrowseState();
    void SetEditState();
    bool ValidateInput();
    bool CheckDirectory(const QString& dir);
    bool StoreRecord(int index);
    void MakeDirectory(const QString& dir);
    bool ImportKeyFile(const QString& path);
    // The export and the deletion of the current record without the window's dialogs, for the
    // command line: the ".key" rule and the copy; the question and the move into
    // "Deleted Keyfiles" followed by a reload. True when done; movedTo gets the new path.
    bool exportCurrentTo(const QString& target);
    bool deleteCurrent(QString* movedTo = nullptr);

    // --- event handlers
    void lbRegNrClick(int index);
    void lbRegNrDblClick(int index);
    void bitbtnBearbeitenClick();
    void bitbtnNeuClick();
    void bitbtnSpeichernClick();
    void bitbtnAbbrechenClick();
    void bitbtnLoeschenClick();
    // True when the window may close.
    bool FormCloseQuery();
    void bitbtnImportClick();
    void bitbtnExportClick();
    // The four "Durchsuchen" buttons, for the directory field they belong to.
    void chooseDirectoryFor(Field field);
    void bitbtnVVorschlagClick();
    void bitbtnVErzeugenClick();

    // The initial folders of the import and export dialogs; they follow the last choice.
    QString importDir;
    QString exportDir;

private:
    QMetaObject::Connection m_loaded;
    void afterLoad();
    void changed();
    void focus(Field field);
    int currentIndex() const;
    // The name to write a key file for regNr under: an existing key file of that name ignoring
    // case keeps its spelling, so one record never ends up in two files.
    QString keyFileNameFor(const QString& regNr) const;

    MasterDataStore& m_store;
    Dialogs& m_dialogs;
    State m_state = State::Browse;
    std::array<QString, kFieldCount> m_texts;
    QString m_stand;
    bool m_vqzVisible = false;
    QStringList m_list;
    int m_selection = -1;
    Controls m_controls;
};

} // namespace tolvane
