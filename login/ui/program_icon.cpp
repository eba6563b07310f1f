#include "login/ui/program_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap terminalPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal pen = qMax<qreal>(1.0, s / 24.0);

    // Base with its keys.
    const QRectF base(0.06 * s, 0.72 * s, 0.88 * s, 0.22 * s);
    painter.setPen(QPen(QColor(0x5a, 0x63, 0x70), pen));
    painter.setBrush(QColor(0xd4, 0xd9, 0xe0));
    painter.drawRoundedRect(base, 0.06 * s, 0.06 * s);
    if (size >= 24) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x8a, 0x93, 0xa0));
        for (int i = 0; i < 5; ++i)
            painter.drawRect(QRectF(0.16 * s + i * 0.14 * s, 0.79 * s, 0.09 * s, 0.06 * s));
    }

    // Stand.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x6b, 0x74, 0x80));
    painter.drawRect(QRectF(0.42 * s, 0.6 * s, 0.16 * s, 0.13 * s));

    // Screen.
    const QRectF screen(0.1 * s, 0.06 * s, 0.8 * s, 0.56 * s);
    QLinearGradient glass(screen.topLeft(), screen.bottomRight());
    glass.setColorAt(0.0, QColor(0x3a, 0x78, 0xb8));
    glass.setColorAt(1.0, QColor(0x12, 0x2a, 0x4a));
    painter.setPen(QPen(QColor(0x1a, 0x22, 0x30), pen));
    painter.setBrush(glass);
    painter.drawRoundedRect(screen, 0.07 * s, 0.07 * s);

    // Lines of a receipt on the screen.
    painter.setPen(
        QPen(QColor(0xcf, 0xe8, 0xff), qMax<qreal>(1.0, s / 16.0), Qt::SolidLine, Qt::RoundCap));
    const qreal left = 0.22 * s;
    for (int i = 0; i < 3; ++i) {
        const qreal y = 0.2 * s + i * 0.13 * s;
        painter.drawLine(QPointF(left, y), QPointF(left + (i == 2 ? 0.3 : 0.55) * s, y));
    }
    return pixmap;
}

} // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(terminalPixmap(size));
    return icon;
}
