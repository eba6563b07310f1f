#include "app/ui/vertical_title_label.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

namespace {
constexpr int Margin = 10;
}

VerticalTitleLabel::VerticalTitleLabel(const QString& text, QWidget* parent)
    : QWidget(parent), text_(text) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

QFont VerticalTitleLabel::titleFont() const {
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    f.setItalic(true);
    return f;
}

QSize VerticalTitleLabel::sizeHint() const {
    const QFontMetrics metrics(titleFont());
    return {metrics.height() + 2 * Margin, metrics.horizontalAdvance(text_) + 2 * Margin};
}

QSize VerticalTitleLabel::minimumSizeHint() const {
    return {sizeHint().width(), 0};
}

void VerticalTitleLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient band(0, 0, 0, height());
    band.setColorAt(0.0, QColor(0x10, 0x24, 0x40));
    band.setColorAt(1.0, QColor(0x2c, 0x5a, 0x8c));
    painter.fillRect(rect(), band);

    painter.setFont(titleFont());
    painter.setPen(QColor(0xf2, 0xf5, 0xfa));
    // Turned a quarter to the left, the text reads upwards and ends near the top of the band.
    painter.translate(0, height());
    painter.rotate(-90);
    const QRect area(Margin, 0, height() - 2 * Margin, width());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text_);
}
