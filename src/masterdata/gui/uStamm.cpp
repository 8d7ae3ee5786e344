#include "masterdata/gui/uStamm.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Guarded.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace tolvane {

namespace {

constexpr int kLabelWidth = 130;
constexpr int kEditWidth = 340;

QLabel* fieldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setMinimumWidth(kLabelWidth);
    return label;
}

QPushButton* button(const QString& objectName, const QString& text, QStyle::StandardPixmap icon, QWidget* parent)
{
    auto* b = new QPushButton(parent->style()->standardIcon(icon), text, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    return b;
}

QLabel* note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
    label->setPalette(pal);
    QFont f = label->font();
    f.setPointSizeF(f.pointSizeF() * 0.9);
    label->setFont(f);
    return label;
}

QString rootDirExample()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\QS-Daten\\");
#else
    return QDir::toNativeSeparators(QDir::homePath()) + QStringLiteral("/QS-Daten/");
#endif
}

} // namespace

TfrmStamm::TfrmStamm(MasterDataStore& store, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_store(store), m_keys(m_store, dialogs)
{
    setObjectName(QStringLiteral("frmStamm"));
    buildUi();
    m_keys.onChanged = [this] { syncFromModel(); };
    m_keys.onFocus = [this](KeyManager::Field f) { focusField(f); };
    syncFromModel();
    // FormCreate
    m_store.LoadKeyFiles();
}

TfrmStamm::~TfrmStamm()
{
    // The store outlives the callbacks of this window.
    m_keys.onChanged = nullptr;
    m_keys.onFocus = nullptr;
}

void TfrmStamm::buildUi()
{
    setWindowTitle(QStringLiteral(" KEY - Eigenschaften"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // Disabled fields still show the record; keep their text readable.
    QPalette pal = palette();
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(0x55, 0x55, 0x55));
    setPalette(pal);

    auto* root = new QVBoxLayout(this);
    root->setSizeConstraint(QLayout::SetFixedSize);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(10);

    auto* body = new QHBoxLayout;
    body->setSpacing(10);
    root->addLayout(body);

    // Left: the registration numbers.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    auto* keyHeading = new QLabel(QStringLiteral("KEY"), this);
    keyHeading->setObjectName(QStringLiteral("stKey"));
    keyHeading->setAlignment(Qt::AlignCenter);
    keyHeading->setStyleSheet(QStringLiteral(
        "QLabel { background: #1f3a68; color: white; font-weight: bold; padding: 5px; border-radius: 2px; }"));
    lbRegNr = new QListWidget(this);
    lbRegNr->setObjectName(QStringLiteral("lbRegNr"));
    lbRegNr->setToolTip(
        QStringLiteral("Hinweise: rechte Maustaste für PopUp-Menü - Keydaten bearbeiten per Doppelklick"));
    lbRegNr->setFixedWidth(120);
    lbRegNr->setContextMenuPolicy(Qt::CustomContextMenu);
    lbRegNr->setStyleSheet(QStringLiteral("QListWidget::item { padding: 2px 4px; }"));
    left->addWidget(keyHeading);
    left->addWidget(lbRegNr, 1);
    body->addLayout(left);

    popmStamm = new QMenu(this);
    popmStamm->setObjectName(QStringLiteral("popmStamm"));
    auto addAction = [this](const QString& name, const QString& text, void (TfrmStamm::*slot)()) {
        QAction* a = popmStamm->addAction(text);
        a->setObjectName(name);
        connectGuarded(a, &QAction::triggered, this, m_dialogs, slot);
    };
    addAction(QStringLiteral("Bearbeiten1"), QStringLiteral("Bearbeiten"), &TfrmStamm::bitbtnBearbeitenClick);
    addAction(QStringLiteral("Importieren1"), QStringLiteral("Importieren"), &TfrmStamm::bitbtnImportClick);
    addAction(QStringLiteral("Exportieren1"), QStringLiteral("Exportieren"), &TfrmStamm::bitbtnExportClick);
    addAction(QStringLiteral("Loeschen1"), QStringLiteral("Löschen"), &TfrmStamm::bitbtnLoeschenClick);
    connect(lbRegNr, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (lbRegNr->isEnabled())
            popmStamm->exec(lbRegNr->viewport()->mapToGlobal(pos));
    });
    connectGuarded(lbRegNr, &QListWidget::currentRowChanged, this, m_dialogs, &TfrmStamm::lbRegNrClick);
    connectGuarded(lbRegNr, &QListWidget::itemDoubleClicked, this, m_dialogs,
                   [this](QListWidgetItem* item) { lbRegNrDblClick(lbRegNr->row(item)); });

    // Right: the record.
    auto* right = new QVBoxLayout;
    right->setSpacing(8);
    body->addLayout(right);

    auto* header = new QFrame(this);
    header->setObjectName(QStringLiteral("pHeader"));
    header->setStyleSheet(QStringLiteral("QFrame#pHeader { background: #000080; border-radius: 2px; }"));
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(6, 4, 6, 4);
    stRegNr = new QLabel(header);
    stRegNr->setObjectName(QStringLiteral("stRegNr"));
    stRegNr->setStyleSheet(QStringLiteral("QLabel { color: #ffff00; font-size: 16pt; font-weight: bold; }"));
    stRegNr->setMinimumHeight(30);
    stVQZ = new QLabel(QStringLiteral("  VQZ - KEYDATEI"), header);
    stVQZ->setObjectName(QStringLiteral("stVQZ"));
    stVQZ->setStyleSheet(QStringLiteral(
        "QLabel { background: #c00000; color: white; font-weight: bold; padding: 3px 8px 3px 2px; }"));
    stVQZ->setVisible(false);
    headerLayout->addWidget(stRegNr, 1);
    headerLayout->addWidget(stVQZ, 0, Qt::AlignVCenter);
    right->addWidget(header);

    // Pass phrase.
    auto* gbKey = new QGroupBox(QStringLiteral("Geheimes Passwort (Passphrase) zur Verschlüsselung der Daten"), this);
    auto* keyGrid = new QGridLayout(gbKey);
    keyGrid->setHorizontalSpacing(8);
    edDesKey = new QLineEdit(gbKey);
    edDesKey->setObjectName(QStringLiteral("edDesKey"));
    edDesKey->setMaxLength(24);
    edDesKey->setFixedWidth(kEditWidth);
    stStandAllg = new QLabel(gbKey);
    stStandAllg->setObjectName(QStringLiteral("stStandAllg"));
    // Wide enough for every text it shows, so the window keeps its size from record to record.
    const QFontMetrics metrics(stStandAllg->font());
    stStandAllg->setMinimumWidth(
        std::max(metrics.horizontalAdvance(QStringLiteral("Stand: bisher keine Angaben")),
                 metrics.horizontalAdvance(QStringLiteral("Stand: 28.12.2028 23:59:59")))
        + 12);
    keyGrid->addWidget(fieldLabel(QStringLiteral(" 3DES-Schlüssel"), gbKey), 0, 0);
    keyGrid->addWidget(edDesKey, 0, 1);
    keyGrid->addWidget(stStandAllg, 0, 2);
    keyGrid->addWidget(note(QStringLiteral(" (wird von der datenentgegennehmenden Stelle vergeben und muss beiden "
                                           "Seiten bekannt sein )"),
                            gbKey),
                       1, 1);
    keyGrid->setColumnStretch(2, 1);
    right->addWidget(gbKey);

    // The four directories; each group has a label, the edit and its "Durchsuchen" button.
    auto dirGroup = [this, right](const QString& title, const QString& label, QLineEdit*& editField,
                                  const QString& editName, const QString& hint, const QString& buttonName,
                                  void (TfrmStamm::*slot)()) {
        auto* group = new QGroupBox(title, this);
        auto* grid = new QGridLayout(group);
        grid->setHorizontalSpacing(8);
        editField = new QLineEdit(group);
        editField->setObjectName(editName);
        editField->setToolTip(hint);
        editField->setFixedWidth(kEditWidth);
        QPushButton* search = button(buttonName, QStringLiteral("Durchsuchen"), QStyle::SP_DirOpenIcon, group);
        connectGuarded(search, &QPushButton::clicked, this, m_dialogs, slot);
        grid->addWidget(fieldLabel(label, group), 0, 0);
        grid->addWidget(editField, 0, 1);
        grid->addWidget(search, 0, 2);
        grid->setColumnStretch(3, 1);
        right->addWidget(group);
        return std::make_pair(group, grid);
    };

    auto [gbRoot, rootGrid] = dirGroup(
        QStringLiteral("Root-Ablageverzeichnis"), QStringLiteral("  Hauptverzeichnis"), edVRootDir,
        QStringLiteral("edVRootDir"), QStringLiteral("Übergeordnetes Arbeitsverzeichnis. z.B. ") + rootDirExample(),
        QStringLiteral("bitBtnSearchRoot"), &TfrmStamm::bitBtnSearchRootClick);
    auto* proposeRow = new QHBoxLayout;
    proposeRow->setSpacing(8);
    QPushButton* propose = button(QStringLiteral("bitbtnVVorschlag"), QStringLiteral("*Unterordner vorschlagen"),
                                  QStyle::SP_FileDialogDetailedView, gbRoot);
    QPushButton* create = button(QStringLiteral("bitbtnVErzeugen"), QStringLiteral("Unterordner erzeugen"),
                                 QStyle::SP_FileDialogNewFolder, gbRoot);
    connectGuarded(propose, &QPushButton::clicked, this, m_dialogs, &TfrmStamm::bitbtnVVorschlagClick);
    connectGuarded(create, &QPushButton::clicked, this, m_dialogs, &TfrmStamm::bitbtnVErzeugenClick);
    proposeRow->addWidget(propose);
    proposeRow->addWidget(create);
    proposeRow->addStretch(1);
    rootGrid->addLayout(proposeRow, 1, 1, 1, 3);
    rootGrid->addWidget(note(QStringLiteral("* (Wenn Sie das Hauptverzeichnis ausgewählt haben, werden für Ihre "
                                            "ausgewählte Registriernummer Unterverzeichnisse vorgeschlagen)"),
                             gbRoot),
                        2, 1, 1, 3);

    dirGroup(QStringLiteral("für Ihren &Datenexport"), QStringLiteral("  Ablageverzeichnis"), edVExport,
             QStringLiteral("edVExport"),
             QStringLiteral("In diesem Verzeichnis werden die verschlüsselten Transaktionsdateien sowie ein Ordner "
                            "für die Ablage der unverschlüsselten Exportdateien erstellt"),
             QStringLiteral("bitbtnSearchExport"), &TfrmStamm::bitbtnSearchExportClick);
    dirGroup(QStringLiteral("für die &Import-Rückmeldungen der datenentgegennehmenden Stelle"),
             QStringLiteral("  Ablageverzeichnis"), edVAntwort, QStringLiteral("edVAntwort"),
             QStringLiteral("In diesem Verzeichnis wird ein Ordner mit den entschschlüsselten Dateien der "
                            "Rückmeldung angelegt"),
             QStringLiteral("bitbtnAntwort"), &TfrmStamm::bitbtnAntwortClick);
    dirGroup(QStringLiteral("für beliebigen Datei-Transfer durch NEWS-Datei"), QStringLiteral("  Ablageverzeichnis"),
             edVNews, QStringLiteral("edVNews"),
             QStringLiteral("Dieses Verzeichnis archiviert die empfangenen und gesendeten Newsdateien"),
             QStringLiteral("bitbtnSearchNews"), &TfrmStamm::bitbtnSearchNewsClick);
    right->addStretch(1);

    m_dirButtons = {findChild<QPushButton*>(QStringLiteral("bitBtnSearchRoot")),
                    findChild<QPushButton*>(QStringLiteral("bitbtnSearchExport")),
                    findChild<QPushButton*>(QStringLiteral("bitbtnAntwort")),
                    findChild<QPushButton*>(QStringLiteral("bitbtnSearchNews")), propose, create};

    // Every text change goes to the change handlers.
    for (int f = KeyManager::DesKey; f < KeyManager::kFieldCount; ++f) {
        const auto field = KeyManager::Field(f);
        connectGuarded(edit(field), &QLineEdit::textChanged, this, m_dialogs,
                       [this, field](const QString& text) { m_keys.setText(field, text); });
    }

    // Bottom row.
    auto* bottom = new QFrame(this);
    bottom->setObjectName(QStringLiteral("pButtons"));
    bottom->setFrameShape(QFrame::StyledPanel);
    auto* buttons = new QHBoxLayout(bottom);
    buttons->setContentsMargins(8, 6, 8, 6);
    auto* keysLabel = new QLabel(QStringLiteral("KEYS"), bottom);
    keysLabel->setObjectName(QStringLiteral("stKeys"));
    QFont bold = keysLabel->font();
    bold.setBold(true);
    keysLabel->setFont(bold);
    bitbtnNeu = button(QStringLiteral("bitbtnNeu"), QStringLiteral("&Neu"), QStyle::SP_FileIcon, bottom);
    cxbtnImport = button(QStringLiteral("cxbtnImport"), QStringLiteral("&Importieren"), QStyle::SP_ArrowDown, bottom);
    cxbtnexport = button(QStringLiteral("cxbtnexport"), QStringLiteral("&Exportieren"), QStyle::SP_ArrowUp, bottom);
    bitbtnspeichern = button(QStringLiteral("bitbtnspeichern"), QStringLiteral("&Speichern"),
                             QStyle::SP_DialogSaveButton, bottom);
    bitbtnabbrechen = button(QStringLiteral("bitbtnabbrechen"), QStringLiteral("&Abbrechen"),
                             QStyle::SP_DialogCancelButton, bottom);
    bitbtnspeichern->setDefault(true);
    for (QPushButton* b : {bitbtnNeu, cxbtnImport, cxbtnexport, bitbtnspeichern, bitbtnabbrechen})
        b->setMinimumWidth(112);
    buttons->addWidget(keysLabel);
    buttons->addSpacing(8);
    buttons->addWidget(bitbtnNeu);
    buttons->addWidget(cxbtnImport);
    buttons->addWidget(cxbtnexport);
    buttons->addStretch(1);
    buttons->addWidget(bitbtnspeichern);
    buttons->addWidget(bitbtnabbrechen);
    root->addWidget(bottom);

    connectGuarded(bitbtnNeu, &QPushButton::clicked, this, m_dialogs, &TfrmStamm::bitbtnNeuClick);
    connectGuarded(cxbtnImport, &QPushButton::clicked, this, m_dialogs, &TfrmStamm::bitbtnImportClick);
    connectGuarded(cxbtnexport, &QPushButton::clicked, this, m_dialogs, &TfrmStamm::bitbtnExportClick);
    connectGuarded(bitbtnspeichern, &QPushButton::clicked, this, m_dialogs, &TfrmStamm::bitbtnSpeichernClick);
    connectGuarded(bitbtnabbrechen, &QPushButton::clicked, this, m_dialogs, &TfrmStamm::bitbtnAbbrechenClick);
}

QLineEdit* TfrmStamm::edit(KeyManager::Field field) const
{
    switch (field) {
    case KeyManager::DesKey:
        return edDesKey;
    case KeyManager::RootDir:
        return edVRootDir;
    case KeyManager::ExportDir:
        return edVExport;
    case KeyManager::AntwortDir:
        return edVAntwort;
    case KeyManager::NewsDir:
        return edVNews;
    case KeyManager::RegNrHeader:
        break;
    }
    return nullptr;
}

void TfrmStamm::syncFromModel()
{
    stRegNr->setText(m_keys.text(KeyManager::RegNrHeader));
    for (int f = KeyManager::DesKey; f < KeyManager::kFieldCount; ++f) {
        QLineEdit* e = edit(KeyManager::Field(f));
        const QString& text = m_keys.text(KeyManager::Field(f));
        if (e->text() != text) {
            // The manager has run the change handler already.
            const QSignalBlocker block(e);
            e->setText(text);
        }
    }
    stStandAllg->setText(m_keys.standText());
    stVQZ->setVisible(m_keys.vqzVisible());

    {
        const QSignalBlocker block(lbRegNr);
        QStringList shown;
        for (int i = 0; i < lbRegNr->count(); ++i)
            shown << lbRegNr->item(i)->text();
        if (shown != m_keys.listEntries()) {
            lbRegNr->clear();
            lbRegNr->addItems(m_keys.listEntries());
        }
        const int selection = m_keys.listSelection();
        if (lbRegNr->currentRow() != selection || (selection >= 0 && !lbRegNr->item(selection)->isSelected()))
            lbRegNr->setCurrentRow(selection);
    }

    const KeyManager::Controls& c = m_keys.controls();
    bitbtnspeichern->setEnabled(c.speichern);
    bitbtnabbrechen->setEnabled(c.abbrechen);
    bitbtnNeu->setEnabled(c.neu);
    cxbtnImport->setEnabled(c.importBtn);
    cxbtnexport->setEnabled(c.exportBtn);
    for (QPushButton* b : m_dirButtons)
        b->setEnabled(c.dirButtons);
    lbRegNr->setEnabled(c.list);
    edDesKey->setEnabled(c.desKey);
    for (QLineEdit* e : {edVRootDir, edVExport, edVAntwort, edVNews})
        e->setEnabled(c.dirFields);
}

void TfrmStamm::focusField(KeyManager::Field field)
{
    if (QLineEdit* e = edit(field))
        e->setFocus(Qt::OtherFocusReason);
}

void TfrmStamm::lbRegNrClick(int row)
{
    m_keys.lbRegNrClick(row);
}

void TfrmStamm::lbRegNrDblClick(int row)
{
    m_keys.lbRegNrDblClick(row);
}

void TfrmStamm::reject()
{
    if (m_keys.FormCloseQuery())
        QDialog::reject();
}

} // namespace tolvane
