#include "app/gui/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tolvane::artwork {

namespace {

const QColor kOutline(0x33, 0x3d, 0x4d);

void paintPage(QPainter& p, const QRectF& r)
{
    const qreal fold = r.width() * 0.32;
    QPainterPath page;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(QColor(0xfb, 0xfb, 0xf7));
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xd8, 0xdc, 0xe3));
    p.drawPath(corner);
    p.setPen(QPen(QColor(0x9a, 0xa4, 0xb3), 1.4));
    for (qreal y = r.top() + fold + 3; y < r.bottom() - 3; y += 3.5)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void paintArrow(QPainter& p, QPointF from, QPointF to, const QColor& color, qreal width)
{
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF left = line;
    left.setLength(width * 1.9);
    left.setAngle(line.angle() + 40);
    QLineF right = line;
    right.setLength(width * 1.9);
    right.setAngle(line.angle() - 40);
    p.drawLine(left);
    p.drawLine(right);
}

void paintBadge(QPainter& p, const QPointF& centre, qreal radius, const QColor& color)
{
    QRadialGradient g(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    g.setColorAt(0, color.lighter(140));
    g.setColorAt(1, color);
    p.setPen(QPen(color.darker(150), 1));
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

void paintPadlock(QPainter& p, const QRectF& body, const QColor& color)
{
    const qreal w = body.width();
    p.setPen(QPen(color.darker(160), w * 0.16, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(body.left() + w * 0.18, body.top() - w * 0.55, w * 0.64, w * 0.95), 0, 180 * 16);
    p.setPen(QPen(color.darker(160), 1));
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, color.lighter(130));
    g.setColorAt(1, color);
    p.setBrush(g);
    p.drawRoundedRect(body, w * 0.12, w * 0.12);
    p.setBrush(color.darker(200));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(body.center().x(), body.center().y() - body.height() * 0.08), w * 0.1, w * 0.1);
}

void paintIcon(QPainter& p, Icon which)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case Icon::Export:
        paintPage(p, QRectF(5, 3, 18, 25));
        paintBadge(p, QPointF(23, 23), 7.5, QColor(0x2e, 0x8b, 0x57));
        paintArrow(p, QPointF(23, 27), QPointF(23, 19), Qt::white, 2.2);
        break;
    case Icon::Answer: {
        const QRectF env(2.5, 8, 24, 17);
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(QColor(0xf6, 0xef, 0xd6));
        p.drawRect(env);
        p.setPen(QPen(QColor(0x8d, 0x7d, 0x55), 1.2));
        p.drawLine(env.topLeft(), QPointF(env.center().x(), env.top() + 9));
        p.drawLine(env.topRight(), QPointF(env.center().x(), env.top() + 9));
        paintBadge(p, QPointF(24, 9), 7, QColor(0x25, 0x63, 0xb0));
        paintArrow(p, QPointF(24, 5), QPointF(24, 13), Qt::white, 2.2);
        break;
    }
    case Icon::Keys: {
        const QColor gold(0xd9, 0xa4, 0x1e);
        p.setPen(QPen(gold.darker(150), 1.2));
        QRadialGradient g(QPointF(9, 9), 9);
        g.setColorAt(0, gold.lighter(140));
        g.setColorAt(1, gold);
        p.setBrush(g);
        QPainterPath key;
        key.addEllipse(QPointF(10.5, 11), 7.5, 7.5);
        QPainterPath shaft;
        shaft.moveTo(14.5, 14);
        shaft.lineTo(28, 27.5);
        shaft.lineTo(25.5, 30);
        shaft.lineTo(23.5, 28);
        shaft.lineTo(21.5, 30);
        shaft.lineTo(19.5, 28);
        shaft.lineTo(21, 26.5);
        shaft.lineTo(12, 17.5);
        shaft.closeSubpath();
        key = key.united(shaft);
        QPainterPath hole;
        hole.addEllipse(QPointF(8.5, 9), 2.6, 2.6);
        p.drawPath(key.subtracted(hole));
        break;
    }
    case Icon::News: {
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(QColor(0xe4, 0xe8, 0xee));
        p.drawRect(QRectF(7, 3, 22, 24));
        p.setBrush(QColor(0xfb, 0xfb, 0xf7));
        p.drawRect(QRectF(3, 6, 22, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2b, 0x4c, 0x7e));
        p.drawRect(QRectF(5.5, 8.5, 17, 4));
        p.setBrush(QColor(0xa9, 0xc4, 0xe0));
        p.drawRect(QRectF(5.5, 15, 7, 6.5));
        p.setPen(QPen(QColor(0x9a, 0xa4, 0xb3), 1.3));
        for (qreal y = 15.5; y <= 21.5; y += 3)
            p.drawLine(QPointF(14.5, y), QPointF(22.5, y));
        for (qreal y = 24.5; y <= 27.5; y += 3)
            p.drawLine(QPointF(5.5, y), QPointF(22.5, y));
        break;
    }
    case Icon::Home: {
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(QColor(0xf1, 0xe6, 0xcf));
        p.drawRect(QRectF(7, 15, 18, 14));
        QPainterPath roof;
        roof.moveTo(3, 16.5);
        roof.lineTo(16, 4);
        roof.lineTo(29, 16.5);
        roof.closeSubpath();
        p.setBrush(QColor(0xb8, 0x3b, 0x2e));
        p.drawPath(roof);
        p.setBrush(QColor(0x7a, 0x4a, 0x2a));
        p.drawRect(QRectF(14, 20, 5, 9));
        p.setBrush(QColor(0x9c, 0xc7, 0xea));
        p.drawRect(QRectF(9, 18, 3.5, 3.5));
        p.drawRect(QRectF(20.5, 18, 3.5, 3.5));
        break;
    }
    case Icon::Back:
    case Icon::Forward: {
        paintBadge(p, QPointF(16, 16), 13, QColor(0x2a, 0x6c, 0xb8));
        const bool back = which == Icon::Back;
        paintArrow(p, QPointF(back ? 23 : 9, 16), QPointF(back ? 9 : 23, 16), Qt::white, 3.2);
        break;
    }
    }
}

QPixmap render(Icon which, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 32.0, size / 32.0);
    paintIcon(p, which);
    return pixmap;
}

} // namespace

QIcon icon(Icon which)
{
    QIcon result;
    for (int size : {16, 24, 32, 48, 64})
        result.addPixmap(render(which, size));
    return result;
}

namespace {

// The shield with its padlock; top is the middle of its upper edge, s its height.
void paintShield(QPainter& p, const QPointF& top, qreal s)
{
    QPainterPath shield;
    shield.moveTo(top);
    shield.cubicTo(top + QPointF(s * 0.25, s * 0.09), top + QPointF(s * 0.45, s * 0.09), top + QPointF(s * 0.5, s * 0.06));
    shield.cubicTo(top + QPointF(s * 0.52, s * 0.55), top + QPointF(s * 0.33, s * 0.85), top + QPointF(0, s * 1.05));
    shield.cubicTo(top + QPointF(-s * 0.33, s * 0.85), top + QPointF(-s * 0.52, s * 0.55), top + QPointF(-s * 0.5, s * 0.06));
    shield.cubicTo(top + QPointF(-s * 0.45, s * 0.09), top + QPointF(-s * 0.25, s * 0.09), top);
    QLinearGradient metal(top + QPointF(-s / 2, 0), top + QPointF(s / 2, s));
    metal.setColorAt(0, QColor(0xe9, 0xf0, 0xf7));
    metal.setColorAt(1, QColor(0x8f, 0xaa, 0xc6));
    p.setPen(QPen(QColor(0xf5, 0xf8, 0xfb), 2));
    p.setBrush(metal);
    p.drawPath(shield);
    const qreal lock = s * 0.34;
    paintPadlock(p, QRectF(top.x() - lock / 2, top.y() + s * 0.42, lock, lock * 0.8), QColor(0x2b, 0x4c, 0x7e));
}

} // namespace

void paintSplash(QPainter& p, const QRect& rect)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(rect.topLeft(), rect.bottomLeft());
    sky.setColorAt(0, QColor(0x1b, 0x33, 0x54));
    sky.setColorAt(1, QColor(0x2f, 0x5f, 0x8c));
    p.fillRect(rect, sky);

    // Soft rings to the right, like ripples on calm water.
    const QPointF ringCentre(rect.right() - rect.width() * 0.12, rect.bottom() - rect.height() * 0.18);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 7; ++i) {
        QColor c(255, 255, 255, 26 - i * 3);
        p.setPen(QPen(c, 1.5));
        const qreal r = rect.height() * 0.16 * i;
        p.drawEllipse(ringCentre, r, r);
    }

    // The shield with its padlock.
    paintShield(p, QPointF(rect.left() + rect.width() * 0.22, rect.top() + rect.height() * 0.22), rect.height() * 0.36);

    // The name.
    const qreal textLeft = rect.left() + rect.width() * 0.42;
    QFont title = p.font();
    title.setPixelSize(int(rect.height() * 0.11));
    title.setBold(true);
    title.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(title);
    p.setPen(Qt::white);
    const qreal titleBase = rect.top() + rect.height() * 0.40;
    p.drawText(QPointF(textLeft, titleBase), QStringLiteral("Tolvane"));
    QFont sub = p.font();
    sub.setBold(false);
    sub.setLetterSpacing(QFont::PercentageSpacing, 100);
    sub.setPixelSize(int(rect.height() * 0.052));
    p.setFont(sub);
    p.setPen(QColor(0xbf, 0xd6, 0xee));
    p.drawText(QPointF(textLeft + 2, titleBase + rect.height() * 0.075), QStringLiteral("Datencrypter"));
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    const qreal lineY = titleBase + rect.height() * 0.12;
    p.drawLine(QPointF(textLeft + 2, lineY), QPointF(rect.right() - rect.width() * 0.08, lineY));

    QFont small = p.font();
    small.setPixelSize(int(rect.height() * 0.034));
    p.setFont(small);
    p.setPen(QColor(0xd5, 0xe3, 0xf1));
    const QRectF note(textLeft + 2, lineY + rect.height() * 0.025, rect.right() - rect.width() * 0.08 - textLeft,
                      rect.height() * 0.2);
    p.drawText(note, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Verschlüsselter Datenaustausch mit der datenentgegennehmenden Stelle"));
    p.restore();
}

void paintAppIcon(QPainter& p, const QRect& rect)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(rect.topLeft(), rect.bottomLeft());
    sky.setColorAt(0, QColor(0x1b, 0x33, 0x54));
    sky.setColorAt(1, QColor(0x2f, 0x5f, 0x8c));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    const qreal radius = rect.width() * 0.18;
    p.drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), radius, radius);
    const qreal s = rect.height() * 0.74;
    paintShield(p, QPointF(rect.center().x() + 0.5, rect.top() + rect.height() * 0.11), s);
    p.restore();
}

QIcon appIcon()
{
    QIcon result;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        paintAppIcon(p, pixmap.rect());
        p.end();
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace tolvane::artwork
