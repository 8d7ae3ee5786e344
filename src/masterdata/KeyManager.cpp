#include "masterdata/KeyManager.h"

#include "common/Ansi.h"
#include "common/PassPhrase.h"
#include "common/xProcs.h"
#include "masterdata/KeyFiles.h"
#include "masterdata/MasterDataStore.h"
#include "masterdata/StammText.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QDateTime>

namespace tolvane {

KeyManager::KeyManager(MasterDataStore& store, Dialogs& dialogs) : m_store(store), m_dialogs(dialogs)
{
    m_loaded = QObject::connect(&m_store, &MasterDataStore::loaded, [this] { afterLoad(); });
    importDir = fs::defaultDialogFolder();
    exportDir = fs::defaultDialogFolder();
}

KeyManager::~KeyManager()
{
    QObject::disconnect(m_loaded);
}

void KeyManager::changed()
{
    if (onChanged)
        onChanged();
}

void KeyManager::focus(Field field)
{
    if (onFocus)
        onFocus(field);
}

int KeyManager::currentIndex() const
{
    return m_store.FCurrent;
}

QString KeyManager::keyFileNameFor(const QString& regNr) const
{
    const QString name = regNr + QStringLiteral(".key");
    const QString existing = keyfiles::entryIgnoringCase(m_store.appDir(), name);
    return existing.isEmpty() ? name : existing;
}

void KeyManager::setText(Field field, const QString& text)
{
    const QString value = field == DesKey ? text.left(TStammKey::kDesKeyCapacity) : text;
    if (m_texts[size_t(field)] == value)
        return;
    m_texts[size_t(field)] = value;
    switch (field) {
    case RegNrHeader:
        break; // a static text: no change handler
    case DesKey:
        FEditKey.setKeyChanged(true);
        FModified = true;
        break;
    case RootDir:
    case ExportDir:
    case AntwortDir:
    case NewsDir:
        FEditDirs.setDirsChanged(true);
        FModified = true;
        break;
    }
    changed();
}

void KeyManager::FillRegNrList()
{
    m_list.clear();
    for (int i = 0; i < m_store.FCount(); ++i)
        m_list << m_store.record(i).FRegNr;
    m_selection = -1;
    changed();
}

void KeyManager::ClearFields()
{
    for (Field f : {RegNrHeader, DesKey, NewsDir, ExportDir, AntwortDir, RootDir})
        setText(f, QString());
}

void KeyManager::ShowRecord(int index)
{
    if (!m_store.isValidIndex(index))
        return;
    m_store.FCurrent = index;
    FEditKey.setKeyChanged(false);
    FEditDirs.setDirsChanged(false);
    const TStamm& rec = m_store.record(index);
    setText(RegNrHeader, u' ' + rec.FRegNr);
    setText(DesKey, rec.FKey.DesKey());
    m_stand = tolvane::standText(rec.FKey.KeyDate());
    FKeyLocked = rec.FIssued;
    m_vqzVisible = rec.FIssued;
    setText(RootDir, rec.FDirs.VRootDir());
    setText(ExportDir, rec.FDirs.VExport());
    setText(AntwortDir, rec.FDirs.VAntwort());
    setText(NewsDir, rec.FDirs.VNews());
    FModified = false;
    changed();
}

void KeyManager::SetBrowseState()
{
    m_state = State::Browse;
    m_controls = Controls{}; // the defaults are the browse state
    changed();
}

void KeyManager::SetEditState()
{
    m_state = State::Edit;
    Controls c;
    c.speichern = c.abbrechen = true;
    c.neu = false;
    c.importBtn = c.exportBtn = false;
    c.dirButtons = true;
    c.list = false;
    c.desKey = !FKeyLocked;
    c.dirFields = true;
    m_controls = c;
    changed();
    focus(FKeyLocked ? RootDir : DesKey);
}

bool KeyManager::CheckDirectory(const QString& dir)
{
    if (dir.isEmpty() || fs::dirExists(dir))
        return true;
    m_dialogs.error(QStringLiteral("Das angegebene Verzeichnis \"") + dir
                    + QStringLiteral("\" existiert nicht. Bitte prüfen Sie dies."));
    return false;
}

bool KeyManager::ValidateInput()
{
    if (text(DesKey).size() < 8) {
        m_dialogs.information(
            QStringLiteral("Bitte geben Sie mindestens 8 zeichen für den Verschlüsselungscode an."));
        if (m_controls.desKey)
            focus(DesKey);
        return false;
    }
    // A pass phrase that cannot cross to the packing library unchanged is refused here, where it
    // is typed; stored, it would otherwise become "?". An issued one cannot be edited, and its
    // bytes are the issuer's own.
    if (!FKeyLocked) {
        const PassPhraseBytes phrase = passPhraseBytes(text(DesKey));
        if (!phrase.ok()) {
            m_dialogs.information(phrase.error);
            if (m_controls.desKey)
                focus(DesKey);
            return false;
        }
    }
    static constexpr Field dirs[] = {RootDir, ExportDir, AntwortDir, NewsDir};
    for (Field f : dirs) {
        if (!text(f).isEmpty())
            setText(f, fs::withSeparator(text(f)));
    }
    for (Field f : dirs) {
        if (!CheckDirectory(text(f))) {
            focus(f);
            return false;
        }
    }
    return true;
}

bool KeyManager::StoreRecord(int index)
{
    const bool isNew = index == m_store.FCount();
    if (!isNew && !m_store.isValidIndex(index))
        return false;
    const double now = dateTimeToOleDate(QDateTime::currentDateTime());
    // Start from the record's own blocks, so bytes this window does not edit are kept.
    TStammKey key = isNew ? TStammKey() : m_store.record(index).FKey;
    TStammDirs dirs = isNew ? TStammDirs() : m_store.record(index).FDirs;
    key.setKeyChanged(FEditKey.KeyChanged());
    dirs.setDirsChanged(FEditDirs.DirsChanged());

    key.setDesKey(text(DesKey).left(TStammKey::kDesKeyCapacity));
    key.setKeyDate(FEditKey.KeyChanged() ? now : key.KeyDate());
    dirs.setDir(TStammDirs::RootDir, text(RootDir).left(TStammDirs::kDirCapacity));
    dirs.setDir(TStammDirs::Export, text(ExportDir).left(TStammDirs::kDirCapacity));
    dirs.setDir(TStammDirs::Antwort, text(AntwortDir).left(TStammDirs::kDirCapacity));
    dirs.setDir(TStammDirs::News, text(NewsDir).left(TStammDirs::kDirCapacity));
    key.setRegNr(text(RegNrHeader).trimmed().left(TStammKey::kRegNrCapacity));
    dirs.setDirsDate(FEditDirs.DirsChanged() ? now : dirs.DirsDate());
    FEditKey = key;
    FEditDirs = dirs;

    const QString regNr = FEditKey.RegNr();
    TStamm* rec = nullptr;
    if (isNew) {
        bool ok = false;
        rec = &m_store.appendRecord(std::make_unique<TStamm>(regNr, m_store.exeName(), QString(), ok, m_dialogs));
    } else {
        rec = &m_store.editableRecord(index);
    }
    rec->FDirs = FEditDirs;
    rec->FKey = FEditKey;
    return rec->WriteKeyFile(keyFileNameFor(regNr));
}

void KeyManager::afterLoad()
{
    if (m_store.FCount() > 0) {
        m_controls.exportBtn = true;
        FillRegNrList();
        ShowRecord(0);
        m_selection = 0;
    } else {
        m_controls.exportBtn = false;
        m_list.clear();
        m_selection = -1;
        ClearFields();
    }
    changed();
}

void KeyManager::lbRegNrClick(int index)
{
    if (index < 0 || index >= m_list.size() || !m_store.isValidIndex(index))
        return;
    m_selection = index;
    m_store.FCurrent = index;
    ShowRecord(index);
}

void KeyManager::lbRegNrDblClick(int index)
{
    if (index < 0 || index >= m_list.size() || !m_store.isValidIndex(index))
        return;
    m_selection = index;
    m_store.FCurrent = index;
    ShowRecord(index);
    SetEditState();
    FEditKey.setKeyChanged(false);
    FEditDirs.setDirsChanged(false);
}

void KeyManager::bitbtnBearbeitenClick()
{
    if (m_list.isEmpty()) {
        m_dialogs.information(QStringLiteral("Bitte importieren Sie zuerst eine Keydatei mit Ihren Stammdaten."));
        return;
    }
    SetEditState();
    FEditKey.setKeyChanged(false);
    FEditDirs.setDirsChanged(false);
}

void KeyManager::bitbtnNeuClick()
{
    if (m_state != State::Browse)
        return;
    if (!m_dialogs.confirm(QStringLiteral(
            "Hinweis: Wenn die VQZ Ihre datenentgegennehmende Stelle ist, erhalten Sie die Keydatei als "
            "registrierter Kunde per Email. Wollen Sie fortfahren?")))
        return;
    const std::optional<QString> input =
        m_dialogs.inputText(QStringLiteral("Neue Registriernummer"),
                            QStringLiteral("Bitte geben Sie Ihre neue Registriernummer ein (z.B. vq12345)."), QString());
    if (!input)
        return;
    const QString value = asciiLower(input->trimmed());
    if (value.size() != 7) {
        m_dialogs.information(QStringLiteral("Die eingegeben Registriernummer \"") + value
                              + QStringLiteral("\" - (Ländercode + Registriercode) muß 7-stellig sein."));
        return;
    }
    // The key file holds the pass phrase agreed with the data-receiving body: never replace it
    // with an empty record.
    const QString existing = keyfiles::entryIgnoringCase(m_store.appDir(), value + QStringLiteral(".key"));
    if (!existing.isEmpty()) {
        m_dialogs.warning(QStringLiteral("Für die Registriernummer \"") + value
                          + QStringLiteral("\" gibt es bereits die Key-Datei \"") + m_store.appDir() + existing
                          + QStringLiteral("\". Sie enthält die mit der datenentgegennehmenden Stelle vereinbarte "
                                           "Passphrase und wird nicht überschrieben."));
        return;
    }

    m_state = State::New;
    ClearFields();
    setText(RegNrHeader, u' ' + value);
    m_list.prepend(value);
    m_selection = -1;
    m_controls.neu = false;
    m_controls.list = false;
    m_controls.speichern = true;
    m_controls.abbrechen = true;
    changed();

    bool ok = false;
    TStamm rec(value, m_store.exeName(), QString(), ok, m_dialogs);
    rec.FIssued = false;
    m_store.FCurrent = m_store.FCount();
    if (!rec.WriteKeyFile(value + QStringLiteral(".key"))) {
        m_dialogs.error(QStringLiteral("Beim Erstellen einer neuen Schlüsseldatei ist ein Fehler aufgetreten."));
        return;
    }
    m_store.LoadKeyFiles();
    const qsizetype found = m_list.indexOf(value);
    if (found < 0)
        return; // the new key file did not load: stay in the new state
    lbRegNrClick(int(found));
    SetEditState();
}

void KeyManager::bitbtnSpeichernClick()
{
    if (!ValidateInput())
        return;
    if (!StoreRecord(m_store.FCurrent))
        return;
    SetBrowseState();
    ShowRecord(m_store.FCurrent);
    FModified = false;
    m_store.LoadKeyFiles();
}

void KeyManager::bitbtnAbbrechenClick()
{
    const bool wasNew = m_state == State::New;
    if (m_store.FCount() == 0) {
        ClearFields();
    } else {
        if (m_store.FCurrent == m_store.FCount())
            m_store.FCurrent = m_store.FCount() - 1;
        ShowRecord(m_store.FCurrent);
    }
    if (wasNew) {
        FillRegNrList();
        if (m_store.isValidIndex(m_store.FCurrent))
            m_selection = m_store.FCurrent;
    }
    SetBrowseState();
    FModified = false;
    changed();
}

void KeyManager::bitbtnLoeschenClick()
{
    deleteCurrent();
}

bool KeyManager::deleteCurrent(QString* movedTo)
{
    if (m_store.FCount() == 0 || !m_store.isValidIndex(m_store.FCurrent))
        return false;
    const TStamm& rec = m_store.record(m_store.FCurrent);
    if (!m_dialogs.confirm(QStringLiteral("Möchten Sie die Stamminformationen [") + rec.FRegNr
                           + QStringLiteral("] wirklich löschen?")))
        return false;
    const bool moved =
        keyfiles::retireKeyFile(keyfiles::keyFilePath(rec.FAppDir, rec.FKeyFileName), rec.FAppDir, m_dialogs, movedTo);
    m_store.LoadKeyFiles();
    return moved;
}

bool KeyManager::FormCloseQuery()
{
    if (!FModified)
        return true;
    switch (m_dialogs.message(Dialogs::Kind::Confirmation, QStringLiteral("Wollen Sie die Änderungen speichern?"),
                              Dialogs::Buttons::YesNoCancel)) {
    case Dialogs::Answer::Yes:
        bitbtnSpeichernClick();
        return true;
    case Dialogs::Answer::No:
        bitbtnAbbrechenClick();
        return true;
    default:
        return false;
    }
}

bool KeyManager::ImportKeyFile(const QString& path)
{
    return keyfiles::ImportKeyFile(m_store.appDir(), path, m_dialogs);
}

void KeyManager::bitbtnImportClick()
{
    FileDialogOptions options;
    options.filter = QString::fromUtf8(keyfiles::kKeyFileFilter);
    options.initialDir = importDir;
    options.multiSelect = true;
    const QStringList files = m_dialogs.openFiles(options);
    if (files.isEmpty())
        return;
    importDir = fs::dialogFolderForm(fs::directoryOf(files.first()));
    for (const QString& file : files) {
        // A failed copy would otherwise go unnoticed when an older key file of that name remains.
        if (!ImportKeyFile(file))
            m_dialogs.error(QStringLiteral("Die Key-Datei ") + file + QStringLiteral(" konnte nicht importiert werden."));
    }
    m_store.LoadKeyFiles();
}

void KeyManager::bitbtnExportClick()
{
    if (m_state == State::New || !m_store.isValidIndex(m_store.FCurrent))
        return;
    const TStamm& rec = m_store.record(m_store.FCurrent);
    FileDialogOptions options;
    options.filter = QString::fromUtf8(keyfiles::kKeyFileFilter);
    options.initialDir = exportDir;
    options.initialName = rec.FKeyFileName;
    const QString target = m_dialogs.saveFile(options);
    if (target.isEmpty())
        return;
    exportDir = fs::dialogFolderForm(fs::directoryOf(target));
    exportCurrentTo(target);
}

bool KeyManager::exportCurrentTo(const QString& target)
{
    if (m_state == State::New || !m_store.isValidIndex(m_store.FCurrent))
        return false;
    if (!keyfiles::isExportName(target)) {
        m_dialogs.information(QString::fromUtf8(keyfiles::kBadExportName));
        return false;
    }
    const TStamm& rec = m_store.record(m_store.FCurrent);
    QString error;
    // A backup that silently failed would be worse than none.
    if (!keyfiles::exportKeyFile(keyfiles::keyFilePath(rec.FAppDir, rec.FKeyFileName), target, &error)) {
        m_dialogs.error(QStringLiteral("Die Key-Datei konnte nicht nach ") + target
                        + QStringLiteral(" exportiert werden: ") + error);
        return false;
    }
    return true;
}

void KeyManager::chooseDirectoryFor(Field field)
{
    const QString chosen = m_store.ChooseDirectory(text(field));
    if (!chosen.isEmpty())
        setText(field, chosen);
}

void KeyManager::bitbtnVVorschlagClick()
{
    const QString root = text(RootDir);
    if (root.isEmpty())
        return;
    const QString r = fs::withSeparator(root);
    if (!fs::dirExists(root)) {
        m_dialogs.information(QStringLiteral("Das Wurzelverzeichnis \"") + r
                              + QStringLiteral("\" existiert nicht. Bitte nur existierende Verzeichnisse angeben."));
        return;
    }
    const QString regNr = m_store.isValidIndex(m_store.FCurrent) ? m_store.record(m_store.FCurrent).FRegNr
                                                                  : text(RegNrHeader).trimmed();
    const QString base = r + regNr + fs::separator();
    setText(ExportDir, base + QStringLiteral("Export") + fs::separator());
    setText(AntwortDir, base + QStringLiteral("Antwort") + fs::separator());
    setText(NewsDir, base + QStringLiteral("News") + fs::separator());
}

void KeyManager::MakeDirectory(const QString& dir)
{
    if (dir.isEmpty() || fs::dirExists(dir))
        return;
    if (!fs::makePath(dir))
        m_dialogs.error(QStringLiteral("Das Verzeichnis \"") + dir
                        + QStringLiteral("\" konnte nicht erfolgreich angelegt werden."));
}

void KeyManager::bitbtnVErzeugenClick()
{
    static constexpr Field dirs[] = {ExportDir, AntwortDir, NewsDir};
    for (Field f : dirs)
        MakeDirectory(text(f));
    for (Field f : dirs) {
        if (!fs::dirExists(text(f)))
            return;
    }
    m_dialogs.information(QStringLiteral("Die angegebenen Pfade wurden erfolgreich erstellt."));
}

} // namespace tolvane
