#include "config/value_forms.h"

#include <QRegularExpression>

bool isFlagSet(const QString& text) {
    return text.toUpper() == QLatin1String("Y");
}

QString flagText(bool set) {
    return set ? QStringLiteral("Y") : QStringLiteral("N");
}

std::optional<int> toIntStrict(const QString& text) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("[+-]?[0-9]+")));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        return std::nullopt; // out of range
    return value;
}

namespace {

// Three numbers joined by "/", with the given digit counts; ASCII digits only.
std::optional<QDate> parseDate(const QString& text, const QRegularExpression& form, int yearGroup,
                               int monthGroup, int dayGroup) {
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(yearGroup).toInt(), match.captured(monthGroup).toInt(),
                     match.captured(dayGroup).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

std::optional<QDate> parseYearFirstDate(const QString& text) {
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("([0-9]{4})/([0-9]{1,2})/([0-9]{1,2})")));
    return parseDate(text, form, 1, 2, 3);
}

QString formatYearFirstDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

std::optional<QDate> parseDayFirstDate(const QString& text) {
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("([0-9]{1,2})/([0-9]{1,2})/([0-9]{4})")));
    return parseDate(text, form, 3, 2, 1);
}

QString formatDayFirstDate(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}
