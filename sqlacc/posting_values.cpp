#include "sqlacc/posting_values.h"

#include <cmath>

QString DecimalText(double amount) {
    QString text = QString::number(std::round(amount * 100.0) / 100.0, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}
