#pragma once

#include <QFrame>
#include <QStringList>

class QVBoxLayout;

namespace tolvane {

// A work area of the main window (export, answer, news): a panel below its header. The main
// window knows the areas only through this interface; each area resets its own controls.
class WorkAreaPanel : public QFrame {
    Q_OBJECT
public:
    WorkAreaPanel(const QString& name, const QString& header, QWidget* parent = nullptr);

    // The area's part of ResetWorkAreas: empty its lists and texts, hide and disable what the
    // reset hides and disables.
    virtual void resetArea() = 0;
    // The last step of ResetWorkAreas: the registration numbers in store order, for an area
    // that lists them.
    virtual void fillRegNrList(const QStringList& regNrs);
    // The side bar chose this area (before ResetWorkAreas runs).
    virtual void enterArea();
    // Tolvane was started to decrypt one file of this area; true when the library was called.
    virtual bool decryptFromCommandLine(const QString& path);

Q_SIGNALS:
    // The area's own logic made it the visible work area (a run started from outside the panel).
    void showRequested();

protected:
    // Where the area lays out its controls, below the header.
    QVBoxLayout* body() const { return m_body; }

private:
    QVBoxLayout* m_body = nullptr;
};

} // namespace tolvane
