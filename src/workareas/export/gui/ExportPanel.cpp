#include "workareas/export/gui/ExportPanel.h"

#include "platform/Guarded.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/gui/PanelControls.h"
#include "workareas/gui/PathLabel.h"
#include "workareas/gui/ShellFileView.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

namespace tolvane {

using panel::button;
using panel::list;
using panel::showItems;
using panel::showLines;

ExportPanel::ExportPanel(WorkAreaServices& services, QWidget* parent)
    : WorkAreaPanel(QStringLiteral("pExport"), QStringLiteral("Verschlüsselte Transaktionsdateien erzeugen"),
                    parent),
      m_area(services)
{
    buildUi(services.dialogs());
    m_area.onChanged = [this] { syncFromArea(); };
    m_area.onFocusSearchExport = [this] { bitbtnSearchExport->setFocus(); };
    syncFromArea();
}

ExportPanel::~ExportPanel()
{
    m_area.onChanged = nullptr;
    m_area.onFocusSearchExport = nullptr;
}

void ExportPanel::buildUi(Dialogs& dialogs)
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    body()->addLayout(grid);

    cboxExRegnr = new QComboBox(this);
    cboxExRegnr->setObjectName(QStringLiteral("cboxExRegnr"));
    cboxExRegnr->setEditable(false);
    cboxExRegnr->setMinimumWidth(120);
    stquellpath = new PathLabel(QStringLiteral("stquellpath"), this);
    stZielPath = new PathLabel(QStringLiteral("stZielPath"), this);
    bitbtnSearchExport = button(QStringLiteral("bitbtnSearchExport"), QStringLiteral("ändern"), this);
    grid->addWidget(new QLabel(QStringLiteral("   Registriernummer"), this), 0, 0);
    grid->addWidget(cboxExRegnr, 0, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("   Exportquelle"), this), 1, 0);
    grid->addWidget(stquellpath, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Ablageverzeichnis"), this), 2, 0);
    grid->addWidget(stZielPath, 2, 1);
    grid->addWidget(bitbtnSearchExport, 2, 2);
    grid->setColumnStretch(1, 1);

    bitbtnGetTransaktion =
        button(QStringLiteral("bitbtnGetTransaktion"), QStringLiteral("Transaktionen auswählen"), this,
               QStringLiteral("Wählen Sie hier die zu verschlüsselnden Exporte aus."));
    bitbtnGetTransaktion->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    auto* chooseRow = new QHBoxLayout;
    chooseRow->addWidget(bitbtnGetTransaktion);
    chooseRow->addStretch(1);
    body()->addLayout(chooseRow);

    lbExpTransaktionen = list(QStringLiteral("lbExpTransaktionen"), this);
    lbExpQuelle = list(QStringLiteral("lbExpQuelle"), this);
    bitbtnDelete = button(QStringLiteral("bitbtnDelete"), QStringLiteral("Datei aus Liste entfernen"), this);
    bitbtnErzeugen = button(QStringLiteral("bitbtnErzeugen"), QStringLiteral(">> 3DES"), this,
                            QStringLiteral("Erzeugen der verschlüsselten Transaktionsdatei"));
    QFont bold = bitbtnErzeugen->font();
    bold.setBold(true);
    bitbtnErzeugen->setFont(bold);
    slExpAusgabe = new ShellFileView(QStringLiteral("slExpAusgabe"), this);
    bitbtnExpOpenDir =
        button(QStringLiteral("bitbtnExpOpenDir"), QStringLiteral("Pfad im Explorer öffnen"), this);

    // Fixed columns: a list that is hidden or empty keeps its place, so nothing jumps.
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(8);
    lists->setVerticalSpacing(4);
    lists->addWidget(new QLabel(QStringLiteral("Transaktionen"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Exportdateien"), this), 0, 1);
    lists->addWidget(new QLabel(QStringLiteral("Transaktionsdateien "), this), 0, 2);
    lists->addWidget(lbExpTransaktionen, 1, 0);
    lists->addWidget(lbExpQuelle, 1, 1);
    lists->addWidget(slExpAusgabe, 1, 2);
    lists->addWidget(bitbtnErzeugen, 2, 0);
    lists->addWidget(bitbtnDelete, 2, 1);
    lists->addWidget(bitbtnExpOpenDir, 2, 2);
    const int widths[] = {166, 168, 165};
    for (int column = 0; column < 3; ++column) {
        lists->setColumnMinimumWidth(column, widths[column]);
        lists->setColumnStretch(column, widths[column]);
    }
    lists->setRowStretch(1, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{lbExpTransaktionen, lbExpQuelle, slExpAusgabe,
                                                      bitbtnErzeugen, bitbtnDelete, bitbtnExpOpenDir}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    body()->addLayout(lists, 1);

    connectGuarded(cboxExRegnr, &QComboBox::currentIndexChanged, this, dialogs,
                   [this](int index) { m_area.chooseRegNr(index); });
    connectGuarded(bitbtnGetTransaktion, &QPushButton::clicked, this, dialogs,
                   [this] { m_area.bitbtnGetTransaktionClick(); });
    connectGuarded(lbExpTransaktionen, &QListWidget::currentRowChanged, this, dialogs,
                   [this](int row) { m_area.chooseTransaction(row); });
    connectGuarded(lbExpQuelle, &QListWidget::currentRowChanged, this, dialogs,
                   [this](int row) { m_area.chooseFile(row); });
    connectGuarded(bitbtnDelete, &QPushButton::clicked, this, dialogs,
                   [this] { m_area.bitbtnDeleteClick(); });
    connectGuarded(bitbtnSearchExport, &QPushButton::clicked, this, dialogs,
                   [this] { m_area.bitbtnSearchExportClick(); });
    connectGuarded(bitbtnExpOpenDir, &QPushButton::clicked, this, dialogs,
                   [this] { m_area.bitbtnExpOpenDirClick(); });
    connectGuarded(bitbtnErzeugen, &QPushButton::clicked, this, dialogs,
                   [this] { m_area.bitbtnErzeugenClick(); });
}

void ExportPanel::syncFromArea()
{
    showItems(cboxExRegnr, m_area.regNrList(), m_area.regNrIndex());
    stquellpath->setText(m_area.sourcePath());
    stZielPath->setText(m_area.targetPath());
    showLines(lbExpTransaktionen, m_area.transactionLines(), m_area.transactionSelection());
    showLines(lbExpQuelle, m_area.fileLines(), m_area.fileSelection());
    const ExportArea::Controls& c = m_area.controls();
    bitbtnErzeugen->setVisible(c.erzeugenVisible);
    bitbtnDelete->setEnabled(c.deleteEnabled);
    bitbtnSearchExport->setEnabled(c.searchExportEnabled);
    bitbtnExpOpenDir->setEnabled(c.openDirEnabled);
    slExpAusgabe->setVisible(c.viewVisible);
    if (m_area.viewRefreshes() != m_viewRefreshes) {
        m_viewRefreshes = m_area.viewRefreshes();
        slExpAusgabe->setRoot(m_area.viewRoot());
        slExpAusgabe->refresh();
    } else if (slExpAusgabe->root() != m_area.viewRoot()) {
        slExpAusgabe->setRoot(m_area.viewRoot());
    }
}

void ExportPanel::resetArea()
{
    m_area.reset();
}

void ExportPanel::fillRegNrList(const QStringList& regNrs)
{
    m_area.setRegNrList(regNrs);
}

} // namespace tolvane
