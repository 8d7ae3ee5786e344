#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;
class QRect;

namespace tolvane::artwork {

// Icons and the splash picture, drawn at run time.
enum class Icon { Export, Answer, Keys, News, Home, Back, Forward };

QIcon icon(Icon which);
// The splash picture painted into rect.
void paintSplash(QPainter& painter, const QRect& rect);
// The application's icon, the shield of the splash picture, painted into a square rect.
void paintAppIcon(QPainter& painter, const QRect& rect);
QIcon appIcon();

} // namespace tolvane::artwork
