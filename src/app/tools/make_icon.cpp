// Writes the application's icon as a PNG, for the desktop entry of an installed Tolvane.
#include "app/gui/Artwork.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tolvane-make-icon SIZE FILE.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int size = QByteArray(argv[1]).toInt();
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        tolvane::artwork::paintAppIcon(p, image.rect());
    }
    return image.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
