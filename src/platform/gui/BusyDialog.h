#pragma once

#include "packer/u3Des.h"

#include <QDialog>

#include <functional>

class QLabel;

namespace tolvane {

// While the packing library works, which can take minutes: the call runs on a worker thread and
// this application-modal dialog blocks input to every window, so the windows keep repainting
// and the desktop does not take Tolvane for hung. It has no cancel button and cannot be closed.
class BusyDialog : public QDialog {
    Q_OBJECT
public:
    BusyDialog(const PackingBridge::Activity& activity, bool packing, QWidget* parent = nullptr);

    // The runner for PackingBridge: runs call on a worker thread behind the dialog and returns
    // when it has finished.
    static void run(const PackingBridge::Activity& activity, bool packing, const std::function<void()>& call);

    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace tolvane
