#include "workareas/answer/gui/AnswerPanel.h"

#include "platform/Guarded.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/gui/PanelControls.h"
#include "workareas/gui/PathLabel.h"
#include "workareas/gui/ShellFileView.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace tolvane {

namespace {

// The local files of a drag, in their order; nothing when anything else comes along (a folder,
// a web address), so such a drag is refused as a whole.
QStringList droppedFiles(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    QStringList files;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile())
            return {};
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
        if (QFileInfo(path).isDir())
            return {};
        files << path;
    }
    return files;
}

} // namespace

AnswerPanel::AnswerPanel(WorkAreaServices& services, QWidget* parent)
    : WorkAreaPanel(QStringLiteral("pAntwort"), QStringLiteral("Antwortdateien entschlüsseln"), parent),
      m_area(services), m_dialogs(services.dialogs())
{
    buildUi();
    setAcceptDrops(true);
    m_area.onChanged = [this] { syncFromArea(); };
    m_area.onShowArea = [this] { Q_EMIT showRequested(); };
    syncFromArea();
}

AnswerPanel::~AnswerPanel()
{
    m_area.onChanged = nullptr;
    m_area.onShowArea = nullptr;
}

void AnswerPanel::buildUi()
{
    bitbtnSearchAntwort = panel::button(QStringLiteral("bitbtnSearchAntwort"),
                                        QStringLiteral(" Antwortdateien auswählen"), this);
    bitbtnSearchAntwort->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    auto* chooseRow = new QHBoxLayout;
    chooseRow->addWidget(bitbtnSearchAntwort);
    chooseRow->addStretch(1);
    body()->addLayout(chooseRow);

    pAntAusgabePfad = new QFrame(this);
    pAntAusgabePfad->setObjectName(QStringLiteral("pAntAusgabePfad"));
    lbAntFiles = panel::list(QStringLiteral("lbAntFiles"), pAntAusgabePfad);
    stAntAusgabePfad = new PathLabel(QStringLiteral("stAntAusgabePfad"), pAntAusgabePfad);
    stAntUnterPfad = new PathLabel(QStringLiteral("stAntUnterPfad"), pAntAusgabePfad);
    slAntAusgabePfad =
        new ShellFileView(QStringLiteral("slAntAusgabePfad"), pAntAusgabePfad, ShellFileView::Style::Report);
    bitbtnAntOpenExplorer = panel::button(QStringLiteral("bitbtnAntOpenExplorer"),
                                          QStringLiteral("Pfad im Explorer öffnen"), pAntAusgabePfad);

    // The list of files on the left; the folder of the chosen one on the right. Hidden controls
    // keep their place, so nothing jumps when a run shows them.
    auto* grid = new QGridLayout(pAntAusgabePfad);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(new QLabel(QStringLiteral("Antwortdateien"), pAntAusgabePfad), 0, 0);
    grid->addWidget(lbAntFiles, 1, 0, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ablageverzeichnis"), pAntAusgabePfad), 0, 1);
    grid->addWidget(stAntAusgabePfad, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Unterverzeichnis"), pAntAusgabePfad), 1, 1);
    grid->addWidget(stAntUnterPfad, 1, 2);
    grid->addWidget(slAntAusgabePfad, 2, 1, 1, 2);
    grid->addWidget(bitbtnAntOpenExplorer, 3, 1, 1, 2, Qt::AlignRight);
    grid->setColumnMinimumWidth(0, 160);
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{lbAntFiles, slAntAusgabePfad, bitbtnAntOpenExplorer}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    lbAntFiles->setFixedWidth(160);
    body()->addWidget(pAntAusgabePfad, 1);

    connectGuarded(bitbtnSearchAntwort, &QPushButton::clicked, this, m_dialogs,
                   [this] { m_area.bitbtnSearchAntwortClick(); });
    // A click on the line already selected shows its folder as well.
    connectGuarded(lbAntFiles, &QListWidget::currentRowChanged, this, m_dialogs,
                   [this](int row) { m_area.chooseFile(row); });
    connectGuarded(lbAntFiles, &QListWidget::itemClicked, this, m_dialogs,
                   [this](QListWidgetItem* item) { m_area.chooseFile(lbAntFiles->row(item)); });
    connectGuarded(bitbtnAntOpenExplorer, &QPushButton::clicked, this, m_dialogs,
                   [this] { m_area.bitbtnAntOpenExplorerClick(); });
}

void AnswerPanel::syncFromArea()
{
    panel::showLines(lbAntFiles, m_area.fileLines(), m_area.fileSelection());
    stAntAusgabePfad->setText(m_area.directoryText());
    stAntUnterPfad->setText(m_area.subFolderText());
    const AnswerArea::Controls& c = m_area.controls();
    pAntAusgabePfad->setVisible(c.outputPanelVisible);
    slAntAusgabePfad->setVisible(c.viewVisible);
    bitbtnAntOpenExplorer->setVisible(c.openExplorerVisible);
    if (!m_area.viewRoot().isEmpty() && slAntAusgabePfad->root() != m_area.viewRoot())
        slAntAusgabePfad->setRoot(m_area.viewRoot());
}

bool AnswerPanel::decryptFromCommandLine(const QString& path)
{
    // Reached only from the command line, so the command-line start is set.
    return m_area.DecryptAnswerFile(path, true);
}

void AnswerPanel::resetArea()
{
    m_area.reset();
}

void AnswerPanel::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void AnswerPanel::dragMoveEvent(QDragMoveEvent* event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void AnswerPanel::dropEvent(QDropEvent* event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // The run asks questions; it starts once the drop is over, so the program the files came
    // from is not kept waiting for the answers.
    QTimer::singleShot(0, this, [this, files] { runGuarded(m_dialogs, [&] { m_area.dropFiles(files); }); });
}

} // namespace tolvane
