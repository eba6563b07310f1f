#include "app/ui/paste_icon.h"

#include <QPainter>
#include <QPixmap>

namespace {

QPixmap clipboardPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal pen = qMax<qreal>(1.0, s / 24.0);

    // The board.
    painter.setPen(QPen(QColor(0x6b, 0x45, 0x1e), pen));
    painter.setBrush(QColor(0xb9, 0x7a, 0x3c));
    painter.drawRoundedRect(QRectF(0.14 * s, 0.12 * s, 0.62 * s, 0.8 * s), 0.06 * s, 0.06 * s);

    // The sheet pasted over it, with its lines of text.
    const QRectF sheet(0.38 * s, 0.34 * s, 0.54 * s, 0.62 * s);
    painter.setPen(QPen(QColor(0x70, 0x78, 0x84), pen));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setPen(QPen(QColor(0x3a, 0x78, 0xb8), qMax<qreal>(1.0, s / 20.0)));
    for (int i = 0; i < 4; ++i) {
        const qreal y = sheet.top() + (0.14 + i * 0.12) * s;
        painter.drawLine(QPointF(sheet.left() + 0.08 * s, y),
                         QPointF(sheet.right() - (i == 3 ? 0.22 : 0.08) * s, y));
    }

    // The clip.
    painter.setPen(QPen(QColor(0x50, 0x58, 0x64), pen));
    painter.setBrush(QColor(0xc8, 0xcf, 0xd8));
    painter.drawRoundedRect(QRectF(0.3 * s, 0.04 * s, 0.3 * s, 0.16 * s), 0.04 * s, 0.04 * s);
    return pixmap;
}

} // namespace

QIcon PasteIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(clipboardPixmap(size));
    return icon;
}
