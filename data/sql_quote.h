#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The only way values enter SQL text: text quoted with inner quotes doubled, dates as
// yyyy/MM/dd, numbers as plain decimal text with ".".

// 'text' with every single quote inside doubled: O'Neil -> 'O''Neil'.
QString QuotedStr(const QString& text);

// A date as the day text yyyy/MM/dd, e.g. 2015/04/01 (not quoted).
QString SqlDateText(const QDate& date);

// A date as a quoted day literal: '2015/04/01'.
QString QuotedDate(const QDate& date);

// A date and time as a quoted timestamp literal to the millisecond: '2015/04/01 10:15:02.250'.
// An invalid date and time gives NULL.
QString QuotedTimestamp(const QDateTime& at);

// A number as plain decimal text: shortest form that reads back the same (at most 15
// significant digits), "." as the decimal point, no grouping, no exponent. 10 -> 10, 0.1 -> 0.1.
QString SqlNumber(double value);
