#include "platform/gui/BusyDialog.h"

#include "platform/Dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace tolvane {

BusyDialog::BusyDialog(const PackingBridge::Activity& activity, bool packing, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBusy"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowModality(Qt::ApplicationModal);
    // A title, no close button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);
    auto* what = new QLabel(packing ? QStringLiteral("Die Datei wird verschlüsselt. Bitte warten ...")
                                    : QStringLiteral("Die Datei wird entschlüsselt. Bitte warten ..."),
                            this);
    what->setObjectName(QStringLiteral("stBusyText"));
    layout->addWidget(what);
    auto* file = new QLabel(activity.file, this);
    file->setObjectName(QStringLiteral("stBusyFile"));
    QFont bold = file->font();
    bold.setBold(true);
    file->setFont(bold);
    layout->addWidget(file);
    auto* step = new QLabel(activity.step, this);
    step->setObjectName(QStringLiteral("stBusyStep"));
    step->setVisible(!activity.step.isEmpty());
    layout->addWidget(step);
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 0); // no progress is known: a running bar
    bar->setTextVisible(false);
    layout->addWidget(bar);
    setMinimumWidth(360);
}

void BusyDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void BusyDialog::run(const PackingBridge::Activity& activity, bool packing, const std::function<void()>& call)
{
    BusyDialog dialog(activity, packing, QApplication::activeWindow());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::unique_ptr<QThread> worker(QThread::create(call));
    QObject::connect(
        worker.get(), &QThread::finished, &dialog, [&dialog] { dialog.done(QDialog::Accepted); },
        Qt::QueuedConnection);
    worker->start();
    dialog.exec();
    worker->wait();
    QApplication::restoreOverrideCursor();
}

} // namespace tolvane
