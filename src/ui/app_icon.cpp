#include "ui/app_icon.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quillmere::ui {

QImage quillmere_icon_image(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // Cartridge body with its notched top corner and a pale label.
    QPainterPath body;
    body.moveTo(3, 2);
    body.lineTo(23, 2);
    body.lineTo(29, 8);
    body.lineTo(29, 30);
    body.lineTo(3, 30);
    body.closeSubpath();
    painter.setPen(QPen(QColor(0x1f, 0x3a, 0x5f), 1.5));
    painter.setBrush(QColor(0x3d, 0x6e, 0xa8));
    painter.drawPath(body);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf4, 0xec, 0xd6));
    painter.drawRoundedRect(QRectF(7, 7, 18, 15), 2, 2);
    painter.setBrush(QColor(0x1f, 0x3a, 0x5f));
    for (int x = 7; x < 26; x += 4) painter.drawRect(QRectF(x, 25, 2, 5));

    // Quill across the label, its nib at the lower left.
    QPainterPath feather;
    feather.moveTo(10, 20);
    feather.cubicTo(13, 13, 18, 9, 24, 7);
    feather.cubicTo(22, 13, 17, 17, 10, 20);
    painter.setBrush(QColor(0xc0, 0x39, 0x2b));
    painter.drawPath(feather);
    painter.setPen(QPen(QColor(0x2b, 0x1d, 0x0e), 1.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(8, 22), QPointF(17, 14));
    painter.end();
    return image;
}

QIcon quillmere_icon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(quillmere_icon_image(16)));
    icon.addPixmap(QPixmap::fromImage(quillmere_icon_image(32)));
    return icon;
}

}  // namespace quillmere::ui
