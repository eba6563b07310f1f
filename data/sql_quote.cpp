#include "data/sql_quote.h"

#include <QLocale>
#include <cmath>

QString QuotedStr(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString SqlDateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString QuotedDate(const QDate& date) {
    return QuotedStr(SqlDateText(date));
}

QString QuotedTimestamp(const QDateTime& at) {
    if (!at.isValid())
        return QStringLiteral("NULL");
    return QuotedStr(at.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss.zzz")));
}

QString SqlNumber(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // Shortest text of at most 15 significant digits that gives back the value's 15-digit form.
    // That is the form itself, whose trailing zeros 'g' drops (a shorter text rounds to other
    // digits), so it is made directly: a search writes four amounts for every document it copies.
    // Only a fraction beyond fifteen whole-number digits (the form ends in whole zeros, which 'g'
    // keeps) needs the search for the shortest text, which then comes in exponent form.
    QString text = QString::number(value, 'g', 15);
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')) &&
        value != std::trunc(value)) {
        for (int digits = 1; digits <= 15; ++digits) {
            text = QString::number(value, 'g', digits);
            if (QString::number(text.toDouble(), 'g', 15) == QString::number(value, 'g', 15))
                break;
        }
    }
    if (text.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
        // Write the same digits without an exponent.
        text = QString::number(value, 'f', 15);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}
