#pragma once

#include <QApplication>

namespace tolvane {

class Dialogs;

// The application object. It is the one place that catches errors an operation did not handle:
// they are shown in the generic error box and the application goes on with the next event.
class TolvaneApplication : public QApplication {
    Q_OBJECT
public:
    TolvaneApplication(int& argc, char** argv);

    // Where the generic error box is shown; until set, errors go to stderr.
    void setDialogs(Dialogs* dialogs) { m_dialogs = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an error that reached the top: a TolvaneError with its text, anything else with
    // what it says about itself.
    void showUnhandled(const QString& text);

protected:
    // Long hints are shown wrapped over a few lines instead of one line across the screen.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Dialogs* m_dialogs = nullptr;
};

} // namespace tolvane
