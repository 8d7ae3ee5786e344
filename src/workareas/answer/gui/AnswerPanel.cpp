#include "workareas/answer/gui/AnswerPanel.h"

namespace tolvane {

AnswerPanel::AnswerPanel(QWidget* parent)
    : WorkAreaPanel(QStringLiteral("pAntwort"), QStringLiteral("Antwortdateien entschlüsseln"), parent)
{
}

void AnswerPanel::resetArea()
{
    // The list of output folders is emptied by each run, not here.
    static constexpr ResetStep steps[] = {
        {"lbAntFiles", ResetAction::EmptyList},     {"stAntAusgabePfad", ResetAction::EmptyText},
        {"stAntUnterPfad", ResetAction::EmptyText}, {"slAntAusgabePfad", ResetAction::Hide},
        {"pAntAusgabePfad", ResetAction::Show},     {"bitbtnAntOpenExplorer", ResetAction::Hide},
    };
    applyReset(steps);
}

} // namespace tolvane
