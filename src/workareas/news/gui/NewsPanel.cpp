#include "workareas/news/gui/NewsPanel.h"

#include <QComboBox>

namespace tolvane {

NewsPanel::NewsPanel(QWidget* parent)
    : WorkAreaPanel(QStringLiteral("pNews"), QStringLiteral("Newsdateien erstellen und öffnen"), parent)
{
}

void NewsPanel::resetArea()
{
    static constexpr ResetStep steps[] = {{"cboxNwRegNr", ResetAction::EmptyList}};
    applyReset(steps);
}

void NewsPanel::fillRegNrList(const QStringList& regNrs)
{
    if (auto* combo = findChild<QComboBox*>(QStringLiteral("cboxNwRegNr")))
        combo->addItems(regNrs);
}

void NewsPanel::enterArea()
{
    // Choosing the area starts a new news file from nothing.
    static constexpr ResetStep steps[] = {
        {"cboxNwRegNr", ResetAction::EmptyText},       {"edNewsBezeichnung", ResetAction::EmptyText},
        {"stNewsAusgabePfad", ResetAction::EmptyText}, {"stNwsAusgabepfad", ResetAction::EmptyText},
        {"lbNwsSourceFiles", ResetAction::EmptyList},
    };
    applyReset(steps);
}

} // namespace tolvane
