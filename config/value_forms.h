#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The forms in which the settings file stores flags, whole numbers and dates.

// A flag is set when its text, upper-cased, is exactly "Y" (so "y" counts too).
bool isFlagSet(const QString& text);
// "Y" or "N".
QString flagText(bool set);

// The strict text-to-integer conversion: an optional sign and decimal digits, nothing else (no
// blanks), within the range of a 32-bit integer. Readers that allow blanks trim first.
std::optional<int> toIntStrict(const QString& text);

// Year-first date: four-digit year, then month and day of one or two digits, joined by "/"
// ("2015/4/1" and "2015/04/01" are the same day).
std::optional<QDate> parseYearFirstDate(const QString& text);
// yyyy/MM/dd.
QString formatYearFirstDate(const QDate& date);

// Day-first date, the program's short date format: dd/MM/yyyy; one-digit day and month are
// accepted on reading.
std::optional<QDate> parseDayFirstDate(const QString& text);
// dd/MM/yyyy.
QString formatDayFirstDate(const QDate& date);
