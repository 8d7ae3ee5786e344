#include "workareas/gui/PathLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace tolvane {

PathLabel::PathLabel(const QString& objectName, QWidget* parent) : QLabel(parent)
{
    setObjectName(objectName);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

QSize PathLabel::minimumSizeHint() const
{
    return {40, fontMetrics().height() + 2 * frameWidth() + 4};
}

void PathLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect area = contentsRect().adjusted(4, 0, -4, 0);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    style()->drawItemText(&p, area, Qt::AlignVCenter | Qt::AlignLeft, palette(), isEnabled(), shown,
                          foregroundRole());
}

bool PathLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // The whole path, only when it is not shown whole.
        const int room = contentsRect().width() - 8;
        if (fontMetrics().horizontalAdvance(text()) > room) {
            setToolTip(text());
        } else {
            setToolTip(QString());
            QToolTip::hideText();
            return true;
        }
    }
    return QLabel::event(event);
}

} // namespace tolvane
