#include "workareas/export/gui/ExportPanel.h"

#include <QComboBox>

namespace tolvane {

ExportPanel::ExportPanel(QWidget* parent)
    : WorkAreaPanel(QStringLiteral("pExport"), QStringLiteral("Verschlüsselte Transaktionsdateien erzeugen"),
                    parent)
{
}

void ExportPanel::resetArea()
{
    // bitbtnExpOpenDir and the export selection stay as they are.
    static constexpr ResetStep steps[] = {
        {"cboxExRegnr", ResetAction::EmptyList},        {"lbExpQuelle", ResetAction::EmptyList},
        {"lbExpTransaktionen", ResetAction::EmptyList}, {"stquellpath", ResetAction::EmptyText},
        {"stZielPath", ResetAction::EmptyText},         {"slExpAusgabe", ResetAction::Hide},
        {"bitbtnDelete", ResetAction::Disable},         {"bitbtnErzeugen", ResetAction::Hide},
        {"bitbtnSearchExport", ResetAction::Disable},
    };
    applyReset(steps);
}

void ExportPanel::fillRegNrList(const QStringList& regNrs)
{
    if (auto* combo = findChild<QComboBox*>(QStringLiteral("cboxExRegnr")))
        combo->addItems(regNrs);
}

} // namespace tolvane
