#include "workareas/news/gui/NewsPanel.h"

#include "platform/Guarded.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/gui/PanelControls.h"
#include "workareas/gui/PathLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QUrl>

namespace tolvane {

namespace {

// A group, laid out in a grid, that takes files dropped on it or on a control inside it that
// takes no drops itself. pick keeps what the group takes of the dropped paths; handle runs once
// the drop has returned, so the program the files came from is not held up by the questions and
// messages that follow.
class FileDropGroup : public QGroupBox {
public:
    using Pick = QStringList (*)(const QStringList&);
    FileDropGroup(const QString& name, const QString& title, QWidget* parent, Pick pick, Dialogs& dialogs,
                  std::function<void(const QStringList&)> handle)
        : QGroupBox(title, parent), m_grid(new QGridLayout(this)), m_pick(pick), m_dialogs(dialogs),
          m_handle(std::move(handle))
    {
        setObjectName(name);
        setAcceptDrops(true);
        m_grid->setHorizontalSpacing(8);
        m_grid->setVerticalSpacing(6);
    }
    QGridLayout* grid() const { return m_grid; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (!picked(event->mimeData()).isEmpty())
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override
    {
        const QStringList files = picked(event->mimeData());
        if (files.isEmpty())
            return;
        event->acceptProposedAction();
        QMetaObject::invokeMethod(
            this, [this, files] { runGuarded(m_dialogs, [&] { m_handle(files); }); }, Qt::QueuedConnection);
    }

private:
    QStringList picked(const QMimeData* data) const
    {
        QStringList paths;
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile())
                paths << QDir::toNativeSeparators(url.toLocalFile());
        }
        return m_pick(paths);
    }

    QGridLayout* m_grid;
    Pick m_pick;
    Dialogs& m_dialogs;
    std::function<void(const QStringList&)> m_handle;
};

QPushButton* button(const QString& name, const QString& text, QWidget* parent,
                    QStyle::StandardPixmap icon = QStyle::SP_CustomBase)
{
    QPushButton* b = panel::button(name, text, parent);
    if (icon != QStyle::SP_CustomBase)
        b->setIcon(parent->style()->standardIcon(icon));
    return b;
}

} // namespace

NewsPanel::NewsPanel(WorkAreaServices& services, QWidget* parent)
    : WorkAreaPanel(QStringLiteral("pNews"), QStringLiteral("Newsdateien erstellen und öffnen"), parent),
      m_area(services)
{
    buildUi(services.dialogs());
    m_area.onChanged = [this] { syncFromArea(); };
    m_area.onFocusNwsGetFiles = [this] { bitbtnNwsGetFiles->setFocus(); };
    m_area.onFocusNewsBezeichnung = [this] { edNewsBezeichnung->setFocus(); };
    syncFromArea();
}

NewsPanel::~NewsPanel()
{
    m_area.onChanged = nullptr;
    m_area.onFocusNwsGetFiles = nullptr;
    m_area.onFocusNewsBezeichnung = nullptr;
}

void NewsPanel::buildUi(Dialogs& dialogs)
{
    body()->addWidget(buildCreation(dialogs), 1);
    body()->addWidget(buildDecryption(dialogs));
}

QGroupBox* NewsPanel::buildCreation(Dialogs& dialogs)
{
    auto* group = new FileDropGroup(QStringLiteral("gbNewsErzeugen"), QStringLiteral("Newsdatei erzeugen"),
                                    this, &NewsArea::sourceFilesOf, dialogs,
                                    [this](const QStringList& files) { m_area.dropSourceFiles(files); });
    QGridLayout* grid = group->grid();

    cboxNwRegNr = new QComboBox(group);
    cboxNwRegNr->setObjectName(QStringLiteral("cboxNwRegNr"));
    cboxNwRegNr->setEditable(false);
    cboxNwRegNr->setMinimumWidth(120);
    bitbtnNwsGetFiles = button(QStringLiteral("bitbtnNwsGetFiles"), QStringLiteral("Dateien hinzufügen"),
                               group, QStyle::SP_DialogOpenButton);
    lbNwsSourceFiles = new QListWidget(group);
    lbNwsSourceFiles->setObjectName(QStringLiteral("lbNwsSourceFiles"));
    lbNwsSourceFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    // Long paths are shortened in the middle, so the file name stays in sight.
    lbNwsSourceFiles->setTextElideMode(Qt::ElideMiddle);
    lbNwsSourceFiles->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bitbtn = button(QStringLiteral("bitbtn"), QStringLiteral("Datei aus Liste entfernen"), group,
                    QStyle::SP_TrashIcon);
    edNewsBezeichnung = new QLineEdit(group);
    edNewsBezeichnung->setObjectName(QStringLiteral("edNewsBezeichnung"));
    edNewsBezeichnung->setToolTip(
        QStringLiteral("Hier muß eine beschreibende Bezeichnung für die Newsdatei eingetragen werden"));
    // A file dropped on the description belongs to the source list, not into the text.
    edNewsBezeichnung->setAcceptDrops(false);
    stNewsAusgabePfad = new PathLabel(QStringLiteral("stNewsAusgabePfad"), group);
    bitbtnNwsErzeugen = button(QStringLiteral("bitbtnNwsErzeugen"), QStringLiteral("Newsdatei erzeugen"),
                               group, QStyle::SP_DialogSaveButton);
    QFont bold = bitbtnNwsErzeugen->font();
    bold.setBold(true);
    bitbtnNwsErzeugen->setFont(bold);

    auto* regNrLabel = new QLabel(QStringLiteral("RegistrierNr."), group);
    regNrLabel->setBuddy(cboxNwRegNr);
    auto* descriptionLabel = new QLabel(QStringLiteral("Dateibebeschreibung:"), group);
    descriptionLabel->setBuddy(edNewsBezeichnung);
    auto* pathLabel = new QLabel(QStringLiteral("Ablagepfad:"), group);

    // The source list takes the whole width, so the full paths have room.
    auto* listButtons = new QHBoxLayout;
    listButtons->addStretch(1);
    listButtons->addWidget(bitbtnNwsGetFiles);
    listButtons->addWidget(bitbtn);
    grid->addWidget(regNrLabel, 0, 0);
    grid->addWidget(cboxNwRegNr, 0, 1, Qt::AlignLeft);
    grid->addWidget(lbNwsSourceFiles, 1, 0, 1, 3);
    grid->addLayout(listButtons, 2, 0, 1, 3);
    grid->addWidget(descriptionLabel, 3, 0);
    grid->addWidget(edNewsBezeichnung, 3, 1, 1, 2);
    grid->addWidget(pathLabel, 4, 0);
    grid->addWidget(stNewsAusgabePfad, 4, 1);
    grid->addWidget(bitbtnNwsErzeugen, 4, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    m_labelWidth = descriptionLabel->sizeHint().width();

    connectGuarded(cboxNwRegNr, &QComboBox::currentIndexChanged, this, dialogs,
                   [this](int index) { m_area.chooseRegNr(index); });
    connectGuarded(bitbtnNwsGetFiles, &QPushButton::clicked, this, dialogs,
                   [this] { m_area.bitbtnNwsGetFilesClick(); });
    connectGuarded(lbNwsSourceFiles, &QListWidget::currentRowChanged, this, dialogs,
                   [this](int row) { m_area.chooseSourceFile(row); });
    connectGuarded(bitbtn, &QPushButton::clicked, this, dialogs, [this] { m_area.bitbtnClick(); });
    connectGuarded(edNewsBezeichnung, &QLineEdit::textEdited, this, dialogs,
                   [this](const QString& text) { m_area.setDescription(text); });
    connectGuarded(bitbtnNwsErzeugen, &QPushButton::clicked, this, dialogs,
                   [this] { m_area.bitbtnNwsErzeugenClick(); });
    return group;
}

QGroupBox* NewsPanel::buildDecryption(Dialogs& dialogs)
{
    auto* group = new FileDropGroup(
        QStringLiteral("gbNewsEntschluesseln"), QStringLiteral("Newsdatei entschlüsseln"), this,
        &NewsArea::newsFilesOf, dialogs, [this](const QStringList& files) { m_area.dropNewsFiles(files); });
    QGridLayout* grid = group->grid();

    bitbtnNwsEntschluesseln =
        button(QStringLiteral("bitbtnNwsEntschluesseln"), QStringLiteral("Newsdatei entschlüsseln"), group,
               QStyle::SP_DialogOpenButton);
    ckboxOpenExplorer = new QCheckBox(QStringLiteral("Entschlüsselte Dateien im Explorer öffnen"), group);
    ckboxOpenExplorer->setObjectName(QStringLiteral("ckboxOpenExplorer"));
    stNwsAusgabepfad = new PathLabel(QStringLiteral("stNwsAusgabepfad"), group);

    grid->addWidget(bitbtnNwsEntschluesseln, 0, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(ckboxOpenExplorer, 0, 2, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("Ablagepfad:"), group), 1, 0);
    grid->addWidget(stNwsAusgabepfad, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    // Both paths start where the creation's fields start.
    grid->setColumnMinimumWidth(0, m_labelWidth);

    connectGuarded(bitbtnNwsEntschluesseln, &QPushButton::clicked, this, dialogs,
                   [this] { m_area.bitbtnNwsEntschluesselnClick(); });
    connectGuarded(ckboxOpenExplorer, &QCheckBox::toggled, this, dialogs,
                   [this](bool checked) { m_area.setOpenExplorer(checked); });
    return group;
}

void NewsPanel::syncFromArea()
{
    panel::showItems(cboxNwRegNr, m_area.regNrList(), m_area.regNrIndex());
    panel::showLines(lbNwsSourceFiles, m_area.sourceFiles(), m_area.sourceSelection());
    for (int i = 0; i < lbNwsSourceFiles->count(); ++i)
        lbNwsSourceFiles->item(i)->setToolTip(lbNwsSourceFiles->item(i)->text());
    // Only a changed text is set, so the cursor stays where the user types.
    if (edNewsBezeichnung->text() != m_area.description())
        edNewsBezeichnung->setText(m_area.description());
    stNewsAusgabePfad->setText(m_area.newsPath());
    bitbtnNwsErzeugen->setEnabled(m_area.erzeugenEnabled());
    stNwsAusgabepfad->setText(m_area.outputPath());
    const QSignalBlocker block(ckboxOpenExplorer);
    ckboxOpenExplorer->setChecked(m_area.openExplorer());
}

bool NewsPanel::decryptFromCommandLine(const QString& path)
{
    // The explorer box has its start value (ticked), so the output folder opens.
    return m_area.DecryptNewsFile(path);
}

void NewsPanel::resetArea()
{
    m_area.reset();
}

void NewsPanel::fillRegNrList(const QStringList& regNrs)
{
    m_area.setRegNrList(regNrs);
}

void NewsPanel::enterArea()
{
    m_area.enterArea();
}

} // namespace tolvane
